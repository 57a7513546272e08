// The first full paint of a JPEG on the preview canvas (the paint that asks for the
// decode, the decode with its progress reports, and the stretched drawing), against a
// bare libjpeg decode of the same file (bench/bare_decode.h: the same work, into a buffer
// allocated like the bitmap, and into one already in memory).
//
// Usage: bench_preview_paint [picture.jpg]   (without a picture, a 24-megapixel one is made)
// Goal: the first paint takes at most 1.2 times as long as the bare decode.
//
// Then a small file of 999 scans over an 8192 x 8192 picture against an ordinary
// progressive file of that picture: its first paint must fail as a damaged file, or end,
// within twice the ordinary file's.

#include "bench/bare_decode.h"
#include "bench/bench_files.h"
#include "bench/bench_timing.h"
#include "picture/file_formats.h"
#include "picture/image_control.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "tools/sample_jpeg.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kRounds = 5;

// The message of the error a first paint raised, empty when it drew.
std::string failure;

// The canvas as the main window has it: 128 x 94, stretched, incremental display.
double FirstPaint(const QString& path) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 128, 94);
  image.SetStretch(true);
  image.SetIncrementalDisplay(true);
  image.Widget()->show();
  image.Picture()->LoadFromFile(path);
  auto* jpeg = dynamic_cast<TJPEGImage*>(image.Picture()->Graphic());
  if (!jpeg) std::abort();
  return SecondsOf([&] {
    try {
      image.Repaint();  // asks for the decode
      while (!jpeg->HasBitmap()) QCoreApplication::processEvents();
      image.Repaint();  // draws the decoded picture
    } catch (const std::exception& error) {
      failure = error.what();
    }
  });
}

QString MakeScansPicture(const QTemporaryDir& dir, int refinementLevels, int scanLimit, const QString& name) {
  SampleJpegOptions options;
  options.width = 8192;
  options.height = 8192;
  options.progressive = true;
  options.refinementLevels = refinementLevels;
  options.scanLimit = scanLimit;
  return WriteBenchFile(dir.path() + u'/' + name, MakeSampleJpeg(options));
}

// The first paint of the many-scan file against that of an ordinary progressive one.
void CompareManyScans(const QTemporaryDir& dir) {
  const QString many = MakeScansPicture(dir, 5, 999, QStringLiteral("999scans.jpg"));
  const QString ordinary = MakeScansPicture(dir, 0, 0, QStringLiteral("progressive.jpg"));
  std::vector<double> manyTimes;
  std::vector<double> ordinaryTimes;
  for (int round = 0; round < 3; ++round) {
    failure.clear();
    manyTimes.push_back(FirstPaint(many));
    ordinaryTimes.push_back(FirstPaint(ordinary));
  }
  const double manyTime = Median(manyTimes);
  const double ordinaryTime = Median(ordinaryTimes);
  std::printf("999 scans, 8192 x 8192 (%lld bytes): %8.1f ms, %s\n", static_cast<long long>(QFile(many).size()),
              manyTime * 1e3, failure.empty() ? "decoded" : ("failed: " + failure).c_str());
  std::printf("ordinary progressive, 8192 x 8192 (%lld bytes): %8.1f ms\n",
              static_cast<long long>(QFile(ordinary).size()), ordinaryTime * 1e3);
  std::printf("many scans against ordinary: %8.2f (goal <= 2)\n", manyTime / ordinaryTime);
}

QString MakePicture(const QTemporaryDir& dir) {
  SampleJpegOptions options;
  options.width = 6000;
  options.height = 4000;
  const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
  return WriteBenchFile(dir.path() + QStringLiteral("/24mp.jpg"), bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InitializeJpegKind();
  QTemporaryDir dir;
  const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : MakePicture(dir);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const QByteArray bytes = file.readAll();

  std::vector<double> paintTimes;
  std::vector<double> bareTimes;
  std::vector<double> warmTimes;
  BareBuffer warm(BarePictureBytes(bytes));
  warm.Prefault();
  for (int round = 0; round < kRounds; ++round) {
    paintTimes.push_back(FirstPaint(path));
    bareTimes.push_back(SecondsOf([&] { DecodeBare(bytes); }));
    warmTimes.push_back(SecondsOf([&] { DecodeBare(bytes, &warm); }));
  }
  const double paintTime = Median(paintTimes);
  const double bareTime = Median(bareTimes);
  const double warmTime = Median(warmTimes);
  std::printf("picture: %s (%lld bytes)\n", path.toLocal8Bit().constData(), static_cast<long long>(bytes.size()));
  std::printf("first paint on the canvas: %8.1f ms (median of %d)\n", paintTime * 1e3, kRounds);
  std::printf("bare libjpeg decode:       %8.1f ms\n", bareTime * 1e3);
  std::printf("ratio:                     %8.2f (goal <= 1.2)\n", paintTime / bareTime);
  std::printf("bare decode, buffer already in memory: %8.1f ms, ratio %.2f\n", warmTime * 1e3, paintTime / warmTime);
  if (argc <= 1) CompareManyScans(dir);
  FinalizeJpegKind();
  return 0;
}
