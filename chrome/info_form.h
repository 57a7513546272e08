#pragma once
// The information window: program name, version and contact, shown on request.

#include "framework/form.h"

class TFormHHInfo : public TForm {
 public:
  explicit TFormHHInfo(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TFormHHInfo"); }

  static const QString& WebAddress();
};
