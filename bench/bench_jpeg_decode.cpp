// Decoding a 24-megapixel JPEG through TJPEGImage against a bare libjpeg decode of the
// same bytes into one buffer, for time and for peak memory beyond what was resident. The
// bare decode does the same work (bench/bare_decode.h), into a buffer allocated as the
// program's bitmap is, and into one already in memory. Two pictures: the sample pattern
// and a photo-like one.
//
// Goals: TJPEGImage takes at most 1.10 times as long, and its decode needs no more than
// the decoded bitmap plus 10% of it.

#include "bench/bare_decode.h"
#include "bench/bench_timing.h"
#include "bench/photo_like.h"
#include "bench/memory_peak.h"
#include "picture/jpeg_image.h"
#include "platform/stream.h"
#include "tools/sample_jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kRounds = 7;

void DecodeThroughPicture(const QByteArray& file) {
  TJPEGImage jpeg;
  TMemoryStream stream(file);
  jpeg.LoadFromStream(stream);
  if (jpeg.Bitmap()->Width() != kWidth) {
    std::abort();
  }
}

// Measures one file and prints its figures.
void MeasureFile(const char* name, const QByteArray& file) {
  const int64_t bitmapBytes = int64_t{kWidth} * 3 * kHeight;
  BareBuffer warm(BarePictureBytes(file));
  warm.Prefault();
  std::vector<double> pictureTimes;
  std::vector<double> bareTimes;
  std::vector<double> warmTimes;
  int64_t picturePeak = 0;
  int64_t barePeak = 0;
  for (int round = 0; round < kRounds; ++round) {
    const Measurement picture = Measure([&] { DecodeThroughPicture(file); });
    const Measurement bare = Measure([&] { DecodeBare(file); });
    warmTimes.push_back(SecondsOf([&] { DecodeBare(file, &warm); }));
    pictureTimes.push_back(picture.seconds);
    bareTimes.push_back(bare.seconds);
    picturePeak = std::max(picturePeak, picture.peakBytes);
    barePeak = std::max(barePeak, bare.peakBytes);
  }

  const double pictureTime = Median(pictureTimes);
  const double bareTime = Median(bareTimes);
  const double warmTime = Median(warmTimes);
  std::printf("picture: %s, %d x %d, %lld bytes of JPEG, decoded bitmap %lld bytes\n", name, kWidth, kHeight,
              static_cast<long long>(file.size()), static_cast<long long>(bitmapBytes));
  std::printf("TJPEGImage decode:   median %.1f ms of %d rounds\n", pictureTime * 1000, kRounds);
  std::printf("bare libjpeg decode: median %.1f ms of %d rounds\n", bareTime * 1000, kRounds);
  std::printf("time ratio: %.3f (goal 1.10 or less)\n", pictureTime / bareTime);
  std::printf("bare decode into a buffer already in memory: median %.1f ms, ratio %.3f\n", warmTime * 1000,
              pictureTime / warmTime);
  if (picturePeak < 0) {
    std::printf("peak memory: not measurable here (no /proc/self/clear_refs)\n");
    return;
  }
  std::printf("peak memory, TJPEGImage:   %.1f MB = %.3f x bitmap (goal 1.10 or less)\n", picturePeak / 1e6,
              static_cast<double>(picturePeak) / static_cast<double>(bitmapBytes));
  std::printf("peak memory, bare libjpeg: %.1f MB = %.3f x bitmap\n", barePeak / 1e6,
              static_cast<double>(barePeak) / static_cast<double>(bitmapBytes));
}

QByteArray Bytes(const std::vector<uint8_t>& made) {
  return QByteArray(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size()));
}

}  // namespace

int main() {
  SampleJpegOptions options;
  options.width = kWidth;
  options.height = kHeight;
  MeasureFile("sample pattern", Bytes(MakeSampleJpeg(options)));
  MeasureFile("photo-like", Bytes(MakePhotoLikeJpeg(kWidth, kHeight, 1)));
  return 0;
}
