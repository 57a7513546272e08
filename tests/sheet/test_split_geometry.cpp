// The split panel's geometry over plain values: clamp, percentages, pane bounds, hits,
// drag points, the bars' lines and the strips that show a dragged bar.
#include "sheet/split_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const QPoint& p, std::ostream* os) { *os << "(" << p.x() << ", " << p.y() << ")"; }
void PrintTo(const QRect& r, std::ostream* os) {
  *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

// The two instances of the main window.
const SplitFrame kFirst{169, 89, 1, 2, false};
const SplitFrame kSecond{81, 89, 1, 2, false};

struct ClampCase {
  const char* name;
  SplitFrame frame;
  SplitLimits horizontal;
  SplitLimits vertical;
  QPoint in;
  QPoint out;
};

class ClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampTest, KeepsThePointInsideTheEdgeAndLimits) {
  const ClampCase& c = GetParam();
  EXPECT_EQ(ClampSplitPoint(c.in, c.frame, c.horizontal, c.vertical), c.out) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClampTest,
    ::testing::Values(ClampCase{"designed first", kFirst, {}, {}, {85, 45}, {85, 45}},
                      ClampCase{"far left and top", kFirst, {}, {}, {0, 0}, {3, 3}},
                      ClampCase{"negative", kFirst, {}, {}, {-50, -1}, {3, 3}},
                      ClampCase{"far right and bottom", kFirst, {}, {}, {200, 200}, {166, 86}},
                      ClampCase{"last allowed", kFirst, {}, {}, {166, 86}, {166, 86}},
                      ClampCase{"second far right", kSecond, {}, {}, {200, 45}, {78, 45}},
                      ClampCase{"second far left", kSecond, {}, {}, {2, 45}, {3, 45}},
                      ClampCase{"maximum", kFirst, {0, 100}, {0, 50}, {150, 60}, {100, 50}},
                      ClampCase{"minimum", kFirst, {20, 0}, {30, 0}, {10, 10}, {20, 30}},
                      ClampCase{"maximum wins over minimum", kFirst, {120, 100}, {}, {110, 45}, {100, 45}},
                      ClampCase{"minimum still inside the edge", kFirst, {1, 0}, {}, {0, 45}, {3, 45}},
                      ClampCase{"single border", {169, 89, 1, 2, true}, {}, {}, {200, 200}, {164, 84}},
                      ClampCase{"odd thickness", {169, 89, 1, 3, false}, {}, {}, {0, 200}, {3, 85}},
                      ClampCase{"wide edge", {169, 89, 4, 2, false}, {}, {}, {0, 200}, {6, 83}}));

struct PercentCase {
  int value;
  int extent;
  int percent;
};

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, RoundsHalvesToEven) {
  const PercentCase& c = GetParam();
  EXPECT_EQ(SplitPercent(c.value, c.extent), c.percent) << c.value << " of " << c.extent;
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentTest,
                         ::testing::Values(PercentCase{85, 169, 50}, PercentCase{45, 89, 51}, PercentCase{40, 81, 49},
                                           PercentCase{1, 200, 0}, PercentCase{3, 200, 2}, PercentCase{5, 200, 2},
                                           PercentCase{7, 200, 4}, PercentCase{100, 100, 100},
                                           PercentCase{2147483647, 2147483647, 100}, PercentCase{5, 0, 0}));

TEST(SplitGeometry, ScaledPositionRoundsHalvesToEven) {
  EXPECT_EQ(ScaledSplitPosition(169, 50), 84);   // 84.5
  EXPECT_EQ(ScaledSplitPosition(171, 50), 86);   // 85.5
  EXPECT_EQ(ScaledSplitPosition(89, 51), 45);    // 45.39
  EXPECT_EQ(ScaledSplitPosition(200, 33), 66);
}

TEST(SplitGeometry, EdgeAndBarSpans) {
  EXPECT_EQ(SplitEdgeWidth({}), 1);
  EXPECT_EQ(SplitEdgeWidth({2, 3, true, true}), 8);
  EXPECT_EQ(SplitEdgeWidth({0, 3, false, false}), 0);
  EXPECT_EQ(SplitBarSpan(85, 2), (BarSpan{83, 86}));
  EXPECT_EQ(SplitBarSpan(45, 2), (BarSpan{43, 46}));
  EXPECT_EQ(SplitBarSpan(40, 1), (BarSpan{39, 41}));
  EXPECT_EQ(SplitBarSpan(40, 3), (BarSpan{38, 42}));
}

struct PanesCase {
  const char* name;
  SplitFrame frame;
  QPoint positions;
  std::array<QRect, 4> panes;
};

class PanesTest : public ::testing::TestWithParam<PanesCase> {};

