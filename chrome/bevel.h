#pragma once
// A frame drawn as a lowered box around other controls; it has no behaviour.

#include "framework/control.h"

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TBevel"); }

 protected:
  void Paint(QPainter& painter) override;
};
