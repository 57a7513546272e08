// Where a restored frame may go, as plain geometry: damaged sizes, frames larger than
// the screen, positions off every screen, and the choice between two monitors.
#include "app/placement_fit.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace {

// One 1280 x 1024 screen whose work area leaves out a 30 px panel at the bottom.
const std::vector<QRect> kOneScreen{QRect(0, 0, 1280, 994)};
// A 1920 x 1080 monitor on the left and a 1280 x 1024 one to its right.
const std::vector<QRect> kTwoScreens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
const std::vector<QRect> kNoScreen;
const FrameLimits kLimits{QSize(136, 46), QSize(726, 512), 23};

struct FitCase {
  const char* name;
  StoredFrame stored;
  const std::vector<QRect>* areas;
  QRect expected;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitFrameTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitFrameTest, KeepsTheFrameReachable) {
  const FitCase& c = GetParam();
  const QRect fitted = FitFrameToWorkAreas(c.stored, *c.areas, kLimits);
  EXPECT_EQ(fitted, c.expected) << "got " << fitted.x() << "," << fitted.y() << " " << fitted.width() << "x"
                                << fitted.height();
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FitFrameTest,
    ::testing::Values(
        FitCase{"inside stays as it is", {100, 50, 826, 562}, &kOneScreen, QRect(100, 50, 726, 512)},
        FitCase{"absurd size shrinks to the work area", {0, 0, INT_MAX, INT_MAX}, &kOneScreen, QRect(0, 0, 1280, 994)},
        FitCase{"absurd size from a negative corner", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, &kOneScreen,
                QRect(0, 0, 1280, 994)},
        FitCase{"negative position moves in", {-700, -300, 26, 212}, &kOneScreen, QRect(0, 0, 726, 512)},
        FitCase{"far right moves back", {1200, 100, 1926, 612}, &kOneScreen, QRect(554, 100, 726, 512)},
        FitCase{"below the screen: title bar brought up", {100, 2000, 826, 2512}, &kOneScreen,
                QRect(100, 971, 726, 512)},
        FitCase{"lower part may hang below", {100, 900, 826, 1412}, &kOneScreen, QRect(100, 900, 726, 512)},
        FitCase{"width below minimum: design size", {100, 50, 150, 562}, &kOneScreen, QRect(100, 50, 726, 512)},
        FitCase{"height below minimum: design size", {100, 50, 826, 60}, &kOneScreen, QRect(100, 50, 726, 512)},
        FitCase{"negative height: design size", {100, 50, 826, 40}, &kOneScreen, QRect(100, 50, 726, 512)},
        FitCase{"exact minimum kept", {10, 10, 146, 56}, &kOneScreen, QRect(10, 10, 136, 46)},
        FitCase{"on the second monitor stays there", {2000, 100, 2726, 612}, &kTwoScreens, QRect(2000, 100, 726, 512)},
        FitCase{"mostly on the second monitor", {1700, 100, 2426, 612}, &kTwoScreens, QRect(1920, 100, 726, 512)},
        FitCase{"mostly on the first monitor", {1500, 100, 2226, 612}, &kTwoScreens, QRect(1194, 100, 726, 512)},
        FitCase{"unplugged monitor on the right: nearest one", {3400, 200, 4126, 712}, &kTwoScreens,
                QRect(2474, 200, 726, 512)},
        FitCase{"unplugged monitor on the left: nearest one", {-2000, 300, -1274, 812}, &kTwoScreens,
                QRect(0, 300, 726, 512)},
        FitCase{"larger than the smaller monitor it lands on", {1920, 0, 3840, 1080}, &kTwoScreens,
                QRect(1920, 0, 1280, 1024)},
        FitCase{"no screen: only the size rule", {-50, -60, -40, 452}, &kNoScreen,
                QRect(-50, -60, 726, 512)}));

}  // namespace
