#include "print/pages_dlg.h"

#include "framework/choice_controls.h"
#include "framework/page_control.h"
#include "framework/place_control.h"
#include "framework/std_controls.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

constexpr TColor kShapeBlue = 0xFF0000;  // 0x00BBGGRR

TRadioButton* Radio(TPagesDlg* form, const char* name, TWinControl* parent, QRect bounds, const QString& caption) {
  auto* button = Place<TRadioButton>(form, name, parent, bounds.left(), bounds.top(), bounds.width(), bounds.height());
  button->SetCaption(caption);
  return button;
}

}  // namespace

// Enter presses the default button whatever control of the dialog has the focus: the
// other buttons are hidden, so it is always OK. Escape has no visible cancel button to
// press and does nothing.
class TPagesDlg::EnterFilter : public QObject {
 public:
  explicit EnterFilter(TPagesDlg* dialog) : dialog_(dialog) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != dialog_->Widget()) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    dialog_->OKBtn->Click();
    return true;
  }

 private:
  TPagesDlg* dialog_;
};

TPagesDlg::TPagesDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("PagesDlg"));
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetPosition(TPosition::poScreenCenter);
  SetClientSize(457, 301);
  SetColor(clBtnFace);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  SetFont(font);
  SetCaption(QStringLiteral("Arbeitsblattdialog mit Seitenregistern"));

  createButtons();
  Panel1 = Place<TPanel>(this, "Panel1", this, 0, 0, 457, 267);
  Panel1->SetAlign(TAlign::alClient);
  Panel1->SetBevelOuter(TPanelBevel::bvNone);
  Panel1->SetBorderWidth(5);
  Panel1->SetColor(clWindow);
  PageControl1 = Place<TPageControl>(this, "PageControl1", Panel1, 5, 5, 447, 257);
  PageControl1->SetAlign(TAlign::alClient);
  TabSheet1 = new TTabSheet(this);
  TabSheet1->SetName(QStringLiteral("TabSheet1"));
  TabSheet1->SetCaption(QStringLiteral("Druckeinstellungen"));
  TabSheet1->SetPageControl(PageControl1);
  PageControl1->SetActivePageIndex(0);
  createFormatChoice();
  createIllustration();
  // Every control shows the dialog's font.
  for (int i = 0; i < ComponentCount(); ++i) {
    if (auto* control = dynamic_cast<TControl*>(Components(i))) control->SetFont(font);
  }
  // A dialog frame: a close box, no minimise or maximise box.
  Widget()->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // Shown, the dialog puts the keyboard on the checked format, so that the arrow keys
  // choose another at once.
  OnShow = [this](TObject*) {
    for (TRadioButton* format : {BorRadio4, BorRadio6, BorRadio1, BorRadio2, BorRadio3}) {
      if (format->Checked()) format->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    }
  };
}

void TPagesDlg::createFormatChoice() {
  RadioGroup1 = Place<TRadioGroup>(this, "RadioGroup1", TabSheet1, 8, 4, 249, 217);
  RadioGroup1->SetCaption(QStringLiteral(" Format des Ausdrucks "));
  // Created in their tab order; the hidden one is passed by.
  BorRadio5 = Radio(this, "BorRadio5", TabSheet1, {20, 196, 161, 17}, QStringLiteral("DINA4 29 cm x 19 cm quer"));
  BorRadio5->SetVisible(false);
  BorRadio4 = Radio(this, "BorRadio4", TabSheet1, {20, 28, 161, 17}, QStringLiteral("Kleinbild 9 cm x 13 cm quer"));
  BorRadio6 = Radio(this, "BorRadio6", TabSheet1, {20, 51, 161, 17}, QStringLiteral("Kleinbild 13 cm x 9 cm hoch"));
  BorRadio1 = Radio(this, "BorRadio1", TabSheet1, {20, 75, 197, 20}, QStringLiteral("auf ganze Seite DINA4 drucken"));
  BorRadio2 = Radio(this, "BorRadio2", TabSheet1, {20, 98, 189, 20}, QStringLiteral("auf halbe Seite DINA4 drucken"));
  BorRadio3 = Radio(this, "BorRadio3", TabSheet1, {20, 121, 197, 20}, QStringLiteral("auf viertel Seite DINA4 drucken"));
  BorRadio1->SetChecked(true);
}

