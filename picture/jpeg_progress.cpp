#include "picture/jpeg_progress.h"

#include <algorithm>

uint8_t JpegPercentDone(const JpegPassCounters& counters) {
  if (counters.totalPasses <= 0) {
    return 0;
  }
  const double passShare =
      counters.passLimit > 0 ? static_cast<double>(counters.passCounter) / static_cast<double>(counters.passLimit) : 0.0;
  const double percent = 100.0 * (counters.completedPasses + passShare) / counters.totalPasses;
  return static_cast<uint8_t>(std::clamp(static_cast<int>(percent), 0, 100));
}

std::optional<JpegProgressReport> JpegProgressMeter::Update(uint32_t now, const JpegPassCounters& counters,
                                                            int scanline, int width, int height) {
  // Unsigned difference: correct across the wrap of the 32-bit tick count.
  if (clockStarted_ && now - lastTick_ < kProgressIntervalMs) {
    return std::nullopt;
  }
  const bool firstCall = !clockStarted_;
  clockStarted_ = true;
  lastTick_ = now;
  if (firstCall) {
    return std::nullopt;
  }

  QRect region;
  if (decoding_) {
    // A scan line above the last reported one means a new pass began: the band runs on
    // to the bottom of the picture.
    const int bottom = scanline < lastScanline_ ? height : scanline;
    region = QRect(0, lastScanline_, width, bottom - lastScanline_);
  }
  const int percent = JpegPercentDone(counters);
  if (percent == lastPercent_) {
    return std::nullopt;
  }
  lastPercent_ = percent;
  if (decoding_) {
    lastScanline_ = scanline;
  }
  return JpegProgressReport{static_cast<uint8_t>(percent), region.height() >= kMinRedrawRows, region};
}
