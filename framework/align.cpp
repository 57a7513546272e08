#include "framework/align.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr TAlign kOrder[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};

// The position that decides which control is nearer its edge.
int EdgeKey(TAlign align, const QRect& r) {
  switch (align) {
    case TAlign::alTop: return r.top();
    case TAlign::alBottom: return -(r.top() + r.height());
    case TAlign::alLeft: return r.left();
    case TAlign::alRight: return -(r.left() + r.width());
    default: return 0;
  }
}

QRect Place(TAlign align, const QRect& current, QRect& space) {
  const int w = std::clamp(current.width(), 0, std::max(0, space.width()));
  const int h = std::clamp(current.height(), 0, std::max(0, space.height()));
  QRect r;
  switch (align) {
    case TAlign::alTop:
      r = QRect(space.left(), space.top(), space.width(), current.height());
      space.setTop(space.top() + h);
      break;
    case TAlign::alBottom:
      r = QRect(space.left(), space.top() + space.height() - current.height(), space.width(), current.height());
      space.setHeight(space.height() - h);
      break;
    case TAlign::alLeft:
      r = QRect(space.left(), space.top(), current.width(), space.height());
      space.setLeft(space.left() + w);
      break;
    case TAlign::alRight:
      r = QRect(space.left() + space.width() - current.width(), space.top(), current.width(), space.height());
      space.setWidth(space.width() - w);
      break;
    case TAlign::alClient:
      r = QRect(space.left(), space.top(), std::max(0, space.width()), std::max(0, space.height()));
      break;
    case TAlign::alNone:
      r = current;
      break;
  }
  return r;
}

}  // namespace

std::vector<QRect> ArrangeAligned(const QRect& clientRect, const std::vector<AlignItem>& items) {
  std::vector<QRect> result;
  result.reserve(items.size());
  for (const AlignItem& item : items) result.push_back(item.bounds);

  QRect space = clientRect;
  for (TAlign align : kOrder) {
    std::vector<size_t> order;
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].visible && items[i].align == align) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return EdgeKey(align, items[a].bounds) < EdgeKey(align, items[b].bounds);
    });
    for (size_t i : order) {
      result[i] = Place(align, items[i].bounds, space);
    }
  }
  return result;
}
