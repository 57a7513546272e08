#pragma once
// Progress of one decode or encode, as the library reports it many times a second,
// turned into the few reports worth passing on: at most one per 500 ms, only when the
// whole percentage changed, with the band of rows decoded since the last report.

#include "picture/graphic.h"

#include <QRect>

#include <cstdint>
#include <functional>
#include <optional>

inline constexpr uint32_t kProgressIntervalMs = 500;
// A band lower than this is not worth an immediate redraw.
inline constexpr int kMinRedrawRows = 4;

struct JpegPassCounters {
  long passCounter = 0;
  long passLimit = 0;
  int completedPasses = 0;
  int totalPasses = 0;
};

struct JpegProgressReport {
  uint8_t percent = 0;
  bool redrawNow = false;
  QRect region;  // in output pixels; empty when encoding
};

// Truncated 100 * (completed passes + this pass's share) / total passes, within 0..100.
uint8_t JpegPercentDone(const JpegPassCounters& counters);

class JpegProgressMeter {
 public:
  explicit JpegProgressMeter(bool decoding) : decoding_(decoding) {}

  // now: the millisecond tick; scanline/width/height: the decoder's output position and
  // size (ignored when encoding). Returns the report to make, if one is due.
  std::optional<JpegProgressReport> Update(uint32_t now, const JpegPassCounters& counters, int scanline, int width,
                                           int height);

 private:
  bool decoding_;
  bool clockStarted_ = false;
  uint32_t lastTick_ = 0;
  int lastPercent_ = 0;
  int lastScanline_ = 0;
};

// Where an encode or a decode sends its reports: the stage, the whole percentage done,
// whether to redraw at once, and the band of output rows decoded since the last report
// (empty when encoding). Returns false when the receiver is gone (a progress handler
// freed the picture); a decode then stops at once and touches nothing more.
using JpegProgressCallback =
    std::function<bool(TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& region)>;
