#pragma once
// How a stored picture must be turned and mirrored to stand upright, as cameras and
// phones record it in the EXIF orientation tag (values 1 to 8), and what that does to
// sizes and places.

#include <QRect>
#include <QSize>

#include <cstdint>

enum class PictureOrientation : uint8_t {
  Upright = 1,
  MirrorLeftRight = 2,
  Turn180 = 3,
  MirrorTopBottom = 4,
  Transpose = 5,             // mirrored along the diagonal from the top-left corner
  TurnClockwise = 6,         // a quarter turn clockwise
  Transverse = 7,            // mirrored along the diagonal from the top-right corner
  TurnCounterClockwise = 8,  // a quarter turn counter-clockwise
};

// The orientation a tag value names; a value outside 1 to 8 leaves the picture as stored.
PictureOrientation OrientationFromTag(uint32_t value);

// The same turn as three steps, in this order: swap the axes, mirror left-right, mirror
// top-bottom. A stored pixel (x, y) lands at (y, x) after the swap.
struct PixelTurn {
  bool swapAxes = false;
  bool mirrorX = false;
  bool mirrorY = false;
};

PixelTurn PixelTurnOf(PictureOrientation orientation);

// The upright picture's size (width and height swapped for the values 5 to 8).
QSize UprightSize(QSize stored, PictureOrientation orientation);

// Where a rectangle of the stored picture lies in the upright one.
QRect UprightRect(const QRect& stored, QSize storedSize, PictureOrientation orientation);
