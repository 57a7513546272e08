// The first full paint of a JPEG on the preview canvas (the paint that asks for the
// decode, the decode with its progress reports, and the stretched drawing), against a
// bare libjpeg decode of the same file.
//
// Usage: bench_preview_paint [picture.jpg]   (without a picture, a 24-megapixel one is made)
// Goal: the first paint takes at most 1.2 times as long as the bare decode.

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
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kRounds = 5;

[[noreturn]] void stopOnLibraryError(j_common_ptr) { std::abort(); }

// Every row decoded, one call per row, into one buffer of the whole picture.
void bareDecode(const QByteArray& file) {
  jpeg_decompress_struct decompressor{};
  jpeg_error_mgr errors{};
  decompressor.err = jpeg_std_error(&errors);
  errors.error_exit = stopOnLibraryError;
  jpeg_create_decompress(&decompressor);
  jpeg_mem_src(&decompressor, reinterpret_cast<const unsigned char*>(file.constData()),
               static_cast<unsigned long>(file.size()));
  jpeg_read_header(&decompressor, TRUE);
  jpeg_start_decompress(&decompressor);
  const size_t rowBytes = size_t{decompressor.output_width} * static_cast<size_t>(decompressor.output_components);
  // Left uninitialised: the decoder writes every byte.
  const std::unique_ptr<unsigned char[]> picture(new unsigned char[rowBytes * decompressor.output_height]);
  while (decompressor.output_scanline < decompressor.output_height) {
    JSAMPROW row = picture.get() + rowBytes * decompressor.output_scanline;
    jpeg_read_scanlines(&decompressor, &row, 1);
  }
  jpeg_finish_decompress(&decompressor);
  jpeg_destroy_decompress(&decompressor);
}

// The canvas as the main window has it: 128 x 94, stretched, incremental display.
double firstPaint(const QString& path) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 128, 94);
  image.SetStretch(true);
  image.SetIncrementalDisplay(true);
  image.Widget()->show();
  image.Picture()->LoadFromFile(path);
  auto* jpeg = dynamic_cast<TJPEGImage*>(image.Picture()->Graphic());
  if (!jpeg) std::abort();
  return SecondsOf([&] {
    image.Repaint();  // asks for the decode
    while (!jpeg->HasBitmap()) QCoreApplication::processEvents();
    image.Repaint();  // draws the decoded picture
  });
}

QString makePicture(const QTemporaryDir& dir) {
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
  const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makePicture(dir);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const QByteArray bytes = file.readAll();

  std::vector<double> paintTimes;
  std::vector<double> bareTimes;
  for (int round = 0; round < kRounds; ++round) {
    paintTimes.push_back(firstPaint(path));
    bareTimes.push_back(SecondsOf([&] { bareDecode(bytes); }));
  }
  const double paintTime = Median(paintTimes);
  const double bareTime = Median(bareTimes);
  std::printf("picture: %s (%lld bytes)\n", path.toLocal8Bit().constData(), static_cast<long long>(bytes.size()));
  std::printf("first paint on the canvas: %8.1f ms (median of %d)\n", paintTime * 1e3, kRounds);
  std::printf("bare libjpeg decode:       %8.1f ms\n", bareTime * 1e3);
  std::printf("ratio:                     %8.2f (goal <= 1.2)\n", paintTime / bareTime);
  FinalizeJpegKind();
  return 0;
}