TEST_P(PanesTest, FourPanesClockwiseAroundTheBars) {
  const PanesCase& c = GetParam();
  const auto panes = QuadPaneBounds(c.frame, SplitBarSpan(c.positions.x(), c.frame.thickness),
                                    SplitBarSpan(c.positions.y(), c.frame.thickness));
  for (size_t i = 0; i < panes.size(); ++i) EXPECT_EQ(panes[i], c.panes[i]) << c.name << " pane " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanesTest,
    ::testing::Values(
        PanesCase{"first sheet", kFirst, {85, 45}, {{{1, 1, 82, 42}, {87, 1, 81, 42}, {87, 47, 81, 41}, {1, 47, 82, 41}}}},
        PanesCase{"second sheet", kSecond, {40, 45}, {{{1, 1, 37, 42}, {42, 1, 38, 42}, {42, 47, 38, 41}, {1, 47, 37, 41}}}},
        PanesCase{"bar at the left limit", kFirst, {3, 45}, {{{1, 1, 0, 42}, {5, 1, 163, 42}, {5, 47, 163, 41}, {1, 47, 0, 41}}}},
        PanesCase{"bar at the right limit", kFirst, {166, 45},
                  {{{1, 1, 163, 42}, {168, 1, 0, 42}, {168, 47, 0, 41}, {1, 47, 163, 41}}}},
        PanesCase{"bar past the edge gives an empty pane, never a negative one", kFirst, {1, 86},
                  {{{1, 1, 0, 83}, {3, 1, 165, 83}, {3, 88, 165, 0}, {1, 88, 0, 0}}}}));

struct HitCase {
  QPoint point;
  SplitLocks locks;
  TCursor cursor;
};

class HitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTest, BarsAndCrossingUnderTheLocks) {
  const HitCase& c = GetParam();
  constexpr TCursor normal = crCross;  // any cursor stands for the split's normal one
  EXPECT_EQ(HitTestSplitBars(c.point, SplitBarSpan(85, 2), SplitBarSpan(45, 2), c.locks, normal), c.cursor)
      << c.point.x() << "," << c.point.y() << " locks " << c.locks.horizontal << c.locks.vertical;
}

INSTANTIATE_TEST_SUITE_P(Cases, HitTest,
                         ::testing::Values(HitCase{{82, 20}, {}, crCross}, HitCase{{83, 20}, {}, crHSplit},
                                           HitCase{{86, 80}, {}, crHSplit}, HitCase{{87, 20}, {}, crCross},
                                           HitCase{{20, 42}, {}, crCross}, HitCase{{20, 43}, {}, crVSplit},
                                           HitCase{{150, 46}, {}, crVSplit}, HitCase{{20, 47}, {}, crCross},
                                           HitCase{{83, 43}, {}, crSplitCross}, HitCase{{86, 46}, {}, crSplitCross},
                                           HitCase{{84, 44}, {true, true}, crCross},
                                           HitCase{{84, 44}, {true, false}, crVSplit},
                                           HitCase{{84, 44}, {false, true}, crHSplit},
                                           HitCase{{84, 20}, {true, false}, crCross},
                                           HitCase{{20, 44}, {false, true}, crCross},
                                           HitCase{{84, 20}, {false, true}, crHSplit}));

TEST(SplitGeometry, DragPointFollowsOnlyTheHitBar) {
  const QPoint positions(85, 45);
  EXPECT_EQ(SplitDragPoint({10, 70}, crSplitCross, positions), QPoint(10, 70));
  EXPECT_EQ(SplitDragPoint({10, 70}, crHSplit, positions), QPoint(10, 45));
  EXPECT_EQ(SplitDragPoint({10, 70}, crVSplit, positions), QPoint(85, 70));
}

TEST(SplitGeometry, DragStripsAreThicknessWideOverTheArea) {
  const QRect area(185, 9, 167, 87);  // the first split inside its edge, in its parent
  EXPECT_EQ(DragBarStrips(area, {270, 50}, 2, crHSplit), (std::vector<QRect>{{269, 9, 2, 87}}));
  EXPECT_EQ(DragBarStrips(area, {270, 50}, 2, crVSplit), (std::vector<QRect>{{185, 49, 167, 2}}));
  EXPECT_EQ(DragBarStrips(area, {270, 50}, 2, crSplitCross),
            (std::vector<QRect>{{269, 9, 2, 87}, {185, 49, 167, 2}}));
  // A point beyond the area shows the strip at the area's border.
  EXPECT_EQ(DragBarStrips(area, {0, 500}, 2, crSplitCross), (std::vector<QRect>{{184, 9, 2, 87}, {185, 94, 167, 2}}));
  EXPECT_TRUE(DragBarStrips(area, {270, 50}, 2, crDefault).empty());
}

TEST(SplitGeometry, BarLinesFrameBothBarsAndOpenAtTheCrossing) {
  const auto lines = QuadBarLines(kFirst, SplitBarSpan(85, 2), SplitBarSpan(45, 2));
  auto covers = [&](QPoint p, bool firstColour) {
    for (const BarLine& l : lines) {
      const bool on = QRect(l.from, l.to).normalized().contains(p);
      if (on && l.firstColour == firstColour) return true;
    }
    return false;
  };
  EXPECT_TRUE(covers({83, 1}, true));    // left line of the vertical bar
  EXPECT_TRUE(covers({86, 88 - 1}, false));
  EXPECT_TRUE(covers({1, 43}, true));    // top line of the horizontal bar
  EXPECT_TRUE(covers({167, 46}, false));
  EXPECT_FALSE(covers({84, 44}, true));  // the crossing's face
  EXPECT_FALSE(covers({84, 44}, false));
  EXPECT_FALSE(covers({83, 45}, true));  // the vertical bar's left line stops at the crossing
  const auto faces = QuadBarFaces(kFirst, SplitBarSpan(85, 2), SplitBarSpan(45, 2));
  EXPECT_EQ(faces[0], QRect(1, 44, 167, 2));
  EXPECT_EQ(faces[1], QRect(84, 1, 2, 87));
}

}  // namespace
