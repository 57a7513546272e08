#include "app/placement_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct WideRect {
  int64_t left;
  int64_t top;
  int64_t width;
  int64_t height;
};

int64_t Overlap(int64_t startA, int64_t lengthA, int64_t startB, int64_t lengthB) {
  return std::max<int64_t>(0, std::min(startA + lengthA, startB + lengthB) - std::max(startA, startB));
}

// How far apart the two are along one axis; 0 when they overlap.
double Gap(int64_t startA, int64_t lengthA, int64_t startB, int64_t lengthB) {
  return static_cast<double>(std::max<int64_t>({0, startB - (startA + lengthA), startA - (startB + lengthB)}));
}

// The work area the frame overlaps most, else the one nearest to it.
const QRect& LandingArea(const WideRect& frame, const std::vector<QRect>& areas) {
  const QRect* best = &areas.front();
  int64_t bestOverlap = -1;
  double bestGap = std::numeric_limits<double>::infinity();
  for (const QRect& area : areas) {
    const int64_t overlap = Overlap(frame.left, frame.width, area.x(), area.width()) *
                            Overlap(frame.top, frame.height, area.y(), area.height());
    const double gap = std::hypot(Gap(frame.left, frame.width, area.x(), area.width()),
                                  Gap(frame.top, frame.height, area.y(), area.height()));
    if (overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && gap < bestGap)) {
      best = &area;
      bestOverlap = overlap;
      bestGap = gap;
    }
  }
  return *best;
}

int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

QRect FitFrameToWorkAreas(const StoredFrame& frame, const std::vector<QRect>& workAreas, const FrameLimits& limits) {
  WideRect fitted{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
  if (fitted.width < limits.minimum.width() || fitted.height < limits.minimum.height()) {
    fitted.width = limits.design.width();
    fitted.height = limits.design.height();
  }
  if (!workAreas.empty()) {
    const QRect& area = LandingArea(fitted, workAreas);
    fitted.width = std::min<int64_t>(fitted.width, area.width());
    fitted.height = std::min<int64_t>(fitted.height, area.height());
    const int64_t titleBar = std::min<int64_t>(limits.titleBarHeight, fitted.height);
    fitted.left = std::clamp<int64_t>(fitted.left, area.x(), int64_t{area.x()} + area.width() - fitted.width);
    fitted.top = std::clamp<int64_t>(fitted.top, area.y(), int64_t{area.y()} + area.height() - titleBar);
  }
  return QRect(ToInt(fitted.left), ToInt(fitted.top), ToInt(fitted.width), ToInt(fitted.height));
}
