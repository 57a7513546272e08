// Decoding a 24-megapixel photo with an embedded colour profile against the same photo
// without one, all through TJPEGImage, for time and for peak memory beyond what was
// resident before the decode; and the cost of each step of the conversion on its own.
//
// Goals: with an Adobe RGB profile at most 1.3 times the untagged decode; a CMYK photo
// with a CMYK profile of tables at most 3.0 times the same photo without it; an
// sRGB-tagged photo at most 1.02 times the untagged one; peak memory at most 1.1 times
// the bitmap.
//
// Usage: bench_colour_decode [noise [rounds]]

#include "bench/bench_timing.h"
#include "bench/loaded_jpeg.h"
#include "bench/memory_peak.h"
#include "picture/colour_profile.h"
#include "picture/exif_colour_space.h"
#include "picture/icc_profile.h"
#include "picture/jpeg_image.h"
#include "tests/picture/icc_builder.h"
#include "tools/sample_jpeg.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

QByteArray Photo(SampleColorModel model, int noise) {
  SampleJpegOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.model = model;
  options.noise = noise;
  const std::vector<uint8_t> made = MakeSampleJpeg(options);
  return QByteArray(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size()));
}

// The decode alone: the file is loaded before the measurement starts.
Measurement Decode(const QByteArray& file) {
  std::unique_ptr<TJPEGImage> jpeg = Loaded(file);
  const Measurement m = Measure([&] {
    if (jpeg->Bitmap()->Width() != kWidth) {
      std::abort();
    }
  });
  return m;
}

struct Pair {
  const char* name;
  QByteArray base;
  QByteArray tagged;
  double goal;
};

// Medians of the tagged decode's time, the untagged one's and their ratio, one of each
// per round.
struct Times {
  std::vector<double> tagged;
  std::vector<double> base;
  std::vector<double> ratios;

  void Add(double taggedSeconds, double baseSeconds) {
    tagged.push_back(taggedSeconds);
    base.push_back(baseSeconds);
    ratios.push_back(taggedSeconds / baseSeconds);
  }
  void Print(const char* what, double goal) const {
    std::printf("  %-38s %7.1f ms against %7.1f ms: ratio %.3f (goal %.2f or less)\n", what, Median(tagged) * 1000,
                Median(base) * 1000, Median(ratios), goal);
  }
};

// The goal holds for the time a person waits (wall time) and is shown for the processor
// time of all threads too, which a second thread of conversion adds to; the decoding
// thread's own processor time is what a busy machine inflates least.
void Compare(const Pair& pair, int rounds, int64_t bitmapBytes) {
  Times wall;
  Times allThreads;
  Times decodingThread;
  int64_t peak = 0;
  for (int round = 0; round < rounds; ++round) {
    const Measurement base = Decode(pair.base);
    const Measurement tagged = Decode(pair.tagged);
    wall.Add(tagged.seconds, base.seconds);
    allThreads.Add(tagged.processSeconds, base.processSeconds);
    decodingThread.Add(tagged.processorSeconds, base.processorSeconds);
    peak = tagged.peakBytes < 0 || peak < 0 ? -1 : std::max(peak, tagged.peakBytes);
  }
  std::printf("%s: peak %.3f x bitmap (goal 1.1)\n", pair.name,
              peak < 0 ? -1.0 : static_cast<double>(peak) / static_cast<double>(bitmapBytes));
  wall.Print("wall time", pair.goal);
  allThreads.Print("processor time, all threads", pair.goal);
  decodingThread.Print("processor time, decoding thread", pair.goal);
}

// Processor milliseconds of work, the median of a few runs.
double Milliseconds(const std::function<void()>& work, int runs = 5) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    times.push_back(Measure(work).processorSeconds * 1000);
  }
  return Median(times);
}

void StepCosts(const QByteArray& adobeFile, const QByteArray& adobe, const QByteArray& cmyk) {
  const auto* data = reinterpret_cast<const uint8_t*>(adobeFile.constData());
  const auto size = static_cast<size_t>(adobeFile.size());
  std::printf("finding the profile and the EXIF colour space in the file: %.3f ms\n", Milliseconds([&] {
                ReadJpegIccProfile(data, size);
                JpegExifSaysAdobeRgb(data, size);
              }));
  // Each profile is made anew (another profile ID in its header, which the engine does not
  // check) so that no conversion is taken from the cache of recent ones.
  int variant = 0;
  const auto fresh = [&variant](QByteArray profile) {
    profile[99] = static_cast<char>(++variant);
    return profile;
  };
  std::printf("making the conversion: Adobe RGB %.1f ms, CMYK tables %.1f ms, sRGB recognised %.1f ms\n",
              Milliseconds([&] { ColourConversion::For(fresh(adobe), ColourInput::Rgb); }),
              Milliseconds([&] { ColourConversion::For(fresh(cmyk), ColourInput::CmykInverted); }),
              Milliseconds([&] { ColourConversion::For(fresh(testicc::EngineSrgb()), ColourInput::Rgb); }));
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
  }
  std::vector<uint8_t> bgr(static_cast<size_t>(kWidth) * 3);
  const auto matrix = ColourConversion::For(adobe, ColourInput::Rgb);
  const auto grid = ColourConversion::For(cmyk, ColourInput::CmykInverted);
  std::printf("converting 24 megapixels alone: Adobe RGB %.1f ms (curves and matrix: %s), CMYK tables %.1f ms\n",
              Milliseconds([&] {
                for (int y = 0; y < kHeight; ++y) {
                  matrix->ConvertBgr(pixels.data(), kWidth, 3);
                }
              }),
              matrix->UsesMatrix() ? "yes" : "no", Milliseconds([&] {
                for (int y = 0; y < kHeight; ++y) {
                  grid->ConvertCmyk(pixels.data(), bgr.data(), kWidth, 3);
                }
              }));
}

}  // namespace

int main(int argc, char** argv) {
  const int noise = argc > 1 ? std::atoi(argv[1]) : 8;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  const QByteArray colour = Photo(SampleColorModel::Color, noise);
  const QByteArray cmyk = Photo(SampleColorModel::Cmyk, noise);
  const QByteArray adobe = testicc::AdobeRgb();
  const QByteArray cmykTables = testicc::CmykTables();
  const int64_t bitmapBytes = int64_t{kWidth} * 3 * kHeight;
  std::printf("%d x %d photos with noise %d, %d rounds; medians\n", kWidth, kHeight, noise, rounds);
  const Pair pairs[] = {
      {"Adobe RGB profile / untagged", colour, testexif::WithSegments(colour, testicc::IccSegments(adobe)), 1.3},
      {"Adobe RGB by EXIF / untagged", colour, testexif::WithSegments(colour, testicc::ExifColourSpace(0xFFFF, "R03")), 1.3},
      {"sRGB profile / untagged", colour, testexif::WithSegments(colour, testicc::IccSegments(testicc::EngineSrgb())), 1.02},
      {"untagged / untagged", colour, colour, 1.02},
      {"CMYK tables profile / CMYK untagged", cmyk, testexif::WithSegments(cmyk, testicc::IccSegments(cmykTables)), 3.0},
  };
  for (const Pair& pair : pairs) {
    Compare(pair, rounds, bitmapBytes);
  }
  StepCosts(testexif::WithSegments(colour, testicc::IccSegments(adobe)), adobe, cmykTables);
  return 0;
}
