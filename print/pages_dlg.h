#pragma once
// The print format dialog: where the user chooses how the next print job places the
// pictures on the page.

#include "framework/form.h"

class TPagesDlg : public TForm {
 public:
  explicit TPagesDlg(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TPagesDlg"); }
};
