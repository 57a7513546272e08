// The information window: its texts on activation, Escape through the key preview,
// the page bar's in-place caption edit and the link labels.
#include "chrome/button_bar.h"
#include "chrome/info_form.h"
#include "chrome/url_label.h"
#include "chrome/version_resource.h"
#include "framework/application.h"
#include "support/recording_shell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class InfoFormTest : public ::testing::Test {
 protected:
  void SetUp() override { form_ = CreateApplication()->CreateForm<TFormHHInfo>(); }
  void TearDown() override { DestroyApplication(); }

  static void key(QWidget* widget, Qt::Key k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
  }
  static void mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }

  TFormHHInfo* form_ = nullptr;
  RecordingShell shell_;
};

TEST_F(InfoFormTest, ActivationShowsNameAndBuildEveryTime) {
  EXPECT_EQ(form_->ClientWidth(), 484);
  EXPECT_EQ(form_->ClientHeight(), 386);
  EXPECT_EQ(form_->Caption(), QStringLiteral("www.velarim.example.org .. immer ein Besuch wert"));
  EXPECT_EQ(form_->VersionResource1->Language(), TLanguage::lnGerman);
  form_->ShowModal();
  form_->FormActivate(form_);
  EXPECT_EQ(form_->Label6->Caption(), QStringLiteral("VELARIM V3.0 Webversion"));
  EXPECT_EQ(form_->Builtlabel->Caption(), QStringLiteral("Built 3.0.0.5"));
  form_->FormActivate(form_);
  EXPECT_EQ(form_->Builtlabel->Caption(), QStringLiteral("Built 3.0.0.5"));
}

TEST_F(InfoFormTest, ExecutableWithoutVersionGivesBuiltAlone) {
  QTemporaryDir dir;
  form_->VersionResource1->SetFileName(dir.path() + QStringLiteral("/none"));
  form_->FormActivate(form_);
  EXPECT_EQ(form_->Builtlabel->Caption(), QStringLiteral("Built "));
}

TEST_F(InfoFormTest, EscapeClosesAlsoWhileTheCaptionIsEditedAndDiscardsTheEdit) {
  form_->ShowModal();
  TabcButtonBar* bar = form_->abcButtonBar1;
  mouse(bar->Widget(), QEvent::MouseButtonPress, Qt::RightButton, bar->HeaderRect(0).center());
  ASSERT_NE(bar->CaptionEditor(), nullptr);
  EXPECT_EQ(bar->CaptionEditor()->text(), QStringLiteral("Kontakt und Versionsnummer"));
  bar->CaptionEditor()->setText(QStringLiteral("verworfen"));
  key(bar->CaptionEditor(), Qt::Key_Escape);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(form_->ModalResult(), TModalResult::mrCancel);
  EXPECT_EQ(form_->abcButtonPage1->Caption(), QStringLiteral("Kontakt und Versionsnummer"));
}

TEST_F(InfoFormTest, EnterKeepsTheEditedCaptionTabDiscardsIt) {
  form_->ShowModal();
  TabcButtonBar* bar = form_->abcButtonBar1;
  bar->StartCaptionEdit(0);
  bar->CaptionEditor()->setText(QStringLiteral("Über Velarim"));
  key(bar->CaptionEditor(), Qt::Key_Return);
  EXPECT_EQ(form_->abcButtonPage1->Caption(), QStringLiteral("Über Velarim"));
  EXPECT_EQ(bar->CaptionEditor(), nullptr);

  bar->StartCaptionEdit(0);
  bar->CaptionEditor()->setText(QStringLiteral("nicht"));
  key(bar->CaptionEditor(), Qt::Key_Tab);
  EXPECT_EQ(form_->abcButtonPage1->Caption(), QStringLiteral("Über Velarim"));
  EXPECT_TRUE(form_->Visible());
}

TEST_F(InfoFormTest, LinkTurnsPurpleWhilePressedAndOpensOnlyOnReleaseInside) {
  form_->ShowModal();
  TUrlLabel* mail = form_->UrlLabel1;
  const QPoint inside = mail->ClientRect().center();
  const TColor normal = mail->FontColor();
  mouse(mail->Widget(), QEvent::MouseButtonPress, Qt::LeftButton, inside);
  EXPECT_EQ(mail->FontColor(), clPurple);
  mouse(mail->Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(-20, -20));
  EXPECT_EQ(mail->FontColor(), normal);
  EXPECT_TRUE(shell_.opened.empty());

  mouse(mail->Widget(), QEvent::MouseButtonPress, Qt::LeftButton, inside);
  mouse(mail->Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, inside);
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0], QUrl(QStringLiteral("mailto:kontakt@velarim.example.org")));

  form_->UrlLabel2->Click();
  ASSERT_EQ(shell_.opened.size(), 2u);
  EXPECT_EQ(shell_.opened[1], QUrl(QStringLiteral("http://www.velarim.example.org")));
}

TEST_F(InfoFormTest, LinkWithoutUrlOpensItsCaption) {
  TUrlLabel label(nullptr);
  label.SetCaption(QStringLiteral("https://www.velarim.example.org/hilfe"));
  label.SetURL(QStringLiteral("   "));
  label.Click();
  label.SetCaption(QStringLiteral("  "));
  label.Click();
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0], QUrl(QStringLiteral("https://www.velarim.example.org/hilfe")));
}

}  // namespace
