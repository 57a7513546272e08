// The print geometry: sizes by format and orientation, the orientations the job
// forces, the slide origins and the picture resolution limit.
#include "print/print_layout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
  PrintFormat format;
  PageOrientation used;
  PrintJobLayout expected;
};

class JobLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(JobLayoutTest, SizeAndModeFollowFormatAndOrientation) {
  const LayoutCase& c = GetParam();
  const PrintJobLayout layout = JobLayout(c.format, c.used);
  EXPECT_EQ(layout.mode, c.expected.mode);
  EXPECT_EQ(layout.width, c.expected.width);
  EXPECT_EQ(layout.height, c.expected.height);
}

constexpr auto L = PageOrientation::Landscape;
constexpr auto P = PageOrientation::Portrait;
constexpr auto Single = PrintMode::SinglePicture;

INSTANTIATE_TEST_SUITE_P(
    PrintLayout, JobLayoutTest,
    ::testing::Values(LayoutCase{PrintFormat::WholePage, L, {Single, 2850, -1950}},
                      LayoutCase{PrintFormat::WholePage, P, {Single, 1900, -2900}},
                      LayoutCase{PrintFormat::HalfPage, L, {Single, 1450, -975}},
                      LayoutCase{PrintFormat::HalfPage, P, {Single, 950, -1450}},
                      // 48.7 mm: neither 487.5 nor 488.
                      LayoutCase{PrintFormat::QuarterPage, L, {Single, 725, -487}},
                      LayoutCase{PrintFormat::QuarterPage, P, {Single, 475, -725}},
                      LayoutCase{PrintFormat::Slides9x13, L, {PrintMode::SlideLayout1, 1300, -900}},
                      LayoutCase{PrintFormat::A4Landscape, L, {Single, 2900, -1900}},
                      LayoutCase{PrintFormat::Slides13x9, P, {PrintMode::SlideLayout2, 900, -1300}}));

TEST(PrintLayout, SlideFormatsForceTheirOrientationAroundTheDialog) {
  EXPECT_EQ(OrientationBeforeDialog(PrintFormat::Slides9x13), PageOrientation::Landscape);
  EXPECT_EQ(OrientationAfterDialog(PrintFormat::Slides9x13), PageOrientation::Landscape);
  EXPECT_EQ(OrientationBeforeDialog(PrintFormat::Slides13x9), PageOrientation::Portrait);
  EXPECT_EQ(OrientationAfterDialog(PrintFormat::Slides13x9), PageOrientation::Portrait);
  // The hidden A4 format is only forced after the dialog.
  EXPECT_EQ(OrientationBeforeDialog(PrintFormat::A4Landscape), std::nullopt);
  EXPECT_EQ(OrientationAfterDialog(PrintFormat::A4Landscape), PageOrientation::Landscape);
  for (PrintFormat format : {PrintFormat::WholePage, PrintFormat::HalfPage, PrintFormat::QuarterPage}) {
    EXPECT_EQ(OrientationBeforeDialog(format), std::nullopt);
    EXPECT_EQ(OrientationAfterDialog(format), std::nullopt);
  }
}

TEST(PrintLayout, SlidesOfBothLayoutsLeaveTenMillimetreGaps) {
  const auto one = SlideOrigins(PrintMode::SlideLayout1);
  const PrintJobLayout size1 = JobLayout(PrintFormat::Slides9x13, L);
  EXPECT_EQ(one[0], QPoint(50, -25));
  EXPECT_EQ(one[1].x() - (one[0].x() + size1.width), 100);
  EXPECT_EQ((one[0].y() + size1.height) - one[2].y(), 100);
  EXPECT_EQ(one[3], QPoint(1450, -1025));

  const auto two = SlideOrigins(PrintMode::SlideLayout2);
  const PrintJobLayout size2 = JobLayout(PrintFormat::Slides13x9, P);
  EXPECT_EQ(two[0], QPoint(25, -100));
  EXPECT_EQ(two[1].x() - (two[0].x() + size2.width), 100);
  EXPECT_EQ((two[0].y() + size2.height) - two[2].y(), 100);
  EXPECT_EQ(two[3], QPoint(1025, -1500));
}

TEST(PrintLayout, PixelsForExtentRoundsUpAtTheResolution) {
  EXPECT_EQ(PixelsForExtent(254, 600), 600);      // one inch
  EXPECT_EQ(PixelsForExtent(-900, 600), 2126);    // 90 mm, either sign
  EXPECT_EQ(PixelsForExtent(1300, 600), 3071);    // 130 mm
  EXPECT_EQ(PixelsForExtent(0, 600), 1);
}

}  // namespace