void TPagesDlg::createIllustration() {
  Panel3 = Place<TPanel>(this, "Panel3", TabSheet1, 276, 11, 153, 210);
  struct ShapeDesign {
    TShape** shape;
    const char* name;
    QRect bounds;
    TColor fill;
  };
  // The white sheets first, the blue printed areas on top of them.
  const ShapeDesign shapes[] = {
      {&Shape1, "Shape1", {24, 20, 37, 49}, clWhite},    {&Shape2, "Shape2", {28, 24, 29, 41}, kShapeBlue},
      {&Shape3, "Shape3", {72, 20, 49, 37}, clWhite},    {&Shape4, "Shape4", {76, 24, 41, 29}, kShapeBlue},
      {&Shape5, "Shape5", {24, 84, 37, 49}, clWhite},    {&Shape8, "Shape8", {29, 88, 24, 18}, kShapeBlue},
      {&Shape7, "Shape7", {72, 84, 49, 37}, clWhite},    {&Shape6, "Shape6", {76, 88, 29, 21}, kShapeBlue},
      {&Shape9, "Shape9", {24, 144, 37, 49}, clWhite},   {&Shape10, "Shape10", {29, 148, 15, 13}, kShapeBlue},
      {&Shape11, "Shape11", {72, 144, 49, 37}, clWhite}, {&Shape12, "Shape12", {77, 148, 14, 13}, kShapeBlue},
  };
  for (const ShapeDesign& design : shapes) {
    const QRect& b = design.bounds;
    *design.shape = Place<TShape>(this, design.name, Panel3, b.left(), b.top(), b.width(), b.height());
    (*design.shape)->SetBrushColor(design.fill);
  }
}

void TPagesDlg::createButtons() {
  Panel2 = Place<TPanel>(this, "Panel2", this, 0, 267, 457, 34);
  Panel2->SetAlign(TAlign::alBottom);
  Panel2->SetBevelOuter(TPanelBevel::bvNone);
  Panel2->SetColor(clWindow);
  OKBtn = Place<TButton>(this, "OKBtn", Panel2, 187, 2, 75, 25);
  OKBtn->SetCaption(QStringLiteral("OK"));
  OKBtn->SetDefault(true);
  OKBtn->OnClick = [this](TObject* sender) { OKBtnClick(sender); };
  CancelBtn = Place<TButton>(this, "CancelBtn", Panel2, 267, 2, 75, 25);
  CancelBtn->SetCaption(QStringLiteral("Abbrechen"));
  CancelBtn->SetVisible(false);
  HelpBtn = Place<TButton>(this, "HelpBtn", Panel2, 347, 2, 75, 25);
  HelpBtn->SetCaption(QStringLiteral("&Hilfe"));
  HelpBtn->SetVisible(false);
  enterFilter_ = std::make_unique<EnterFilter>(this);
  qApp->installEventFilter(enterFilter_.get());
}

TPagesDlg::~TPagesDlg() { qApp->removeEventFilter(enterFilter_.get()); }

void TPagesDlg::OKBtnClick(TObject*) { Close(); }

PrintFormat TPagesDlg::Format() const {
  if (BorRadio4->Checked()) return PrintFormat::Slides9x13;
  if (BorRadio6->Checked()) return PrintFormat::Slides13x9;
  if (BorRadio5->Checked()) return PrintFormat::A4Landscape;
  if (BorRadio2->Checked()) return PrintFormat::HalfPage;
  if (BorRadio3->Checked()) return PrintFormat::QuarterPage;
  return PrintFormat::WholePage;
}
