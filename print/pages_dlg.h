#pragma once
// The print format dialog: where the user chooses how the next print job places the
// pictures on the page. It keeps the choice for the life of the program; how it was
// closed (OK or the close box) makes no difference.

#include "framework/form.h"
#include "print/print_layout.h"

#include <memory>

class TButton;
class TPageControl;
class TPanel;
class TRadioButton;
class TRadioGroup;
class TShape;
class TTabSheet;

class TPagesDlg : public TForm {
 public:
  explicit TPagesDlg(TComponent* AOwner);
  ~TPagesDlg() override;
  QString ClassName() const override { return QStringLiteral("TPagesDlg"); }

  void OKBtnClick(TObject* Sender);
  // The format of the checked radio button.
  PrintFormat Format() const;

  TPanel* Panel1;
  TPageControl* PageControl1;
  TTabSheet* TabSheet1;
  TRadioGroup* RadioGroup1;
  TRadioButton* BorRadio5;
  TRadioButton* BorRadio4;
  TRadioButton* BorRadio6;
  TRadioButton* BorRadio1;
  TRadioButton* BorRadio2;
  TRadioButton* BorRadio3;
  TPanel* Panel3;
  TShape* Shape1;
  TShape* Shape2;
  TShape* Shape3;
  TShape* Shape4;
  TShape* Shape5;
  TShape* Shape8;
  TShape* Shape7;
  TShape* Shape6;
  TShape* Shape9;
  TShape* Shape10;
  TShape* Shape11;
  TShape* Shape12;
  TPanel* Panel2;
  TButton* OKBtn;
  TButton* CancelBtn;
  TButton* HelpBtn;

 private:
  void createFormatChoice();
  void createIllustration();
  void createButtons();

  class EnterFilter;
  std::unique_ptr<EnterFilter> enterFilter_;
};
