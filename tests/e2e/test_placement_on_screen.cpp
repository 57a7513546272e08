// A placement file that would put the window out of reach: an absurd size, a negative
// position, the place of a second monitor that is no longer there. The window opens with
// its whole title bar on the 1280 x 1024 screen, no larger than the screen, and closes
// (by its own title bar's button, so that button must be reachable) storing where it was.
#include "main_window.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

const QRect kScreen(0, 0, 1280, 1024);
// The program's own title bar: the 4 px border and the 19 px caption.
constexpr int kTitleBarHeight = 4 + 19;

struct StoredPlacement {
  const char* name;
  const char* normPos;
};

void PrintTo(const StoredPlacement& p, std::ostream* os) { *os << p.name; }

class PlacementOnScreenTest : public ::testing::TestWithParam<StoredPlacement> {};

TEST_P(PlacementOnScreenTest, TitleBarIsFullyOnTheScreen) {
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  const QByteArray placement = QByteArray("[TForm1]\nFormVersion=0\nShowCmd=1\nNormPos(1280x1024)=") +
                               GetParam().normPos + "\nNormPos=" + GetParam().normPos + "\n";
  Velarim velarim(display, {.placement = placement});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QRect frame = main->geometry;
  EXPECT_TRUE(kScreen.contains(QRect(frame.topLeft(), QSize(frame.width(), kTitleBarHeight))))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  EXPECT_LE(frame.width(), kScreen.width());
  EXPECT_LE(frame.height(), kScreen.height());

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::TitleBarButton));
  ASSERT_EQ(velarim.WaitForExit(10s), 0) << velarim.Log().toStdString();
  // What is stored now is the reachable frame, so the next start is normal.
  const QByteArray normPos = QStringLiteral("NormPos=%1,%2,%3,%4")
                                 .arg(frame.left())
                                 .arg(frame.top())
                                 .arg(frame.left() + frame.width())
                                 .arg(frame.top() + frame.height())
                                 .toUtf8();
  EXPECT_TRUE(velarim.Placement().contains("\n" + normPos + "\n")) << velarim.Placement().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Stored, PlacementOnScreenTest,
                         ::testing::Values(StoredPlacement{"Absurd", "0,0,2147483647,2147483647"},
                                           StoredPlacement{"Negative", "-5000,-3000,-4274,-2488"},
                                           StoredPlacement{"UnpluggedMonitor", "2200,300,2926,812"}),
                         [](const ::testing::TestParamInfo<StoredPlacement>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace e2e
