#include "chrome/info_form.h"

TFormHHInfo::TFormHHInfo(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("FormHHInfo"));
  SetBorderStyle(TFormBorderStyle::bsSingle);
  SetPosition(TPosition::poScreenCenter);
  SetKeyPreview(true);
  SetClientSize(484, 386);
  SetCaption(WebAddress() + QStringLiteral(" .. immer ein Besuch wert"));
}

const QString& TFormHHInfo::WebAddress() {
  static const QString address = QStringLiteral("www.velarim.example.org");
  return address;
}
