// The main window draws its own frame; on a desktop the window manager still moves and
// resizes it when the user drags its title bar or its border (a click stays a click),
// the frame's buttons keep working at the new place and size and look pressed while
// held, and a maximised window's frame lies just outside the screen.
#include "main_window.h"

#include <QDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// The caption buttons of an outer frame (the window's own, or the one a maximised window
// has just outside the screen): 16 x 15 pixels, 6 below its top, the close button 6 from
// its right edge and the maximise button 2 further left.
QRect CloseButtonIn(const QRect& frame) { return QRect(frame.right() - 21, frame.top() + 6, 16, 15); }
QRect MaximizeButtonIn(const QRect& frame) { return CloseButtonIn(frame).translated(-18, 0); }

bool Dark(QRgb pixel) { return qGray(pixel) < 80; }

// The maximise glyph is one window outline whose corner sits at the top left of the glyph
// box (4 right of and 3 below the button's corner); the restore glyph's two outlines
// leave that corner free.
bool ShowsMaximizeGlyph(const QImage& button) {
  for (int y = 2; y <= 4; ++y) {
    for (int x = 3; x <= 5; ++x) {
      if (Dark(button.pixel(x, y))) return true;
    }
  }
  return false;
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.Ready()) << display_.Failure();
    main_ = velarim_.WaitForMainWindow();
    ASSERT_TRUE(main_) << velarim_.Log().toStdString();
    ASSERT_TRUE(waitUntilPaintedActive()) << "the window never showed its frame with the focus";
  }

  // A window is mapped before it has painted, and on a busy machine two pictures of its
  // unpainted frame agree, so a picture that a later one is compared with waits until the
  // caption shows its focused colour (navy, in the gap left of the close button).
  bool waitUntilPaintedActive() {
    const QRect gap(CloseButtonIn(main_->geometry).topLeft() + QPoint(-1, 7), QSize(1, 1));
    return WaitUntil(
        [&] {
          const QRgb caption = display_.Screenshot(gap).pixel(0, 0);
          return display_.FocusedWindow() == main_->id && qBlue(caption) > qRed(caption) + 64;
        },
        5s);
  }

  std::optional<QRect> geometryNow() const {
    const std::optional<Window> now = display_.Describe(main_->id);
    return now ? std::optional<QRect>(now->geometry) : std::nullopt;
  }

  // Drags from the point by the offset. The window manager takes the drag over once the
  // program asks it to; the first step waits until it does, so no movement is lost.
  bool dragBy(QPoint from, QPoint offset, const std::function<bool(const QRect&, QPoint moved)>& followed) {
    const QPoint firstStep(offset.x() / 4, offset.y() / 4);
    display_.MoveMouse(from);
    display_.PressButton();
    display_.MoveMouse(from + firstStep);
    const bool taken = WaitUntil([&] { return geometryNow() && followed(*geometryNow(), firstStep); }, 5s);
    display_.MoveMouse(from + offset);
    display_.ReleaseButton();
    return taken && WaitUntil([&] { return geometryNow() && followed(*geometryNow(), offset); }, 5s);
  }

  // Ctrl+D without a picture shows its notice only when the keyboard reaches the menu,
  // which it does not while the window manager holds the window to the pointer.
  bool keyboardReachesTheMenu() {
    display_.Key(QStringLiteral("ctrl+d"));
    const std::optional<Window> notice = velarim_.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"), 5s);
    if (!notice) return false;
    display_.Focus(*notice);
    display_.Key(QStringLiteral("Return"));
    return velarim_.WaitForWindowGone(notice->id);
  }

  Display display_{WindowManager::Openbox};
  Velarim velarim_{display_};
  std::optional<Window> main_;
};

