// Writes the seed files of the bitmap, icon and metafile fuzz targets. Not part of the
// build; compile and run it by hand from the repository root:
//   g++ -std=c++20 -fPIC -I. $(pkg-config --cflags Qt6Core Qt6Gui) fuzz/seeds/make_format_seeds.cpp \
//       $(pkg-config --libs Qt6Core Qt6Gui) -o /tmp/make_format_seeds && /tmp/make_format_seeds fuzz/corpus
#include "tests/picture/dib_builder.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace testdib;

namespace {

QString corpusDir;

void Write(const char* target, const char* name, const QByteArray& bytes) {
  QDir().mkpath(corpusDir + "/" + target);
  QFile file(corpusDir + "/" + target + "/" + name);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", name);
    std::exit(1);
  }
}

QList<QRgb> Palette(int count) {
  QList<QRgb> table;
  for (int i = 0; i < count; ++i) table.append(qRgb(i * 37 % 256, i * 91 % 256, i * 13 % 256));
  return table;
}

DibSpec Paletted(uint16_t bitCount, QByteArray bits, int colours, uint32_t headerSize = 40) {
  DibSpec spec;
  spec.headerSize = headerSize;
  spec.width = 5;
  spec.height = 3;
  spec.bitCount = bitCount;
  spec.palette = Palette(colours);
  spec.colorsUsed = headerSize == 12 ? 0 : static_cast<uint32_t>(colours);
  spec.bits = bits;
  return spec;
}

DibSpec TrueColour(uint16_t bitCount, QByteArray row, uint32_t headerSize = 40) {
  DibSpec spec;
  spec.headerSize = headerSize;
  spec.width = 5;
  spec.height = 3;
  spec.bitCount = bitCount;
  spec.bits = row + row + row;
  return spec;
}

void BitmapSeeds() {
  Write("bmp_load", "bpp1.bmp", MakeBitmapFile(Paletted(1, PackRow(1, {1, 0, 1, 1, 0}).repeated(3), 2)));
  Write("bmp_load", "bpp4_short_palette.bmp", MakeBitmapFile(Paletted(4, PackRow(4, {1, 9, 3, 15, 0}).repeated(3), 5)));
  Write("bmp_load", "bpp8.bmp", MakeBitmapFile(Paletted(8, PackRow(8, {1, 2, 3, 200, 255}).repeated(3), 256)));
  Write("bmp_load", "bpp8_core_header.bmp",
        MakeBitmapFile(Paletted(8, PackRow(8, {1, 2, 3, 200, 255}).repeated(3), 256, 12)));
  DibSpec topDown = Paletted(8, PackRow(8, {4, 3, 2, 1, 0}).repeated(3), 16);
  topDown.height = -3;
  Write("bmp_load", "bpp8_top_down.bmp", MakeBitmapFile(topDown));
  Write("bmp_load", "bpp16_555.bmp", MakeBitmapFile(TrueColour(16, PackRow(16, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0}))));
  DibSpec masks16 = TrueColour(16, PackRow(16, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234}));
  masks16.compression = 3;
  masks16.masks = {0xF800, 0x07E0, 0x001F};
  Write("bmp_load", "bpp16_565_masks.bmp", MakeBitmapFile(masks16));
  Write("bmp_load", "bpp24.bmp", MakeBitmapFile(TrueColour(24, PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0x123456}))));
  Write("bmp_load", "bpp24_core_header.bmp",
        MakeBitmapFile(TrueColour(24, PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0x123456}), 12)));
  Write("bmp_load", "bpp32.bmp", MakeBitmapFile(TrueColour(32, PackRow(32, {0xFF0000, 0x00FF00, 0x80FF, 0, 0x12345678}))));
  DibSpec v5 = TrueColour(32, PackRow(32, {0xFF, 0xFF00, 0xFF0000, 0, 0x12345678}), 124);
  v5.compression = 3;
  v5.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
  Write("bmp_load", "bpp32_v5_masks.bmp", MakeBitmapFile(v5));
  DibSpec rle8 = Paletted(8, Bytes({3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 8, 3, 0, 0, 0, 2, 1, 1, 2, 1, 0, 1}), 4);
  rle8.compression = 1;
  Write("bmp_load", "rle8_runs_literal_delta.bmp", MakeBitmapFile(rle8));
  DibSpec rle4 = Paletted(4, Bytes({5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 1, 0, 3, 0x71, 0, 1}), 8);
  rle4.compression = 2;
  Write("bmp_load", "rle4_runs_literal_delta.bmp", MakeBitmapFile(rle4));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  corpusDir = QString::fromLocal8Bit(argv[1]);
  BitmapSeeds();
  return 0;
}
