// The gradient caption: its bands, caption rectangle, text shortening, and what it paints
// into a self-drawn title bar (active, inactive, two captions, repaints).
#include "chrome/gradient_caption.h"
#include "framework/application.h"
#include "framework/window_hook.h"
#include "platform/mul_div.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kNavy = 0x800000;  // 0x00BBGGRR

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZero) {
  struct Case { int a, b, c, expected; };
  for (const Case& c : {Case{1, 1, 2, 1}, Case{1, 128, 63, 2}, Case{31, 128, 63, 63}, Case{-1, 1, 2, -1},
                        Case{5, -3, 2, -8}, Case{7, 0, 3, 0}, Case{1, 1, 0, -1}}) {
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
  }
}

TEST(GradientBands, FourHundredPixelCaptionWithSixtyFourSteps) {
  // The caption is 400 wide; its gradient starts a quarter further left: 500 pixels.
  const std::vector<GradientBand> bands = GradientBands(kBlack, kNavy, 64, -100, 500);
  ASSERT_EQ(bands.size(), 65u);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(bands[static_cast<size_t>(i)].left, -100 + 7 * i);
    EXPECT_EQ(bands[static_cast<size_t>(i)].right - bands[static_cast<size_t>(i)].left, 7);
  }
  EXPECT_EQ(bands[0].color, kBlack);
  EXPECT_EQ(bands[63].color, kNavy);
  EXPECT_EQ(bands[1].color, 0x020000u) << "blue 128 * 1 / 63 rounds to 2";
  EXPECT_EQ(bands[64].left, 348);
  EXPECT_EQ(bands[64].right, 400);
  EXPECT_EQ(bands[64].color, kNavy) << "the last 52 pixels in the end colour";
}

TEST(GradientBands, FewStepsNarrowAreasAndEmptyAreas) {
  EXPECT_TRUE(GradientBands(kBlack, kNavy, 64, 0, 0).empty());
  const auto single = GradientBands(0x123456, kNavy, 1, 5, 50);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].color, 0x123456u);
  EXPECT_EQ(single[0].right, 55);
  const auto narrow = GradientBands(kBlack, 0x0000FF, 64, 0, 10);
  ASSERT_EQ(narrow.size(), 10u) << "no more bands than pixels";
  EXPECT_EQ(narrow[9].color, 0x0000FFu);
  EXPECT_EQ(narrow[5].color, static_cast<uint32_t>(MulDiv(5, 255, 9)));
}

TEST(CaptionButtons, CountFollowsTheWindowSystemsRules) {
  const TFormBorderStyle sizeable = TFormBorderStyle::bsSizeable;
  EXPECT_EQ(CaptionButtonCount({true, true, true, false}, sizeable), 3);
  EXPECT_EQ(CaptionButtonCount({true, true, false, false}, sizeable), 3) << "one of min and max: both take space";
  EXPECT_EQ(CaptionButtonCount({true, false, false, true}, sizeable), 2);
  EXPECT_EQ(CaptionButtonCount({true, true, true, true}, sizeable), 3) << "no help with min or max";
  EXPECT_EQ(CaptionButtonCount({false, true, true, true}, sizeable), 0);
  EXPECT_EQ(CaptionButtonCount({true, true, true, true}, TFormBorderStyle::bsDialog), 2);
  EXPECT_EQ(CaptionButtonCount({true, false, false, false}, TFormBorderStyle::bsDialog), 1);
  EXPECT_EQ(CaptionButtonCount({true, true, true, true}, TFormBorderStyle::bsToolWindow), 1);
}

TEST(CaptionRectangle, InsideTheFrameUpToTheButtons) {
  EXPECT_EQ(CaptionRectangle(QRect(100, 50, 726, 510), TFormBorderStyle::bsSizeable, 3), QRect(104, 54, 718 - 54, 18));
  EXPECT_EQ(CaptionRectangle(QRect(0, 0, 200, 100), TFormBorderStyle::bsDialog, 1), QRect(3, 3, 194 - 18, 18));
  EXPECT_EQ(CaptionRectangle(QRect(0, 0, 40, 100), TFormBorderStyle::bsSizeable, 3).width(), 0);
}

TEST(ShortenCaptionText, CutsWithEllipsisUntilItFits) {
  const auto tenPerCharacter = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
  struct Case { const char* text; int width; const char* expected; };
  for (const Case& c : {Case{"VELARIM", 70, "VELARIM"}, Case{"VELARIM", 69, "VEL..."}, Case{"VELARIM", 40, "V..."},
                        Case{"VELARIM", 30, "..."}, Case{"VELARIM", 5, "..."}, Case{"", 0, ""}}) {
    EXPECT_EQ(ShortenCaptionText(QString::fromLatin1(c.text), c.width, tenPerCharacter), QString::fromLatin1(c.expected))
        << c.text << " in " << c.width;
  }
}

class CaptionedForm : public TForm {
 public:
  explicit CaptionedForm(TComponent* AOwner) : TForm(AOwner) {
    SetOwnFrame(true);
    SetClientSize(400, 150);
    SetCaption(QStringLiteral("Velarim"));
  }
};

class GradientCaptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = new CaptionedForm(nullptr);
    counter_ = new TRxWindowHook(form_);
    counter_->SetWinControl(form_);
    counter_->AfterMessage = [this](TRxWindowHook*, TMessage& m, bool&) {
      if (m.Msg == WM_NCPAINT) ++paints_;
    };
  }
  void TearDown() override {
    delete form_;
    QCoreApplication::processEvents();
    THookList::FreeHookList();
  }
  QImage titleBar() const { return form_->Widget()->grab().toImage(); }
  static uint32_t bgr(const QColor& c) { return static_cast<uint32_t>(c.red() | c.green() << 8 | c.blue() << 16); }
  QRect caption() const { return CaptionRectangle(QRect(QPoint(0, 0), form_->Widget()->size()), form_->BorderStyle(), 3); }

  CaptionedForm* form_;
  TRxWindowHook* counter_;
  int paints_ = 0;
};

TEST_F(GradientCaptionTest, PaintsTheGradientUpToTheButtons) {
  auto* gradient = new TRxGradientCaption(form_);
  gradient->SetStartColor(0x0000FF);  // red
  gradient->SetFormCaption(QStringLiteral("VELARIM V3.0 Webversion"));
  form_->Show();
  form_->Perform(WM_NCACTIVATE, 1);
  const QImage image = titleBar();
  const QRect r = caption();
  const uint32_t end = ColorToRGB(clActiveCaption);
  EXPECT_EQ(bgr(image.pixelColor(r.right(), r.bottom())), end);
  // The visible left edge is a fifth of the way to the end colour: band 100 / 7 = 14.
  const QColor left = image.pixelColor(r.left(), r.bottom());
  EXPECT_EQ(left.red(), 255 + MulDiv(14, -255, 63));
  // The minimise button is the form's own painting, untouched by the caption.
  EXPECT_NE(bgr(image.pixelColor(form_->Frame().minButton.center())), end);
}

TEST_F(GradientCaptionTest, InactiveCaptionIsOnePlainColour) {
  auto* gradient = new TRxGradientCaption(form_);
  gradient->SetStartColor(0x0000FF);
  form_->Show();
  form_->Perform(WM_NCACTIVATE, 0);
  EXPECT_FALSE(gradient->WindowActive());
  const QImage image = titleBar();
  const QRect r = caption();
  const uint32_t inactive = ColorToRGB(clInactiveCaption);
  EXPECT_EQ(bgr(image.pixelColor(r.right(), r.bottom())), inactive);
  EXPECT_EQ(bgr(image.pixelColor(r.left() + r.height() + 1, r.bottom())), inactive);
  form_->Perform(WM_NCACTIVATE, 1);
  EXPECT_TRUE(gradient->WindowActive());
  EXPECT_NE(bgr(titleBar().pixelColor(r.left() + r.height() + 1, r.bottom())), inactive);
}

TEST_F(GradientCaptionTest, FirstRegisteredCaptionPaintsLastAndCoversTheOther) {
  auto* first = new TRxGradientCaption(form_);
  first->SetStartColor(0x00FF00);  // green
  form_->Show();
  TRxGradientCaption* second = CreateGradientCaption(form_, 0x0000FF);  // red
  EXPECT_EQ(second->FormCaption(), QStringLiteral("Velarim"));
  form_->Perform(WM_NCACTIVATE, 1);
  const QColor left = titleBar().pixelColor(caption().left() + 20, caption().bottom());
  EXPECT_GT(left.green(), 100);
  EXPECT_EQ(left.red(), 0);
}

TEST_F(GradientCaptionTest, CaptionTextPaintsAtOnceAndTheSameTextDoesNothing) {
  auto* gradient = new TRxGradientCaption(form_);
  form_->Show();
  QCoreApplication::processEvents();
  const int before = paints_;
  gradient->SetFormCaption(QStringLiteral("50%"));
  EXPECT_EQ(paints_, before + 1) << "painted before the setter returns";
  gradient->SetFormCaption(QStringLiteral("50%"));
  EXPECT_EQ(paints_, before + 1);
  gradient->SetGradientInactive(true);  // not visible while active
  EXPECT_EQ(paints_, before + 1);
}

TEST_F(GradientCaptionTest, CaptionSetWhileAControlPaintsShowsAtOnce) {
  auto* gradient = new TRxGradientCaption(form_);
  auto* child = new TCustomControl(form_);
  child->SetBounds(0, 0, 100, 100);
  child->SetParent(form_);
  form_->Show();
  QCoreApplication::processEvents();
  child->WindowProc = [child, gradient, previous = child->WindowProc](TMessage& m) {
    if (m.Msg == WM_PAINT) gradient->SetFormCaption(QStringLiteral("%1%").arg(m.Msg));
    previous(m);
  };
  const int before = paints_;
  child->Repaint();
  EXPECT_GT(paints_, before);
}

TEST_F(GradientCaptionTest, InactiveComponentLeavesTheCaptionToTheForm) {
  auto* gradient = new TRxGradientCaption(form_);
  gradient->SetStartColor(0x0000FF);
  form_->Show();
  form_->Perform(WM_NCACTIVATE, 1);
  gradient->SetActive(false);
  const QImage image = titleBar();
  EXPECT_EQ(bgr(image.pixelColor(caption().left() + 20, caption().bottom())),
            ColorToRGB(form_->Active() ? clActiveCaption : clInactiveCaption));
}

}  // namespace
