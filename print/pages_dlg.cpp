#include "print/pages_dlg.h"

TPagesDlg::TPagesDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("PagesDlg"));
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetPosition(TPosition::poScreenCenter);
  SetClientSize(457, 301);
  SetColor(clBtnFace);
  SetCaption(QStringLiteral("Arbeitsblattdialog mit Seitenregistern"));
}
