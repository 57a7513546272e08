#include "sheet/split_geometry.h"

#include <algorithm>
#include <cstdint>

int SplitEdgeWidth(const SplitEdge& edge) {
  return edge.borderWidth + (edge.outerBevel ? edge.bevelWidth : 0) + (edge.innerBevel ? edge.bevelWidth : 0);
}

BarSpan SplitBarSpan(int position, int thickness) {
  return {position - thickness / 2 - 1, position + (thickness + 1) / 2};
}

namespace {

// numerator / denominator rounded to the nearest integer, halves to even; both >= 0.
int RoundHalfToEven(int64_t numerator, int64_t denominator) {
  if (denominator <= 0) return 0;
  const int64_t quotient = numerator / denominator;
  const int64_t twiceRest = 2 * (numerator % denominator);
  if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0)) return static_cast<int>(quotient + 1);
  return static_cast<int>(quotient);
}

int ClampAxis(int value, int extent, const SplitFrame& frame, SplitLimits limits) {
  value = std::min(value, extent - frame.edge);
  if (limits.max != 0 && value > limits.max) {
    value = limits.max;
  } else if (value < limits.min) {
    value = limits.min;
  }
  const int lo = frame.thickness / 2 + frame.edge + 1;
  const int hi = lo + (frame.singleBorder ? 2 : 0) + (frame.thickness % 2 != 0 ? 1 : 0);
  return std::min(std::max(value, lo), extent - hi);
}

}  // namespace

int SplitPercent(int value, int extent) {
  return RoundHalfToEven(int64_t{std::max(value, 0)} * 100, extent);
}

int ScaledSplitPosition(int extent, int percent) {
  return RoundHalfToEven(int64_t{std::max(extent, 0)} * std::max(percent, 0), 100);
}

QPoint ClampSplitPoint(QPoint point, const SplitFrame& frame, SplitLimits horizontal, SplitLimits vertical) {
  return {ClampAxis(point.x(), frame.width, frame, horizontal), ClampAxis(point.y(), frame.height, frame, vertical)};
}

std::array<QRect, 4> QuadPaneBounds(const SplitFrame& frame, BarSpan columns, BarSpan rows) {
  const int e = frame.edge;
  const int leftWidth = std::max(0, columns.first - e);
  const int rightWidth = std::max(0, frame.width - e - columns.last - 1);
  const int topHeight = std::max(0, rows.first - e);
  const int bottomHeight = std::max(0, frame.height - e - rows.last - 1);
  return {QRect(e, e, leftWidth, topHeight), QRect(columns.last + 1, e, rightWidth, topHeight),
          QRect(columns.last + 1, rows.last + 1, rightWidth, bottomHeight),
          QRect(e, rows.last + 1, leftWidth, bottomHeight)};
}

TCursor HitTestSplitBars(QPoint point, BarSpan columns, BarSpan rows, SplitLocks locks, TCursor normal) {
  const bool onVertical = columns.first <= point.x() && point.x() <= columns.last;
  const bool onHorizontal = rows.first <= point.y() && point.y() <= rows.last;
  const bool verticalFree = onVertical && !locks.horizontal;
  const bool horizontalFree = onHorizontal && !locks.vertical;
  if (verticalFree && horizontalFree) return crSplitCross;
  if (verticalFree) return crHSplit;
  if (horizontalFree) return crVSplit;
  return normal;
}

QPoint SplitDragPoint(QPoint point, TCursor hit, QPoint positions) {
  if (hit == crHSplit) return {point.x(), positions.y()};
  if (hit == crVSplit) return {positions.x(), point.y()};
  return point;
}

std::vector<BarLine> QuadBarLines(const SplitFrame& frame, BarSpan columns, BarSpan rows) {
  const int left = frame.edge;
  const int top = frame.edge;
  const int right = frame.width - frame.edge - 1;
  const int bottom = frame.height - frame.edge - 1;
  const int ht = rows.first;
  const int hb = rows.last;
  const int vl = columns.first;
  const int vr = columns.last;
  constexpr bool first = true;
  constexpr bool second = false;
  return {
      {{left, ht}, {vl, ht}, first},        {{vr, ht}, {right, ht}, first},
      {{vl, top}, {vl, ht}, first},         {{vl, hb + 1}, {vl, bottom}, first},
      {{left, hb}, {vl - 1, hb}, second},   {{vr + 1, hb}, {right, hb}, second},
      {{vr, top}, {vr, ht - 1}, second},    {{vr, hb}, {vr, bottom}, second},
  };
}

std::array<QRect, 2> QuadBarFaces(const SplitFrame& frame, BarSpan columns, BarSpan rows) {
  const int e = frame.edge;
  const int inner = frame.width - 2 * e;
  // A single-line border takes two rows off the bottom of the vertical bar's face.
  const int bottom = frame.height - e - (frame.singleBorder ? 2 : 0);
  return {QRect(e, rows.first + 1, std::max(0, inner), std::max(0, rows.last - rows.first - 1)),
          QRect(columns.first + 1, e, std::max(0, columns.last - columns.first - 1), std::max(0, bottom - e))};
}

std::vector<QRect> DragBarStrips(const QRect& area, QPoint point, int thickness, TCursor hit) {
  const int x = std::clamp(point.x(), area.left(), area.right());
  const int y = std::clamp(point.y(), area.top(), area.bottom());
  std::vector<QRect> strips;
  if (hit == crHSplit || hit == crSplitCross) strips.emplace_back(x - thickness / 2, area.top(), thickness, area.height());
  if (hit == crVSplit || hit == crSplitCross) strips.emplace_back(area.left(), y - thickness / 2, area.width(), thickness);
  return strips;
}
