// The main window by keyboard: the sheet keys fill and clear each slide of the sheet
// shown, while its name for assistive technology follows, and switch sheets; a file that
// does not load is reported as after a drop; Tab walks the controls in screen order; the
// help file's sheet topic names the keys. (The whole accessible tree is read from outside
// by the end-to-end case.)
#include "app/main_form.h"
#include "app/main_form_access.h"
#include "browse/directory_list.h"
#include "browse/drive_combo.h"
#include "browse/file_list.h"
#include "chrome/speed_bar.h"
#include "framework/application.h"
#include "framework/page_control.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "platform/help_file.h"
#include "support/scripted_dialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(programDir_.isValid());
    ASSERT_TRUE(pictures_.isValid());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(pictures_.filePath(QStringLiteral("Strand.bmp")), "BMP"));
    QFile damaged(pictures_.filePath(QStringLiteral("damaged.bmp")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("BM not really a bitmap");
    damaged.close();
    CreateApplication()->SetExeName(programDir_.path() + QStringLiteral("/Velarim"));
    form_ = Application()->CreateForm<TForm1>();
    form_->DirectoryListBox1->SetDirectory(pictures_.path());
    form_->FileListBox1->SetMask(QStringLiteral("*.*"));
  }
  void TearDown() override { DestroyApplication(); }

  void select(const QString& name) {
    const int index = form_->FileListBox1->Items().indexOf(name);
    ASSERT_GE(index, 0) << name.toStdString();
    form_->FileListBox1->SetItemIndex(index);
  }
  // A key pressed while the file list has the focus.
  void press(int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(form_->FileListBox1->Widget(), &event);
  }
  static QString nameOf(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); }

  ScriptedDialogs dialogs_;
  QTemporaryDir programDir_;
  QTemporaryDir pictures_;
  TForm1* form_ = nullptr;
};

struct SlideKey {
  int sheet;
  int number;
  TImage* TForm1::*slide;
};

// Slide n of a sheet is counted in reading order: 1 top left, 2 top right, 3 bottom
// left, 4 bottom right.
const SlideKey kSlideKeys[] = {
    {0, 1, &TForm1::Image4}, {0, 2, &TForm1::Image2}, {0, 3, &TForm1::Image5}, {0, 4, &TForm1::Image6},
    {1, 1, &TForm1::Image7}, {1, 2, &TForm1::Image8}, {1, 3, &TForm1::Image10}, {1, 4, &TForm1::Image9},
};

TEST_F(AccessTest, CtrlDigitFillsAndAltDigitClearsTheSlideOfTheSheetShown) {
  select(QStringLiteral("Strand.bmp"));
  const QString size[] = {QStringLiteral("13 x 9 cm"), QStringLiteral("9 x 13 cm")};
  for (const SlideKey& key : kSlideKeys) {
    form_->PageControl1->SetActivePageIndex(key.sheet);
    TImage* slide = form_->*key.slide;
    const QString prefix = QStringLiteral("Dia %1 von 4, %2: ").arg(key.number).arg(size[key.sheet]);
    EXPECT_EQ(nameOf(slide->Widget()), prefix + QStringLiteral("leer"));
    press(Qt::Key_0 + key.number, Qt::ControlModifier);
    EXPECT_EQ(slide->Picture()->Width(), 40) << slide->Name().toStdString();
    EXPECT_EQ(nameOf(slide->Widget()), prefix + QStringLiteral("Strand.bmp"));
    EXPECT_TRUE(slide->Hint().contains(QStringLiteral("Strg+%1").arg(key.number)));
    press(Qt::Key_0 + key.number, Qt::AltModifier);
    EXPECT_TRUE(slide->Picture()->Empty()) << slide->Name().toStdString();
    EXPECT_EQ(nameOf(slide->Widget()), prefix + QStringLiteral("leer"));
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(AccessTest, CtrlPageKeysSwitchTheSheetAndOtherKeysPassOn) {
  press(Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabSheet2);
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabSheet1);
  // Digits without a modifier, and a fifth slide, are no sheet keys.
  select(QStringLiteral("Strand.bmp"));
  press(Qt::Key_1, Qt::NoModifier);
  press(Qt::Key_5, Qt::ControlModifier);
  for (const SlideKey& key : kSlideKeys) EXPECT_TRUE((form_->*key.slide)->Picture()->Empty());
}

TEST_F(AccessTest, AFileThatDoesNotLoadIsReportedAndKeepsTheSlide) {
  select(QStringLiteral("Strand.bmp"));
  press(Qt::Key_2, Qt::ControlModifier);
  select(QStringLiteral("damaged.bmp"));
  press(Qt::Key_2, Qt::ControlModifier);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(form_->Image2->Picture()->Width(), 40);
  EXPECT_EQ(nameOf(form_->Image2->Widget()), QStringLiteral("Dia 2 von 4, 13 x 9 cm: Strand.bmp"));
}

TEST_F(AccessTest, TabWalksTheControlsInScreenOrder) {
  const std::vector<QWidget*> expected{form_->ZoomBt->Widget(),           form_->DruckBt->Widget(),
                                       form_->PageControl1->Widget()->findChild<QTabBar*>(),
                                       form_->RzDriveComboBox1->Widget(), form_->Edit1->Widget(),
                                       form_->NichtAnzeigen->Widget(),    form_->DirectoryListBox1->Widget(),
                                       form_->FileListBox1->Widget()};
  std::vector<QWidget*> walked;
  QWidget* widget = expected.front();
  do {
    if (std::find(expected.begin(), expected.end(), widget) != expected.end()) walked.push_back(widget);
    widget = widget->nextInFocusChain();
  } while (widget != expected.front() && walked.size() < expected.size());
  EXPECT_EQ(walked, expected);
  for (QWidget* control : expected) EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << control->metaObject()->className();
}

TEST(AccessHelpTest, TheSheetTopicOfTheShippedHelpFileNamesTheKeys) {
  QString error;
  const std::optional<platform::HelpFile> help =
      platform::LoadHelpFile(qEnvironmentVariable("VELARIM_SOURCE_DIR") + QStringLiteral("/app/Velarim.HLP"), &error);
  ASSERT_TRUE(help) << error.toStdString();
  const int topic = help->TopicIndex(QStringLiteral("dias"));
  ASSERT_GE(topic, 0);
  const QString text = help->topics[static_cast<size_t>(topic)].paragraphs.join(u'\n');
  for (const char* keys : {"Strg+1 bis Strg+4", "Alt+1 bis Alt+4", "Strg+Bild ab", "Tabulatortaste"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(keys))) << keys;
  }
}

}  // namespace
