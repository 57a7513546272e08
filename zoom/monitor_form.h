#pragma once
// The zoom view window: shows the current picture large, in a window of its own.

#include "framework/form.h"

class TFormMonitor : public TForm {
 public:
  explicit TFormMonitor(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TFormMonitor"); }
};
