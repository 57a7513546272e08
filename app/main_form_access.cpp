#include "app/main_form_access.h"

#include "app/main_form.h"
#include "browse/directory_list.h"
#include "browse/drive_combo.h"
#include "browse/file_list.h"
#include "chrome/speed_bar.h"
#include "framework/accessible.h"
#include "framework/application.h"
#include "framework/page_control.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTabBar>
#include <QVariant>
#include <QWidget>

#include <iterator>

namespace {

// The name of the file a slide was filled from, kept on the slide's widget.
constexpr char kSlideFileProperty[] = "velarimSlideFile";

// The slides' size as written in their names: the first sheet holds landscape slides.
const char* SlideSize(int sheet) { return sheet == 0 ? "13 x 9 cm" : "9 x 13 cm"; }

QString SlideFileName(const TImage* slide) {
  if (slide->Picture()->Graphic() == nullptr) return QString();
  return slide->Widget()->property(kSlideFileProperty).toString();
}

QString SlideKeys(int number) {
  return QStringLiteral("Strg+%1 legt die gewählte Datei auf das Dia, Alt+%1 leert es").arg(number);
}

void DescribeSlide(TImage* slide, int number, int sheet) {
  slide->SetHint(QStringLiteral("Dia %1: %2").arg(number).arg(SlideKeys(number)));
  DescribeAccessible(slide->Widget(), AccessibleDescription{
                                          QAccessible::Graphic,
                                          [slide, number, sheet] { return SlideName(number, sheet, SlideFileName(slide)); },
                                          [number] { return SlideKeys(number) + u'.'; },
                                          [slide] { slide->Click(); },
                                          {}});
}

void DescribePreview(TImage* preview, const char* sheetCaption) {
  const QString title = QStringLiteral("Vorschau (%1)").arg(QString::fromUtf8(sheetCaption));
  DescribeAccessible(preview->Widget(), AccessibleDescription{
                                            QAccessible::Graphic,
                                            [preview, title] {
                                              return preview->Picture()->Graphic() ? title + QStringLiteral(": Bild")
                                                                                   : title + QStringLiteral(": leer");
                                            },
                                            [] { return QStringLiteral("Ein Klick leert die Vorschau."); },
                                            [preview] { preview->Click(); },
                                            {}});
}

// The sheet keys, seen before the focused control: Ctrl+1 to Ctrl+4 fill a slide of the
// sheet shown, Alt+1 to Alt+4 clear one, Ctrl+Page Down and Ctrl+Page Up switch sheets.
// None of them types text, so the file list's type-to-find and the mask field never need
// them; the menus' shortcuts are letters and function keys.
class SheetKeys : public QObject {
 public:
  explicit SheetKeys(TForm1* form) : QObject(form->Widget()), form_(form) { qApp->installEventFilter(this); }
  ~SheetKeys() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != form_->Widget()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const int number = key->key() - Qt::Key_0;
    const bool slideKey = number >= 1 && number <= 4;
    try {
      if (slideKey && modifiers == Qt::ControlModifier) {
        FillShownSlide(form_, number);
      } else if (slideKey && modifiers == Qt::AltModifier) {
        ClearShownSlide(form_, number);
      } else if (modifiers == Qt::ControlModifier && (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
        form_->PageControl1->SetActivePageIndex(1 - ShownSheet(form_));
      } else {
        return false;
      }
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
    return true;
  }

 private:
  TForm1* form_;
};

// Tab walks the controls that take input in the order they stand on the screen: the
// toolbar's buttons, the sheet tabs, then the browser from the top left.
void SetTabOrder(TForm1* form) {
  QWidget* const order[] = {form->ZoomBt->Widget(),           form->DruckBt->Widget(),
                            form->PageControl1->Widget()->findChild<QTabBar*>(),
                            form->RzDriveComboBox1->Widget(), form->Edit1->Widget(),
                            form->NichtAnzeigen->Widget(),    form->DirectoryListBox1->Widget(),
                            form->FileListBox1->Widget()};
  for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void NameStandardControls(TForm1* form) {
  DescribeAccessible(form->Toolbar->Widget(),
                     AccessibleDescription{QAccessible::ToolBar, [] { return QStringLiteral("Werkzeugleiste"); }, {}, {}, {}});
  // Qt names a drop-down list on Linux by the item it shows; the description says what it is.
  form->RzDriveComboBox1->Widget()->setAccessibleName(QStringLiteral("Laufwerk"));
  form->RzDriveComboBox1->Widget()->setAccessibleDescription(QStringLiteral("Laufwerk"));
  form->Edit1->Widget()->setAccessibleName(QStringLiteral("Dateimasken"));
  form->DirectoryListBox1->Widget()->setAccessibleName(QStringLiteral("Ordnerliste"));
  form->FileListBox1->Widget()->setAccessibleName(QStringLiteral("Dateiliste"));
  form->FileListBox1->Widget()->setAccessibleDescription(
      QStringLiteral("Strg+1 bis Strg+4 legen die gewählte Datei auf ein Dia des gezeigten Blatts"));
}

}  // namespace

std::array<TImage*, 4> SheetSlides(const TForm1* form, int sheet) {
  if (sheet == 0) return {form->Image4, form->Image2, form->Image5, form->Image6};
  return {form->Image7, form->Image8, form->Image10, form->Image9};
}

int ShownSheet(const TForm1* form) { return form->PageControl1->ActivePage() == form->TabSheet2 ? 1 : 0; }

QString SlideName(int number, int sheet, const QString& fileName) {
  return QStringLiteral("Dia %1 von 4, %2: %3")
      .arg(number)
      .arg(QString::fromLatin1(SlideSize(sheet)), fileName.isEmpty() ? QStringLiteral("leer") : fileName);
}

void FillShownSlide(TForm1* form, int number) {
  const QString file = form->FileListBox1->FileName();
  if (file.isEmpty()) {
    QApplication::beep();  // nothing selected: nothing to put on the slide
    return;
  }
  TImage* slide = SheetSlides(form, ShownSheet(form)).at(static_cast<size_t>(number - 1));
  form->Image4DragDrop(slide, form->FileListBox1, 0, 0);
  NoteSlideFilled(slide, file);
}

void ClearShownSlide(TForm1* form, int number) {
  SheetSlides(form, ShownSheet(form)).at(static_cast<size_t>(number - 1))->Click();
}

void NoteSlideFilled(TImage* slide, const QString& filePath) {
  slide->Widget()->setProperty(kSlideFileProperty, QFileInfo(filePath).fileName());
  AnnounceNameChanged(slide->Widget());
}

void NoteSlideCleared(TImage* slide) {
  if (slide->Picture()->Graphic() == nullptr) slide->Widget()->setProperty(kSlideFileProperty, QVariant());
  AnnounceNameChanged(slide->Widget());
}

void MakeMainFormAccessible(TForm1* form) {
  for (int sheet = 0; sheet < 2; ++sheet) {
    const std::array<TImage*, 4> slides = SheetSlides(form, sheet);
    for (int i = 0; i < 4; ++i) DescribeSlide(slides[static_cast<size_t>(i)], i + 1, sheet);
  }
  DescribePreview(form->Image3, "9 cm x 13 cm");
  DescribePreview(form->Imagehoch, "13 cm x 9 cm");
  NameStandardControls(form);
  SetTabOrder(form);
  new SheetKeys(form);
}
