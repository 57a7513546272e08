// Decoding a 24-megapixel JPEG through TJPEGImage against a bare libjpeg decode of the
// same bytes into one buffer, for time and for peak memory beyond what was resident.
//
// Goals: TJPEGImage takes at most 1.10 times as long, and its decode needs no more than
// the decoded bitmap plus 10% of it.

#include "bench/bare_decode.h"
#include "picture/jpeg_image.h"
#include "platform/stream.h"
#include "tools/sample_jpeg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kRounds = 7;

struct Measurement {
  double seconds = 0;
  int64_t peakBytes = 0;  // resident memory at the peak, beyond what was resident before
};

// The kernel's counters of the resident set: "VmRSS" now, "VmHWM" its peak.
int64_t StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::strtoll(line.c_str() + std::char_traits<char>::length(field) + 1, nullptr, 10);
    }
  }
  return -1;
}

// Starts the peak over from the current resident size (Linux 4.0 and later).
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear);
}

Measurement Measure(const std::function<void()>& decode) {
  const bool peakReset = ResetPeak();
  const int64_t before = StatusKilobytes("VmRSS:");
  const auto start = std::chrono::steady_clock::now();
  decode();
  const auto end = std::chrono::steady_clock::now();
  const int64_t peak = peakReset ? StatusKilobytes("VmHWM:") : -1;
  return Measurement{std::chrono::duration<double>(end - start).count(), peak < 0 ? -1 : (peak - before) * 1024};
}

void DecodeThroughPicture(const QByteArray& file) {
  TJPEGImage jpeg;
  TMemoryStream stream(file);
  jpeg.LoadFromStream(stream);
  if (jpeg.Bitmap()->Width() != kWidth) {
    std::abort();
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  SampleJpegOptions options;
  options.width = kWidth;
  options.height = kHeight;
  const std::vector<uint8_t> made = MakeSampleJpeg(options);
  const QByteArray file(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size()));
  const int64_t bitmapBytes = int64_t{kWidth} * 3 * kHeight;

  std::vector<double> pictureTimes;
  std::vector<double> bareTimes;
  int64_t picturePeak = 0;
  int64_t barePeak = 0;
  for (int round = 0; round < kRounds; ++round) {
    const Measurement picture = Measure([&] { DecodeThroughPicture(file); });
    const Measurement bare = Measure([&] { DecodeBare(file); });
    pictureTimes.push_back(picture.seconds);
    bareTimes.push_back(bare.seconds);
    picturePeak = std::max(picturePeak, picture.peakBytes);
    barePeak = std::max(barePeak, bare.peakBytes);
  }

  const double pictureTime = Median(pictureTimes);
  const double bareTime = Median(bareTimes);
  std::printf("picture: %d x %d, %lld bytes of JPEG, decoded bitmap %lld bytes\n", kWidth, kHeight,
              static_cast<long long>(file.size()), static_cast<long long>(bitmapBytes));
  std::printf("TJPEGImage decode:   median %.1f ms of %d rounds\n", pictureTime * 1000, kRounds);
  std::printf("bare libjpeg decode: median %.1f ms of %d rounds\n", bareTime * 1000, kRounds);
  std::printf("time ratio: %.3f (goal 1.10 or less)\n", pictureTime / bareTime);
  if (picturePeak < 0) {
    std::printf("peak memory: not measurable here (no /proc/self/clear_refs)\n");
    return 0;
  }
  std::printf("peak memory, TJPEGImage:   %.1f MB = %.3f x bitmap (goal 1.10 or less)\n", picturePeak / 1e6,
              static_cast<double>(picturePeak) / static_cast<double>(bitmapBytes));
  std::printf("peak memory, bare libjpeg: %.1f MB = %.3f x bitmap\n", barePeak / 1e6,
              static_cast<double>(barePeak) / static_cast<double>(bitmapBytes));
  return 0;
}
