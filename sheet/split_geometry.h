#pragma once
// The geometry of a split panel over plain values: the edge, the bars' pixel spans,
// the clamp of a split point, the four pane rectangles, hitting the bars, the lines
// that paint the bars and the strips that show a bar while it is dragged. All values
// are pixels of the split's client area, which includes its edge.

#include "framework/cursors.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <vector>

// The crossing of both bars; its cursor is the one registered under this number.
inline constexpr TCursor crSplitCross = -23;

struct SplitEdge {
  int borderWidth = 0;
  int bevelWidth = 1;
  bool outerBevel = true;
  bool innerBevel = false;
};

// Border width plus one bevel width for each bevel present.
[[nodiscard]] int SplitEdgeWidth(const SplitEdge& edge);

// The pixel columns (or rows) a bar at a position covers, both inclusive.
struct BarSpan {
  int first = 0;
  int last = 0;
  bool operator==(const BarSpan&) const = default;
};
[[nodiscard]] BarSpan SplitBarSpan(int position, int thickness);

// value / extent as a percentage, rounded to the nearest integer with halves to even;
// 0 for an empty extent.
[[nodiscard]] int SplitPercent(int value, int extent);
// extent x percent / 100, rounded the same way.
[[nodiscard]] int ScaledSplitPosition(int extent, int percent);

struct SplitFrame {
  int width = 100;
  int height = 100;
  int edge = 1;
  int thickness = 2;
  bool singleBorder = false;
};

// A position's limits; 0 is no limit.
struct SplitLimits {
  int min = 0;
  int max = 0;
};

// The point both bars may take: inside the edge, at most at the limits, far enough
// from either side that each pane keeps zero or more pixels.
[[nodiscard]] QPoint ClampSplitPoint(QPoint point, const SplitFrame& frame, SplitLimits horizontal,
                                     SplitLimits vertical);

// The panes clockwise from the top left, for the vertical bar's columns and the
// horizontal bar's rows; an empty pane has zero width or height.
[[nodiscard]] std::array<QRect, 4> QuadPaneBounds(const SplitFrame& frame, BarSpan columns, BarSpan rows);

struct SplitLocks {
  bool horizontal = false;  // the vertical bar (SplitHPos) cannot move
  bool vertical = false;    // the horizontal bar (SplitVPos) cannot move
};

// crHSplit on the vertical bar, crVSplit on the horizontal bar, crSplitCross on both,
// normal elsewhere; a locked bar gives way to the other one or to normal.
[[nodiscard]] TCursor HitTestSplitBars(QPoint point, BarSpan columns, BarSpan rows, SplitLocks locks,
                                       TCursor normal);

// Where a drag from point moves the bars: both follow the crossing, one bar keeps the
// other's position.
[[nodiscard]] QPoint SplitDragPoint(QPoint point, TCursor hit, QPoint positions);

// One line of the bars' bevels, both ends inclusive, in the first colour (the top and
// left lines, highlight for raised bars) or the second (bottom and right lines).
struct BarLine {
  QPoint from;
  QPoint to;
  bool firstColour = true;
  bool operator==(const BarLine&) const = default;
};
// The bevel lines of two crossing bars within the area inside the edge; at the
// crossing the lines stop, so the bars' faces join.
[[nodiscard]] std::vector<BarLine> QuadBarLines(const SplitFrame& frame, BarSpan columns, BarSpan rows);
// The faces between the bevel lines: the horizontal bar's, then the vertical bar's.
[[nodiscard]] std::array<QRect, 2> QuadBarFaces(const SplitFrame& frame, BarSpan columns, BarSpan rows);

// The strips that show the dragged bars at point (both in the same coordinates as
// area, the split's area inside its edge): a strip thickness pixels wide centred on
// the point's column and/or row, over the whole area, by the hit code.
[[nodiscard]] std::vector<QRect> DragBarStrips(const QRect& area, QPoint point, int thickness, TCursor hit);
