#pragma once
// Where a restored window frame may go: inside the work area of the screen it lands on,
// so that a damaged placement file or a monitor that is no longer there never hides the
// window or makes it larger than the screen.

#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

// A stored normal frame: left, top, right and bottom, right and bottom exclusive. Wide
// integers, because a damaged file may hold any int and their differences overflow int.
struct StoredFrame {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

struct FrameLimits {
  QSize minimum;        // a stored size below this in either direction counts as damaged
  QSize design;         // the size a damaged one falls back to
  int titleBarHeight;   // from the frame's top edge to the bottom of its title bar
};

// The frame as it may be shown. The screen it lands on is the work area it overlaps most,
// else the nearest one. The size falls back to the design size when it is below the
// minimum, then shrinks to that work area; the position moves just far enough that the
// whole title bar lies inside it. Without any work area the size check alone applies.
[[nodiscard]] QRect FitFrameToWorkAreas(const StoredFrame& frame, const std::vector<QRect>& workAreas,
                                        const FrameLimits& limits);
