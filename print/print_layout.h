#pragma once
// Where pictures go on the printed page, in print units of 0.1 mm from the top-left
// corner of the printable area, y growing upwards (so a picture's height is negative:
// it extends downwards from its top edge). Plain values only, no printer state.

#include <QPoint>

#include <array>
#include <optional>

// The six choices of the print format dialog, by their radio buttons.
enum class PrintFormat {
  WholePage,      // BorRadio1
  HalfPage,       // BorRadio2
  QuarterPage,    // BorRadio3
  Slides9x13,     // BorRadio4: the four landscape slides
  A4Landscape,    // BorRadio5: hidden in the dialog, so no one can choose it; kept so the
                  // job still has a page for every button the dialog holds
  Slides13x9,     // BorRadio6: the four portrait slides
};

enum class PageOrientation { Portrait, Landscape };

enum class PrintMode { SinglePicture, SlideLayout1, SlideLayout2 };

struct PrintJobLayout {
  PrintMode mode = PrintMode::SinglePicture;
  int width = 0;   // print units
  int height = 0;  // print units, negative
  friend bool operator==(const PrintJobLayout&, const PrintJobLayout&) = default;
};

// The orientation the job sets before the print dialog opens (nothing: left as it is).
[[nodiscard]] std::optional<PageOrientation> OrientationBeforeDialog(PrintFormat format);
// The orientation the job forces after the print dialog was confirmed.
[[nodiscard]] std::optional<PageOrientation> OrientationAfterDialog(PrintFormat format);
// The picture size and mode for a format on a page of the orientation in use.
[[nodiscard]] PrintJobLayout JobLayout(PrintFormat format, PageOrientation used);

// The single picture's top-left corner: 5 mm from the left, 2.5 mm from the top.
inline constexpr QPoint kSinglePictureOrigin{50, -25};

// The top-left corners of the four slides of a layout, in the order they are printed:
// layout 1 top left, top right, bottom left, bottom right; layout 2 the same.
[[nodiscard]] std::array<QPoint, 4> SlideOrigins(PrintMode layout);

// The number of pixels a picture needs along one side printed over |extent| print units
// at most pixelsPerInch: ceil(|extent| / 254 * pixelsPerInch), at least 1.
[[nodiscard]] int PixelsForExtent(int extent, int pixelsPerInch);

// The printer's resolution limit for pictures: beyond it nothing shows on paper.
inline constexpr int kMaxPicturePixelsPerInch = 600;
