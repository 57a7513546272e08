// Pane bounds of the four-pane split panels as the main window lays them out.
#include "sheet/quad_split.h"

#include <gtest/gtest.h>

namespace {

TEST(QuadSplit, PaneBoundsOfBothSheets) {
  const auto first = QuadPaneBounds(QuadSplitGeometry{1, 2, 169, 89, 85, 45});
  EXPECT_EQ(first[0], QRect(1, 1, 82, 42));
  EXPECT_EQ(first[1], QRect(87, 1, 81, 42));
  EXPECT_EQ(first[2], QRect(87, 47, 81, 41));
  EXPECT_EQ(first[3], QRect(1, 47, 82, 41));

  const auto second = QuadPaneBounds(QuadSplitGeometry{1, 2, 81, 89, 40, 45});
  EXPECT_EQ(second[0], QRect(1, 1, 37, 42));
  EXPECT_EQ(second[1], QRect(42, 1, 38, 42));
  EXPECT_EQ(second[2], QRect(42, 47, 38, 41));
  EXPECT_EQ(second[3], QRect(1, 47, 37, 41));
}

TEST(QuadSplit, PanesTakeTheirBoundsWhenAdded) {
  TabcQuadSplit split(nullptr);
  split.SetBounds(184, 8, 169, 89);
  split.SetSplitHPos(85);
  split.SetSplitVPos(45);
  for (int i = 0; i < 4; ++i) split.AddPane(new TabcSplitPane(&split));
  EXPECT_EQ(split.Panes(2)->BoundsRect(), QRect(87, 47, 81, 41));
  EXPECT_EQ(split.Panes(0)->Split(), &split);
}

}  // namespace
