// Dragging a bar of the first sheet's quad split with the real mouse: while the button
// is held only an inverted 2-pixel line follows the pointer; on release the panes take
// their new sizes and nothing inverted is left on the screen.
#include "main_window.h"

#include <QColor>
#include <gtest/gtest.h>

namespace e2e {
namespace {

bool IsDark(QRgb pixel) { return qGray(pixel) < 0x60; }

// The pixels of the split's area that are darker than any colour of its bevels: only an
// inverted line produces them on the light button face.
int DarkPixels(const QImage& split) {
  int count = 0;
  for (int y = 0; y < split.height(); ++y) {
    for (int x = 0; x < split.width(); ++x) count += IsDark(split.pixel(x, y)) ? 1 : 0;
  }
  return count;
}

// A vertical bar at column x of the split: highlight, two face columns, shadow.
bool BarAt(const QImage& split, int x, int row) {
  const int light = qGray(split.pixel(x, row));
  const int face = qGray(split.pixel(x + 1, row));
  const int shadow = qGray(split.pixel(x + 3, row));
  return light > face && face > shadow && qGray(split.pixel(x + 2, row)) == face;
}

TEST(QuadSplitDragTest, BarFollowsAsAnInvertedLineAndMovesThePanesOnRelease) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QRect split = QuadSplitOf(*main);
  const int row = 20;  // inside the upper panes

  ASSERT_TRUE(WaitUntil([&] { return BarAt(display.Screenshot(split), 83, row); }, 5s))
      << "no bar at column 83 of the split; the layout moved it";
  const QImage before = display.Screenshot(split);
  EXPECT_EQ(DarkPixels(before), 0);

  display.MoveMouse(split.topLeft() + QPoint(84, row));
  display.Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
  for (int x = 80; x >= 50; x -= 10) display.MoveMouse(split.topLeft() + QPoint(x, row));
  for (int x = 60; x <= 120; x += 10) display.MoveMouse(split.topLeft() + QPoint(x, row));
  // Held at 120: a 2-pixel inverted line over the split's height, the panes unchanged.
  ASSERT_TRUE(WaitUntil([&] { return IsDark(display.Screenshot(split).pixel(120, row)); }, 5s));
  const QImage during = display.Screenshot(split);
  EXPECT_TRUE(IsDark(during.pixel(119, row)));
  EXPECT_TRUE(IsDark(during.pixel(120, 80)));
  EXPECT_FALSE(IsDark(during.pixel(118, row)));
  EXPECT_FALSE(IsDark(during.pixel(121, row)));
  EXPECT_FALSE(IsDark(during.pixel(60, row))) << "the line's earlier place is still inverted";
  EXPECT_TRUE(BarAt(during, 83, row)) << "the bar moved before the release";

  display.Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
  ASSERT_TRUE(WaitUntil([&] { return BarAt(display.Screenshot(split), 118, row); }, 5s))
      << "the bar did not move to the release point";
  const QImage after = display.Screenshot(split);
  EXPECT_EQ(DarkPixels(after), 0) << "inverted pixels left behind";
  EXPECT_FALSE(BarAt(after, 83, row));
  // The horizontal bar stayed where it was: its highlight row is still row 43.
  EXPECT_GT(qGray(after.pixel(20, 43)), qGray(after.pixel(20, 44)));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
