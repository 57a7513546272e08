#include "picture/orientation.h"

#include <utility>

PictureOrientation OrientationFromTag(uint32_t value) {
  if (value < 1 || value > 8) {
    return PictureOrientation::Upright;
  }
  return static_cast<PictureOrientation>(value);
}

PixelTurn PixelTurnOf(PictureOrientation orientation) {
  switch (orientation) {
    case PictureOrientation::Upright:
      break;
    case PictureOrientation::MirrorLeftRight:
      return {false, true, false};
    case PictureOrientation::Turn180:
      return {false, true, true};
    case PictureOrientation::MirrorTopBottom:
      return {false, false, true};
    case PictureOrientation::Transpose:
      return {true, false, false};
    case PictureOrientation::TurnClockwise:
      return {true, true, false};
    case PictureOrientation::Transverse:
      return {true, true, true};
    case PictureOrientation::TurnCounterClockwise:
      return {true, false, true};
  }
  return {};
}

QSize UprightSize(QSize stored, PictureOrientation orientation) {
  return PixelTurnOf(orientation).swapAxes ? stored.transposed() : stored;
}

QRect UprightRect(const QRect& stored, QSize storedSize, PictureOrientation orientation) {
  if (stored.isEmpty()) {
    return stored;
  }
  const PixelTurn turn = PixelTurnOf(orientation);
  // Edges as half-open ranges, so mirroring maps [a, b) to [extent - b, extent - a).
  int left = stored.left();
  int right = stored.left() + stored.width();
  int top = stored.top();
  int bottom = stored.top() + stored.height();
  QSize size = storedSize;
  if (turn.swapAxes) {
    std::swap(left, top);
    std::swap(right, bottom);
    size = size.transposed();
  }
  if (turn.mirrorX) {
    const int mirroredLeft = size.width() - right;
    right = size.width() - left;
    left = mirroredLeft;
  }
  if (turn.mirrorY) {
    const int mirroredTop = size.height() - bottom;
    bottom = size.height() - top;
    top = mirroredTop;
  }
  return QRect(left, top, right - left, bottom - top);
}