TEST_F(FrameTest, TitleBarDragMovesAndBorderDragResizesTheWindow) {
  const QRect start = main_->geometry;
  const QPoint caption = start.topLeft() + QPoint(200, 12);
  EXPECT_TRUE(dragBy(caption, QPoint(120, 80), [&](const QRect& now, QPoint moved) {
    return now.topLeft() == start.topLeft() + moved && now.size() == start.size();
  })) << "the window did not follow the title bar";

  const QRect moved = *geometryNow();
  const QPoint corner = moved.bottomRight() - QPoint(1, 1);
  EXPECT_TRUE(dragBy(corner, QPoint(100, 60), [&](const QRect& now, QPoint grown) {
    return now.topLeft() == moved.topLeft() && now.size() == moved.size() + QSize(grown.x(), grown.y());
  })) << "the window did not follow its corner";

  // The close button sits in the new top right corner and still ends the program.
  const std::optional<Window> resized = display_.Describe(main_->id);
  ASSERT_TRUE(resized);
  ASSERT_TRUE(CloseMainWindow(display_, velarim_, *resized, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim_.WaitForExit(2s), 0) << velarim_.Log().toStdString();
}

// A click on the title bar, press and release arriving together, only activates the
// window: the pointer moving on leaves the window where it was and keys reach the menu.
TEST_F(FrameTest, ClickOnTheTitleBarLeavesTheWindowWhereItWas) {
  const QRect start = main_->geometry;
  const QPoint caption = start.topLeft() + QPoint(200, 12);
  for (int round = 0; round < 3; ++round) {
    display_.Click(caption);
    display_.MoveMouse(caption + QPoint(200, 0));
    EXPECT_TRUE(keyboardReachesTheMenu()) << "round " << round << ": the keyboard did not reach the menu";
    EXPECT_EQ(geometryNow(), start) << "round " << round << ": the window followed the pointer after a click";
  }
  ASSERT_TRUE(CloseMainWindow(display_, velarim_, *main_, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim_.WaitForExit(2s), 0) << velarim_.Log().toStdString();
}

// Press, one jump of 150 pixels and release: the window goes along by the whole way, and
// stays there when the pointer moves on without the button.
TEST_F(FrameTest, PressDragAndReleaseMoveTheWindowByTheWholeDrag) {
  const QRect start = main_->geometry;
  const QPoint caption = start.topLeft() + QPoint(200, 12);
  display_.MoveMouse(caption);
  display_.PressButton();
  display_.MoveMouse(caption + QPoint(150, 0));
  display_.ReleaseButton();
  const QRect moved = start.translated(150, 0);
  EXPECT_TRUE(WaitUntil([&] { return geometryNow() == moved; }, 5s)) << "the window did not follow the drag";
  display_.MoveMouse(caption + QPoint(350, 200));
  EXPECT_TRUE(keyboardReachesTheMenu());
  EXPECT_EQ(geometryNow(), moved) << "the window stayed stuck to the pointer";
  const std::optional<Window> now = display_.Describe(main_->id);
  ASSERT_TRUE(now);
  ASSERT_TRUE(CloseMainWindow(display_, velarim_, *now, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim_.WaitForExit(2s), 0) << velarim_.Log().toStdString();
}

TEST_F(FrameTest, DoubleClickMaximisesWithTheFrameOutsideTheScreenAndTheRestoreGlyph) {
  const QRect start = main_->geometry;
  // Normally the 4-pixel frame surrounds the caption.
  const QImage normalTop = display_.SettledScreenshot(QRect(start.left() + 600, start.top(), 1, 12));
  ASSERT_NE(normalTop.pixel(0, 1), normalTop.pixel(0, 8)) << "no frame above the caption";
  const QImage normalButton = display_.SettledScreenshot(MaximizeButtonIn(start));
  EXPECT_TRUE(ShowsMaximizeGlyph(normalButton));

  const QPoint caption = start.topLeft() + QPoint(200, 12);
  display_.MoveMouse(caption);
  display_.Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                    QStringLiteral("80"), QStringLiteral("1")});
  const QRect screen(0, 0, 1280, 1024);
  ASSERT_TRUE(WaitUntil([&] { return geometryNow() == screen; }, 5s)) << "a double click did not maximise the window";
  // The caption reaches the screen's top edge: its colour from the first row down.
  const QImage maximizedTop = display_.SettledScreenshot(QRect(600, 0, 1, 12));
  for (int y = 0; y < 12; ++y) EXPECT_EQ(maximizedTop.pixel(0, y), maximizedTop.pixel(0, 8)) << "row " << y;
  EXPECT_NE(maximizedTop.pixel(0, 0), normalTop.pixel(0, 1)) << "the frame shows at the screen's edge";
  const QImage restoreButton = display_.SettledScreenshot(MaximizeButtonIn(screen.adjusted(-4, -4, 4, 4)));
  EXPECT_FALSE(ShowsMaximizeGlyph(restoreButton)) << "the middle button still shows the maximise glyph";
  EXPECT_NE(restoreButton, normalButton);
  restoreButton.save(QDir::tempPath() + QStringLiteral("/velarim-restore-button.png"));

  // A click on the restore button brings the window back with its maximise glyph.
  display_.Click(MaximizeButtonIn(screen.adjusted(-4, -4, 4, 4)).center());
  ASSERT_TRUE(WaitUntil([&] { return geometryNow() == start; }, 5s)) << "the restore button did not restore the window";
  EXPECT_TRUE(ShowsMaximizeGlyph(display_.SettledScreenshot(MaximizeButtonIn(start))));
  ASSERT_TRUE(CloseMainWindow(display_, velarim_, *main_, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim_.WaitForExit(2s), 0) << velarim_.Log().toStdString();
}

// While the mouse button is held on a caption button, it looks pressed; moved off with
// the button held it looks raised again, and a release there does nothing.
TEST_F(FrameTest, CaptionButtonLooksPressedWhileTheMouseButtonIsHeldOnIt) {
  const QRect close = CloseButtonIn(main_->geometry);
  const QImage raised = display_.SettledScreenshot(close);
  display_.MoveMouse(close.center());
  display_.PressButton();
  EXPECT_TRUE(WaitUntil([&] { return display_.Screenshot(close) != raised; }, 5s)) << "the button did not look pressed";
  display_.MoveMouse(close.center() + QPoint(-100, 40));
  EXPECT_TRUE(WaitUntil([&] { return display_.Screenshot(close) == raised; }, 5s)) << "the button stayed pressed";
  display_.ReleaseButton();
  EXPECT_TRUE(keyboardReachesTheMenu());
  EXPECT_TRUE(velarim_.Running()) << "a release off the close button closed the window";
  ASSERT_TRUE(CloseMainWindow(display_, velarim_, *main_, CloseWay::TitleBarButton));
  EXPECT_EQ(velarim_.WaitForExit(2s), 0) << velarim_.Log().toStdString();
}

}  // namespace
}  // namespace e2e
