// Writes the seed files of the bitmap, icon and metafile fuzz targets. Not part of the
// build; compile and run it by hand from the repository root:
//   g++ -std=c++20 -fPIC -I. $(pkg-config --cflags Qt6Core Qt6Gui) fuzz/seeds/make_format_seeds.cpp \
//       $(pkg-config --libs Qt6Core Qt6Gui) -o /tmp/make_format_seeds && /tmp/make_format_seeds fuzz/corpus
#include "fuzz/seeds/seed_writer.h"
#include "tests/picture/dib_builder.h"
#include "tests/picture/metafile_builder.h"

#include <QBuffer>
#include <QImage>

using namespace testdib;
using namespace testmeta;

namespace {

using seeds::Write;

QList<QRgb> Palette(int count) {
  QList<QRgb> table;
  for (int i = 0; i < count; ++i) table.append(qRgb(i * 37 % 256, i * 91 % 256, i * 13 % 256));
  return table;
}

DibSpec Paletted(uint16_t bitCount, QByteArray bits, int colours, uint32_t headerSize = 40) {
  DibSpec layout;
  layout.headerSize = headerSize;
  layout.width = 5;
  layout.height = 3;
  layout.bitCount = bitCount;
  layout.palette = Palette(colours);
  layout.colorsUsed = headerSize == 12 ? 0 : static_cast<uint32_t>(colours);
  layout.bits = bits;
  return layout;
}

DibSpec TrueColour(uint16_t bitCount, QByteArray row, uint32_t headerSize = 40) {
  DibSpec layout;
  layout.headerSize = headerSize;
  layout.width = 5;
  layout.height = 3;
  layout.bitCount = bitCount;
  layout.bits = row + row + row;
  return layout;
}

// 64 bytes claiming 32767 x 32767 pixels, with nothing but an end-of-bitmap code: a
// stream that describes next to nothing must not cost a gigabyte.
DibSpec HugeRleClaim() {
  DibSpec layout = Paletted(8, Bytes({0, 1}), 2);
  layout.width = 32767;
  layout.height = 32767;
  layout.compression = 1;
  return layout;
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
  Write("bmp_load", "rle8_huge_claim_end_at_once.bmp", MakeBitmapFile(HugeRleClaim()));
}

QByteArray IconMask(int width, int height) {
  QByteArray rows;
  for (int y = 0; y < height; ++y) {
    QByteArray row(static_cast<qsizetype>((width + 31) / 32 * 4), '\0');
    row[0] = static_cast<char>(0x80 >> (y % 8));
    rows += row;
  }
  return rows;
}

QByteArray IconImage(uint16_t bitCount, int width, int height) {
  DibSpec layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = bitCount;
  if (bitCount <= 8) layout.palette = Palette(1 << bitCount);
  const qsizetype rowBytes = (width * bitCount + 31) / 32 * 4;
  for (int y = 0; y < height; ++y) {
    for (qsizetype i = 0; i < rowBytes; ++i) layout.bits.append(static_cast<char>((y * 7 + i * 13) & 0xFF));
  }
  return MakeIconDib(layout, IconMask(width, height));
}

QByteArray PngImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(qRgba(10, 200, 30, 128));
  image.setPixel(0, 0, qRgba(255, 0, 0, 255));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

void IconSeeds() {
  Write("ico_load", "bpp1.ico", MakeIconFile({{4, 4, 1, IconImage(1, 4, 4)}}));
  Write("ico_load", "bpp4.ico", MakeIconFile({{5, 3, 4, IconImage(4, 5, 3)}}));
  Write("ico_load", "bpp8.ico", MakeIconFile({{6, 2, 8, IconImage(8, 6, 2)}}));
  Write("ico_load", "bpp24.ico", MakeIconFile({{3, 3, 24, IconImage(24, 3, 3)}}));
  Write("ico_load", "bpp32_alpha.ico", MakeIconFile({{2, 4, 32, IconImage(32, 2, 4)}}));
  Write("ico_load", "png.ico", MakeIconFile({{4, 4, 32, PngImage(4, 4)}}));
  Write("ico_load", "three_sizes.ico",
        MakeIconFile({{16, 16, 4, IconImage(4, 16, 16)}, {32, 32, 8, IconImage(8, 32, 32)}, {8, 8, 32, PngImage(8, 8)}}));
}

constexpr uint32_t kNullPen = 0x80000008;

void MetafileSeeds() {
  const QByteArray brush = EmfRecord(39, {1, 0, 0x0000FF, 0}) + EmfRecord(37, {1});
  const QByteArray pen = EmfRecord(38, {2, 1, 0, 0, 0xFF0000}) + EmfRecord(37, {2});
  Write("metafile_load", "emf_shapes.emf",
        MakeEmf(brush + pen + EmfRecord(43, {10, 10, 40, 40}) + EmfRecord(42, {20, 20, 90, 60}) +
                EmfRecord(44, {5, 50, 45, 90, 10, 10}) + EmfRecord(3, {0, 0, 0, 0, 3, 0, 0, 50, 0, 0, 50}) +
                EmfRecord(4, {0, 0, 0, 0, 2, 0, 90, 90, 90}) + EmfRecord(27, {5, 5}) + EmfRecord(54, {80, 20}) +
                EmfRecord(6, {0, 0, 0, 0, 2, 10, 80, 30, 70})));
  Write("metafile_load", "emf_16bit_points.emf",
        MakeEmf(EmfRecord(37, {kNullPen}) + brush +
                EmfRecord(86, {0, 0, 0, 0, 3, P16(0, 0), P16(40, 0), P16(0, 40)}) +
                EmfRecord(87, {0, 0, 0, 0, 2, P16(0, 50), P16(95, 50)}) +
                EmfRecord(85, {0, 0, 0, 0, 4, P16(0, 0), P16(10, 40), P16(50, 40), P16(90, 0)}) +
                EmfRecord(88, {0, 0, 0, 0, 3, P16(10, 40), P16(50, 40), P16(90, 0)}) +
                EmfRecord(89, {0, 0, 0, 0, 2, P16(3, 3), P16(9, 4)}) +
                EmfRecord(91, {0, 0, 0, 0, 2, 6, 3, 3, P16(0, 0), P16(9, 0), P16(0, 9), P16(3, 3), P16(5, 5), P16(3, 5)}) +
                EmfRecord(90, {0, 0, 0, 0, 1, 2, 2, P16(1, 1), P16(7, 7)})));
  Write("metafile_load", "emf_mapping.emf",
        MakeEmf(EmfRecord(17, {8}) + EmfRecord(9, {1000, 1000}) + EmfRecord(10, {I32(-10), 20}) +
                EmfRecord(11, {96, 96}) + EmfRecord(12, {3, 4}) + EmfRecord(33, {}) + EmfRecord(17, {2}) + brush +
                EmfRecord(43, {0, 127, 127, 0}) + EmfRecord(34, {I32(-1)}) +
                EmfRecord(35, {F32(1), F32(0.5f), F32(0), F32(1), F32(3), F32(4)}) +
                EmfRecord(36, {F32(2), F32(0), F32(0), F32(2), F32(0), F32(0), 2}) + EmfRecord(19, {2}) +
                EmfRecord(8, {0, 0, 0, 0, 2, 6, 3, 3, 0, 0, 900, 0, 0, 900, 300, 300, 500, 500, 300, 500})));
  Write("metafile_load", "emf_objects_and_path.emf",
        MakeEmf(EmfRecord(95, {3, 0, 0, 0, 0, 0x00010001, 5, 0, 0x00FF00, 0, 0}) + EmfRecord(37, {3}) +
                EmfRecord(39, {4, 2, 0x123456, 3}) + EmfRecord(37, {4}) + EmfRecord(94, {5, 0, 0, 0, 0, 0}) +
                EmfRecord(82, {6}) + EmfRecord(37, {6}) + EmfRecord(37, {0x80000004}) + EmfRecord(40, {4}) +
                EmfRecord(59, {}) + EmfRecord(27, {1, 1}) + EmfRecord(54, {50, 1}) + EmfRecord(54, {50, 50}) +
                EmfRecord(61, {}) + EmfRecord(42, {60, 60, 90, 90}) + EmfRecord(60, {}) +
                EmfRecord(63, {0, 0, 0, 0}) + EmfRecord(59, {}) + EmfRecord(68, {}) + EmfRecord(64, {0, 0, 0, 0})));
  const QByteArray wmfObjects = WmfRecord(0x02FB, {0, 0, 0, 0, 0, 0, 0, 0, 0}) + WmfRecord(0x02FC, {0, 0x00FF, 0, 0}) +
                                WmfRecord(0x02FA, {2, 3, 0, 0x00FF, 0}) + WmfRecord(0x012D, {1}) +
                                WmfRecord(0x012D, {2}) + WmfRecord(0x01F0, {0}) + WmfRecord(0x02FC, {2, 0, 0x00FF, 4}) +
                                WmfRecord(0x012D, {0});
  Write("metafile_load", "wmf_shapes.wmf",
        MakePlaceable(WmfRecord(0x020B, {0, 0}) + WmfRecord(0x020C, {1000, 1000}) + wmfObjects +
                          WmfRecord(0x041B, {500, 500, 100, 100}) + WmfRecord(0x0418, {900, 900, 600, 600}) +
                          WmfRecord(0x061C, {40, 40, 990, 400, 600, 10}) + WmfRecord(0x0214, {10, 10}) +
                          WmfRecord(0x0213, {900, 20}) + WmfRecord(0x0324, {3, 0, 0, 500, 0, 0, 500}) +
                          WmfRecord(0x0325, {3, 10, 10, 20, 900, 900, 40}) + WmfRecord(0x001E, {}) +
                          WmfRecord(0x0106, {2}) + WmfRecord(0x0538, {2, 3, 3, 0, 0, 90, 0, 0, 90, 30, 30, 50, 50, 30, 50}) +
                          WmfRecord(0x0127, {0xFFFF}),
                      0, 0, 1000, 1000, 1440));
  Write("metafile_load", "wmf_box_default_window.wmf",
        MakePlaceable(WmfRecord(0x02FC, {0, 0x00FF, 0, 0}) + WmfRecord(0x012D, {0}) +
                          WmfRecord(0x0324, {3, 100, 100, 150, 100, 100, 150}),
                      100, 100, 200, 200, 0));
}

// A table of 65535 objects, filled by brush records and then created into without end,
// interleaved with the delete-and-create-twice pattern that defeats a simple lowest-free
// hint; about 2 MB. Each create must not search the table.
QByteArray FullObjectTable() {
  const QByteArray create = WmfRecord(0x02FC, {0, 0x00FF, 0, 0});
  QByteArray records;
  records.reserve(2 * 1024 * 1024);
  for (int i = 0; i < 65535; ++i) records += create;
  const QByteArray churn = WmfRecord(0x01F0, {0}) + create + create + WmfRecord(0x012D, {1});
  while (records.size() < 2 * 1024 * 1024 - churn.size()) records += churn;
  return MakePlaceable(records, 0, 0, 1000, 1000, 1440, 65535);
}

void HostileMetafileSeeds() { Write("metafile_load", "wmf_full_object_table.wmf", FullObjectTable()); }

}  // namespace

int main(int argc, char** argv) {
  return seeds::MakeSeeds(argc, argv, [] {
    BitmapSeeds();
    IconSeeds();
    MetafileSeeds();
    HostileMetafileSeeds();
  });
}
