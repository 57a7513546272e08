// The print format dialog: its controls, the choice it starts with and keeps, and the
// keys and the close box that close it.
#include "framework/application.h"
#include "framework/choice_controls.h"
#include "framework/std_controls.h"
#include "print/pages_dlg.h"

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

namespace {

class PagesDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The dialog is a secondary window, as in the program: closing it only hides it.
    CreateApplication()->CreateForm<TForm>();
    dlg = Application()->CreateForm<TPagesDlg>();
  }
  void TearDown() override { DestroyApplication(); }

  void press(QWidget* target, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
  }

  TPagesDlg* dlg = nullptr;
};

TEST_F(PagesDlgTest, StartsOnTheWholePageWithTheHiddenFormatAndButtonsOutOfReach) {
  EXPECT_EQ(dlg->Caption(), QStringLiteral("Arbeitsblattdialog mit Seitenregistern"));
  EXPECT_EQ(dlg->ClientWidth(), 457);
  EXPECT_EQ(dlg->ClientHeight(), 301);
  EXPECT_EQ(dlg->Position(), TPosition::poScreenCenter);
  EXPECT_TRUE(dlg->BorRadio1->Checked());
  EXPECT_EQ(dlg->Format(), PrintFormat::WholePage);
  for (TRadioButton* other : {dlg->BorRadio2, dlg->BorRadio3, dlg->BorRadio4, dlg->BorRadio5, dlg->BorRadio6}) {
    EXPECT_FALSE(other->Checked()) << other->Name().toStdString();
  }
  EXPECT_FALSE(dlg->BorRadio5->Visible());
  EXPECT_FALSE(dlg->CancelBtn->Visible());
  EXPECT_FALSE(dlg->HelpBtn->Visible());
  EXPECT_EQ(dlg->BorRadio4->Caption(), QStringLiteral("Kleinbild 9 cm x 13 cm quer"));
  EXPECT_EQ(dlg->BorRadio3->Caption(), QStringLiteral("auf viertel Seite DINA4 drucken"));
  EXPECT_EQ(dlg->RadioGroup1->Caption(), QStringLiteral(" Format des Ausdrucks "));
  EXPECT_EQ(dlg->Shape12->BoundsRect(), QRect(77, 148, 14, 13));
}

TEST_F(PagesDlgTest, TabOrderRunsThroughTheRadioButtonsPassingTheHiddenOne) {
  dlg->Show();
  std::vector<QString> order;
  QWidget* start = dlg->BorRadio5->Widget();
  for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
    TControl* control = TControl::FromWidget(w);
    if (dynamic_cast<TRadioButton*>(control) && w->isVisible()) order.push_back(control->Name());
  }
  EXPECT_EQ(order, (std::vector<QString>{"BorRadio4", "BorRadio6", "BorRadio1", "BorRadio2", "BorRadio3"}));
  dlg->Hide();
}

TEST_F(PagesDlgTest, OnlyEnterAndTheCloseBoxCloseItAndTheChoiceStays) {
  dlg->Show();
  dlg->BorRadio6->SetChecked(true);
  press(dlg->BorRadio6->Widget(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->Widget()->isVisible());
  press(dlg->BorRadio6->Widget(), Qt::Key_Return);
  EXPECT_FALSE(dlg->Widget()->isVisible());
  EXPECT_EQ(dlg->Format(), PrintFormat::Slides13x9);

  dlg->Show();
  EXPECT_TRUE(dlg->BorRadio6->Checked());
  dlg->Widget()->close();  // the close box
  EXPECT_FALSE(dlg->Widget()->isVisible());
  EXPECT_EQ(dlg->Format(), PrintFormat::Slides13x9);
}

}  // namespace

namespace {

// The forms' dialog font resolves to a face of its metrics, so every caption of the format
// choice fits the width its radio button is laid out with.
TEST_F(PagesDlgTest, EveryFormatCaptionFitsItsDesignedButton) {
  EXPECT_EQ(QFontInfo(dlg->BorRadio4->Font()).family().toStdString(), "Liberation Sans");
  for (TRadioButton* choice : {dlg->BorRadio1, dlg->BorRadio2, dlg->BorRadio3, dlg->BorRadio4, dlg->BorRadio5,
                               dlg->BorRadio6}) {
    const auto* button = qobject_cast<const QRadioButton*>(choice->Widget());
    ASSERT_NE(button, nullptr);
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(0, 0, choice->Width(), choice->Height());
    option.text = button->text();
    const QRect caption = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), caption.width()) << button->text().toStdString();
  }
}

}  // namespace
