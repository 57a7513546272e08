// The main window draws its own frame; on a desktop the window manager still moves and
// resizes it when the user drags its title bar or its border, and the frame's buttons
// keep working at the new place and size.
#include "main_window.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.Ready()) << display_.Failure();
    main_ = velarim_.WaitForMainWindow();
    ASSERT_TRUE(main_) << velarim_.Log().toStdString();
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

}  // namespace
}  // namespace e2e
