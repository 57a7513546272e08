#pragma once
// Alignment of controls to the edges of their parent: top, bottom, left, right, then
// the rest; among controls at one edge, the one nearer the edge first (creation order
// breaks ties).

#include <QRect>

#include <vector>

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct AlignItem {
  TAlign align = TAlign::alNone;
  QRect bounds;
  bool visible = true;
};

// Returns the new bounds of every item (unchanged for alNone or invisible ones).
[[nodiscard]] std::vector<QRect> ArrangeAligned(const QRect& clientRect, const std::vector<AlignItem>& items);
