// Reading bitmap files of photo size and the tool bar wallpaper, writing one back, and
// playing a metafile of many shapes: the median time of several rounds of each.

#include "picture/canvas.h"
#include "picture/dib_format.h"
#include "picture/metafile.h"
#include "platform/stream.h"
#include "tests/picture/dib_builder.h"
#include "tests/picture/metafile_builder.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 7;

double MedianSeconds(const std::function<void()>& work) {
  std::vector<double> times;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

QByteArray PhotoBitmap(int bitCount) {
  QImage image(6000, 4000, bitCount == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
  if (bitCount == 8) {
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table.append(qRgb(i, 255 - i, i / 2));
    image.setColorTable(table);
  }
  for (int y = 0; y < image.height(); ++y) {
    uchar* line = image.scanLine(y);
    for (qsizetype x = 0; x < image.bytesPerLine(); ++x) line[x] = static_cast<uchar>(x * 7 + y);
  }
  return WriteBitmapFile(image);
}

QByteArray Wallpaper() {
  testdib::DibSpec layout;
  layout.width = 640;
  layout.height = 125;
  layout.bitCount = 8;
  layout.compression = kBiRle8;
  for (int i = 0; i < 256; ++i) layout.palette.append(qRgb(i, i, 255 - i));
  for (int row = 0; row < 125; ++row) {
    for (int run = 0; run < 16; ++run) layout.bits += testdib::Bytes({40, (row + run) & 0xFF});
    layout.bits += testdib::Bytes({0, 0});
  }
  layout.bits += testdib::Bytes({0, 1});
  return testdib::MakeBitmapFile(layout);
}

QByteArray ManyShapes() {
  QByteArray records = testmeta::EmfRecord(39, {1, 0, 0x0000FF, 0}) + testmeta::EmfRecord(37, {1});
  for (int i = 0; i < 10000; ++i) {
    const uint32_t x = static_cast<uint32_t>(i % 90);
    records += testmeta::EmfRecord(i % 2 ? 43 : 42, {x, x / 2, x + 6, x / 2 + 6});
  }
  return testmeta::MakeEmf(records);
}

void Report(const char* what, double seconds, double megabytes) {
  std::printf("%-34s %8.2f ms", what, seconds * 1000);
  if (megabytes > 0) std::printf("  %7.0f MB/s of pixels", megabytes / seconds);
  std::printf("\n");
}

}  // namespace

int main() {
  for (const int bitCount : {24, 8}) {
    const QByteArray file = PhotoBitmap(bitCount);
    const auto* data = reinterpret_cast<const uint8_t*>(file.constData());
    QImage image;
    const double seconds = MedianSeconds([&] { image = ReadBitmapFile(data, static_cast<size_t>(file.size())); });
    Report(bitCount == 24 ? "read 6000x4000 24-bit" : "read 6000x4000 8-bit", seconds,
           double(image.sizeInBytes()) / 1e6);
    const double writing = MedianSeconds([&] { WriteBitmapFile(image); });
    Report(bitCount == 24 ? "write 6000x4000 24-bit" : "write 6000x4000 8-bit", writing, double(image.sizeInBytes()) / 1e6);
  }
  const QByteArray wallpaper = Wallpaper();
  Report("read RLE8 wallpaper 640x125",
         MedianSeconds([&] {
           ReadBitmapFile(reinterpret_cast<const uint8_t*>(wallpaper.constData()), static_cast<size_t>(wallpaper.size()));
         }),
         0);
  TMetafile metafile;
  TMemoryStream stream(ManyShapes());
  metafile.LoadFromStream(stream);
  QImage target(800, 800, QImage::Format_RGB32);
  Report("play EMF of 10000 shapes at 800x800", MedianSeconds([&] {
           QPainter painter(&target);
           TCanvas canvas(&painter);
           canvas.StretchDraw(QRect(0, 0, 800, 800), &metafile);
         }),
         0);
  return 0;
}
