// Decoding a 24-megapixel photo stored as a phone stores a portrait (landscape pixels with
// the EXIF orientation "turn clockwise") against the same photo stored upright without
// the tag, both through TJPEGImage, for time and for peak memory beyond what was resident.
//
// Goals: the turned photo takes at most 1.15 times as long, and its decode needs at most
// 2.1 times the decoded bitmap.
//
// Usage: bench_turned_decode [noise [grau]]; "grau" makes a one-component photo, which
// decodes to an 8-bit bitmap and takes the narrow turn.

#include "bench/bench_timing.h"
#include "bench/loaded_jpeg.h"
#include "bench/memory_peak.h"
#include "picture/jpeg_image.h"
#include "tests/picture/exif_builder.h"
#include "tools/sample_jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kStoredWidth = 6000;
constexpr int kStoredHeight = 4000;
constexpr int kRounds = 15;

void DecodeUpright(const QByteArray& file) {
  if (Loaded(file)->Bitmap()->Width() != kStoredHeight) {
    std::abort();
  }
}

// The turned photo decoded, then compressed again as it shows: the same photo stored upright.
QByteArray StoredUpright(const QByteArray& turned, bool grayscale) {
  auto decoded = Loaded(turned);
  TJPEGImage upright;
  upright.Assign(decoded->Bitmap());
  upright.SetGrayscale(grayscale);
  upright.Compress();
  return *upright.Data()->Data;
}

struct Result {
  double seconds;
  double processorSeconds;
  int64_t peakBytes;
};

Result Summary(const std::vector<Measurement>& rounds) {
  std::vector<double> times;
  std::vector<double> processorTimes;
  int64_t peak = 0;
  for (const Measurement& m : rounds) {
    times.push_back(m.seconds);
    processorTimes.push_back(m.processorSeconds);
    peak = m.peakBytes < 0 || peak < 0 ? -1 : std::max(peak, m.peakBytes);
  }
  return {Median(times), Median(processorTimes), peak};
}

}  // namespace

int main(int argc, char** argv) {
  SampleJpegOptions options;
  options.width = kStoredWidth;
  options.height = kStoredHeight;
  // Some texture, as a photo has, so the decoder has real work.
  options.noise = argc > 1 ? std::atoi(argv[1]) : 8;
  const bool grayscale = argc > 2 && std::strcmp(argv[2], "grau") == 0;
  if (grayscale) {
    options.model = SampleColorModel::Grayscale;
  }
  const std::vector<uint8_t> made = MakeSampleJpeg(options);
  const QByteArray turned = testexif::WithOrientation(
      QByteArray(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size())), 6);
  const QByteArray upright = StoredUpright(turned, grayscale);
  const int64_t bitmapBytes = int64_t{kStoredWidth} * (grayscale ? 1 : 3) * kStoredHeight;

  std::vector<Measurement> turnedRounds;
  std::vector<Measurement> uprightRounds;
  for (int round = 0; round < kRounds; ++round) {
    turnedRounds.push_back(Measure([&] { DecodeUpright(turned); }));
    uprightRounds.push_back(Measure([&] { DecodeUpright(upright); }));
  }
  const Result t = Summary(turnedRounds);
  const Result u = Summary(uprightRounds);
  // Each round decodes both photos back to back, so the ratio within a round is not moved
  // by the machine getting faster or slower between rounds.
  std::vector<double> roundRatios;
  for (int round = 0; round < kRounds; ++round) {
    roundRatios.push_back(turnedRounds[static_cast<size_t>(round)].processorSeconds /
                          uprightRounds[static_cast<size_t>(round)].processorSeconds);
  }

  std::printf("%s photo: %d x %d stored, shown %d x %d; noise %d; files %lld (turned) and %lld (upright) bytes\n",
              grayscale ? "grayscale" : "colour", kStoredWidth, kStoredHeight, kStoredHeight, kStoredWidth, options.noise,
              static_cast<long long>(turned.size()), static_cast<long long>(upright.size()));
  std::printf("decode, stored turned with orientation 6: median %.1f ms (processor %.1f ms) of %d rounds\n",
              t.seconds * 1000, t.processorSeconds * 1000, kRounds);
  std::printf("decode, stored upright without the tag:   median %.1f ms (processor %.1f ms) of %d rounds\n",
              u.seconds * 1000, u.processorSeconds * 1000, kRounds);
  // Processor time counts only this program's work, so other load on the machine does not
  // move the ratio; the wall-clock ratio is given beside it.
  std::printf("time ratio: %.3f by processor time, %.3f by the clock, %.3f as the median of the rounds' ratios (goal 1.15 or less)\n",
              t.processorSeconds / u.processorSeconds, t.seconds / u.seconds, Median(roundRatios));
  if (t.peakBytes < 0 || u.peakBytes < 0) {
    std::printf("peak memory: not measurable here (no /proc/self/clear_refs)\n");
    return 0;
  }
  std::printf("peak memory, turned:  %.1f MB = %.3f x bitmap (goal 2.1 or less)\n", t.peakBytes / 1e6,
              static_cast<double>(t.peakBytes) / static_cast<double>(bitmapBytes));
  std::printf("peak memory, upright: %.1f MB = %.3f x bitmap\n", u.peakBytes / 1e6,
              static_cast<double>(u.peakBytes) / static_cast<double>(bitmapBytes));
  return 0;
}
