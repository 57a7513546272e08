#include "print/print_layout.h"

#include <cstdlib>

std::optional<PageOrientation> OrientationBeforeDialog(PrintFormat format) {
  switch (format) {
    case PrintFormat::Slides9x13: return PageOrientation::Landscape;
    case PrintFormat::Slides13x9: return PageOrientation::Portrait;
    default: return std::nullopt;
  }
}

std::optional<PageOrientation> OrientationAfterDialog(PrintFormat format) {
  switch (format) {
    case PrintFormat::Slides9x13:
    case PrintFormat::A4Landscape: return PageOrientation::Landscape;
    case PrintFormat::Slides13x9: return PageOrientation::Portrait;
    default: return std::nullopt;
  }
}

PrintJobLayout JobLayout(PrintFormat format, PageOrientation used) {
  const bool landscape = used == PageOrientation::Landscape;
  switch (format) {
    // The page sizes are not symmetric between the orientations, and a landscape
    // quarter page is 48.7 mm high, not half of 97.5 mm.
    case PrintFormat::WholePage:
      return landscape ? PrintJobLayout{PrintMode::SinglePicture, 2850, -1950}
                       : PrintJobLayout{PrintMode::SinglePicture, 1900, -2900};
    case PrintFormat::HalfPage:
      return landscape ? PrintJobLayout{PrintMode::SinglePicture, 1450, -975}
                       : PrintJobLayout{PrintMode::SinglePicture, 950, -1450};
    case PrintFormat::QuarterPage:
      return landscape ? PrintJobLayout{PrintMode::SinglePicture, 725, -487}
                       : PrintJobLayout{PrintMode::SinglePicture, 475, -725};
    case PrintFormat::Slides9x13: return {PrintMode::SlideLayout1, 1300, -900};
    case PrintFormat::A4Landscape: return {PrintMode::SinglePicture, 2900, -1900};
    case PrintFormat::Slides13x9: return {PrintMode::SlideLayout2, 900, -1300};
  }
  return {};
}

std::array<QPoint, 4> SlideOrigins(PrintMode layout) {
  if (layout == PrintMode::SlideLayout2) {
    return {QPoint(25, -100), QPoint(1025, -100), QPoint(25, -1500), QPoint(1025, -1500)};
  }
  return {QPoint(50, -25), QPoint(1450, -25), QPoint(50, -1025), QPoint(1450, -1025)};
}

int PixelsForExtent(int extent, int pixelsPerInch) {
  const long long scaled = static_cast<long long>(std::abs(extent)) * pixelsPerInch;
  const long long pixels = (scaled + 253) / 254;
  return pixels < 1 ? 1 : static_cast<int>(pixels);
}
