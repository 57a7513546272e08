#include "picture/dib_format.h"
#include "platform/errors.h"
#include "tests/picture/dib_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testdib;

namespace {


using Picture = std::vector<std::vector<QRgb>>;  // rows from the top

QImage ReadFile(const QByteArray& file) {
  return ReadBitmapFile(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
}

Picture Pixels(const QImage& image) {
  Picture rows;
  for (int y = 0; y < image.height(); ++y) {
    rows.emplace_back();
    for (int x = 0; x < image.width(); ++x) rows.back().push_back(image.pixel(x, y) | 0xFF000000u);
  }
  return rows;
}

std::string Describe(const Picture& picture) {
  std::string text;
  for (const auto& row : picture) {
    for (const QRgb colour : row) text += QString::asprintf("%06x ", colour & 0xFFFFFF).toStdString();
    text += "/ ";
  }
  return text;
}

QList<QRgb> Ramp256() {
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i) table.append(qRgb(i, 255 - i, i / 2));
  return table;
}

// Every accepted depth and header, each as a 3 x 2 picture (odd width, so rows carry
// padding) with known colours.
struct DepthCase {
  std::string name;
  DibSpec layout;
  Picture expected;
  QImage::Format format;
};

DibSpec Layout(uint16_t bitCount, QByteArray bottom, QByteArray top, uint32_t headerSize = 40) {
  DibSpec layout;
  layout.headerSize = headerSize;
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = bitCount;
  layout.bits = bottom + top;
  return layout;
}

std::vector<DepthCase> DepthCases() {
  std::vector<DepthCase> cases;
  const QRgb mid16 = qRgb(132, 132, 132);  // 16 of 31 scaled to 0..255
  {
    DibSpec layout = Layout(1, PackRow(1, {1, 1, 0}), PackRow(1, {0, 1, 0}));
    layout.palette = {kRed, kBlue};
    cases.push_back({"bpp1", layout, {{kRed, kBlue, kRed}, {kBlue, kBlue, kRed}}, QImage::Format_Indexed8});
  }
  {
    DibSpec layout = Layout(4, PackRow(4, {3, 4, 5}), PackRow(4, {0, 1, 2}));
    layout.palette = {kRed, kGreen, kBlue, kWhite, kBlack, qRgb(1, 2, 3)};
    layout.colorsUsed = 6;
    cases.push_back(
        {"bpp4", layout, {{kRed, kGreen, kBlue}, {kWhite, kBlack, qRgb(1, 2, 3)}}, QImage::Format_Indexed8});
  }
  const QList<QRgb> ramp = Ramp256();
  const Picture rampPicture{{ramp[1], ramp[128], ramp[255]}, {ramp[0], ramp[7], ramp[200]}};
  {
    DibSpec layout = Layout(8, PackRow(8, {0, 7, 200}), PackRow(8, {1, 128, 255}));
    layout.palette = ramp;
    cases.push_back({"bpp8", layout, rampPicture, QImage::Format_Indexed8});
  }
  {
    DibSpec layout = Layout(8, PackRow(8, {1, 128, 255}), PackRow(8, {0, 7, 200}));
    layout.height = -2;  // first stored row is the top one
    layout.palette = ramp;
    cases.push_back({"bpp8_top_down", layout, rampPicture, QImage::Format_Indexed8});
  }
  {
    DibSpec layout = Layout(8, PackRow(8, {0, 7, 200}), PackRow(8, {1, 128, 255}), 12);
    layout.palette = ramp;
    cases.push_back({"bpp8_core_header", layout, rampPicture, QImage::Format_Indexed8});
  }
  const Picture colours{{kRed, kGreen, kBlue}, {kWhite, kBlack, mid16}};
  cases.push_back({"bpp16_555", Layout(16, PackRow(16, {0x7FFF, 0, 0x4210}), PackRow(16, {0x7C00, 0x03E0, 0x001F})),
                   colours, QImage::Format_BGR888});
  {
    DibSpec layout = Layout(16, PackRow(16, {0xFFFF, 0, 0x8410}), PackRow(16, {0xF800, 0x07E0, 0x001F}));
    layout.compression = kBiBitfields;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    cases.push_back(
        {"bpp16_565_masks", layout, {{kRed, kGreen, kBlue}, {kWhite, kBlack, qRgb(132, 130, 132)}}, QImage::Format_BGR888});
  }
  const Picture exact{{kRed, kGreen, kBlue}, {kWhite, kBlack, qRgb(10, 20, 30)}};
  const QByteArray top24 = PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF});
  const QByteArray bottom24 = PackRow(24, {0xFFFFFF, 0, 0x0A141E});
  cases.push_back({"bpp24", Layout(24, bottom24, top24), exact, QImage::Format_BGR888});
  cases.push_back({"bpp24_core_header", Layout(24, bottom24, top24, 12), exact, QImage::Format_BGR888});
  cases.push_back({"bpp24_v4_header", Layout(24, bottom24, top24, 108), exact, QImage::Format_BGR888});
  {
    DibSpec layout = Layout(24, top24, bottom24);
    layout.height = -2;
    cases.push_back({"bpp24_top_down", layout, exact, QImage::Format_BGR888});
  }
  // The fourth byte of an uncompressed 32-bit pixel is not colour.
  cases.push_back({"bpp32", Layout(32, PackRow(32, {0x55FFFFFF, 0x55000000, 0x550A141E}),
                                 PackRow(32, {0x55FF0000, 0x5500FF00, 0x550000FF})),
                   exact, QImage::Format_BGR888});
  {
    DibSpec layout = Layout(32, PackRow(32, {0xFFFFFF, 0, 0x1E140A}), PackRow(32, {0x0000FF, 0x00FF00, 0xFF0000}), 124);
    layout.compression = kBiBitfields;
    layout.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
    cases.push_back({"bpp32_v5_masks", layout, exact, QImage::Format_BGR888});
  }
  return cases;
}

class DibDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DibDepth, DecodesKnownColoursTopDown) {
  const QImage image = ReadFile(MakeBitmapFile(GetParam().layout));
  ASSERT_EQ(image.format(), GetParam().format);
  EXPECT_EQ(Describe(Pixels(image)), Describe(GetParam().expected));
}

TEST_P(DibDepth, PackedBitmapDecodesTheSame) {
  const QByteArray dib = MakeDib(GetParam().layout);
  const QImage image = ReadDib(reinterpret_cast<const uint8_t*>(dib.constData()), static_cast<size_t>(dib.size()));
  EXPECT_EQ(Describe(Pixels(image)), Describe(GetParam().expected));
}

// A file cut anywhere is refused, never read past its end.
TEST_P(DibDepth, EveryTruncationIsInvalid) {
  const QByteArray file = MakeBitmapFile(GetParam().layout);
  for (int length = 0; length < file.size(); ++length) {
    EXPECT_THROW(ReadFile(file.left(length)), EInvalidGraphic) << "cut at " << length;
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, DibDepth, ::testing::ValuesIn(DepthCases()),
                         [](const auto& test) { return test.param.name; });

TEST(DibFormat, ShortColourTableKeepsItsSizeAndShowsBlackBeyondIt) {
  DibSpec layout = Layout(8, PackRow(8, {0, 1, 5}), PackRow(8, {1, 0, 1}));
  layout.colorsUsed = 2;
  layout.palette = {kRed, kGreen};
  const QImage image = ReadFile(MakeBitmapFile(layout));
  EXPECT_EQ(image.colorCount(), 6);
  EXPECT_EQ(image.pixel(2, 1), kBlack);
  EXPECT_EQ(image.pixel(0, 0), kGreen);

  layout.bits = PackRow(8, {0, 1, 1}) + PackRow(8, {1, 0, 1});
  EXPECT_EQ(ReadFile(MakeBitmapFile(layout)).colorCount(), 2);
}

TEST(DibFormat, ColoursUsedBeyondTheDepthAreCapped) {
  DibSpec layout = Layout(1, PackRow(1, {0, 1, 0}), PackRow(1, {1, 1, 1}));
  layout.colorsUsed = 1000;
  layout.palette = {kRed, kBlue};
  EXPECT_EQ(ReadFile(MakeBitmapFile(layout)).colorCount(), 2);
}

TEST(DibFormat, PixelOffsetOfTheFileHeaderIsHonoured) {
  DibSpec layout = Layout(24, PackRow(24, {0xFFFFFF, 0, 0x0A141E}), PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF}));
  QByteArray file = MakeBitmapFile(layout);
  file.insert(14 + 40, QByteArray(6, '\x77'));  // a gap before the pixels
  SetU32(file, 10, 14 + 40 + 6);
  EXPECT_EQ(ReadFile(file).pixel(0, 0), kRed);
}

// Damaged headers, each made from a good 8-bit file.
struct Damage {
  std::string name;
  std::function<void(QByteArray&)> apply;
};

class DibDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(DibDamage, IsAnInvalidBitmap) {
  DibSpec layout = Layout(8, PackRow(8, {0, 1, 2}), PackRow(8, {2, 1, 0}));
  layout.colorsUsed = 3;
  layout.palette = {kRed, kGreen, kBlue};
  QByteArray file = MakeBitmapFile(layout);
  GetParam().apply(file);
  try {
    ReadFile(file);
    FAIL() << "accepted";
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Bitmap ist ungültig"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DibDamage,
    ::testing::Values(Damage{"not_bm", [](QByteArray& f) { f[1] = 'A'; }},
                      Damage{"header_size_20", [](QByteArray& f) { SetU32(f, 14, 20); }},
                      Damage{"header_size_beyond_file", [](QByteArray& f) { SetU32(f, 14, 124); f.truncate(100); }},
                      Damage{"width_zero", [](QByteArray& f) { SetU32(f, 18, 0); }},
                      Damage{"width_negative", [](QByteArray& f) { SetU32(f, 18, 0xFFFFFFFD); }},
                      Damage{"height_zero", [](QByteArray& f) { SetU32(f, 22, 0); }},
                      Damage{"depth_3", [](QByteArray& f) { f[28] = 3; }},
                      Damage{"depth_0", [](QByteArray& f) { f[28] = 0; }},
                      Damage{"rle4_on_8_bits", [](QByteArray& f) { SetU32(f, 30, kBiRle4); }},
                      Damage{"masks_on_8_bits", [](QByteArray& f) { SetU32(f, 30, kBiBitfields); }},
                      Damage{"jpeg_compression", [](QByteArray& f) { SetU32(f, 30, 4); }},
                      Damage{"rle_top_down", [](QByteArray& f) { SetU32(f, 30, kBiRle8); SetU32(f, 22, 0xFFFFFFFE); }},
                      Damage{"offset_into_header", [](QByteArray& f) { SetU32(f, 10, 20); }},
                      Damage{"offset_into_palette", [](QByteArray& f) { SetU32(f, 10, 14 + 40 + 4); }},
                      Damage{"offset_beyond_file", [](QByteArray& f) { SetU32(f, 10, 0x7FFFFFFF); }},
                      Damage{"offset_wraps", [](QByteArray& f) { SetU32(f, 10, 0xFFFFFFFF); }},
                      Damage{"pixels_missing", [](QByteArray& f) { f.chop(1); }}),
    [](const auto& test) { return test.param.name; });

TEST(DibFormat, ChannelMasksMustBeSeparateRunsOfBits) {
  for (const std::vector<uint32_t>& masks : std::vector<std::vector<uint32_t>>{
           {0xF800, 0x07E0, 0x0015}, {0xF800, 0x0FE0, 0x001F}, {0xF800, 0x07E0, 0}, {0x1F800, 0x07E0, 0x001F}}) {
    DibSpec layout = Layout(16, PackRow(16, {0, 0, 0}), PackRow(16, {0, 0, 0}));
    layout.compression = kBiBitfields;
    layout.masks = masks;
    EXPECT_THROW(ReadFile(MakeBitmapFile(layout)), EInvalidGraphic) << std::hex << masks[0] << " " << masks[1] << " "
                                                                  << masks[2];
  }
}

TEST(DibFormat, SizesBeyondTheLimitsAreOutOfMemory) {
  DibSpec layout = Layout(24, {}, {});
  for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{
           {32768, 1}, {1, 32768}, {1, -32768}, {1, INT32_MIN}, {INT32_MAX, 1}, {32767, 32767}}) {
    layout.width = width;
    layout.height = height;
    EXPECT_THROW(ReadFile(MakeBitmapFile(layout)), EOutOfMemory) << width << " x " << height;
  }
}

TEST(DibFormat, LargestAllowedHeaderWithoutPixelsIsInvalidNotAllocated) {
  DibSpec layout = Layout(8, {}, {});
  layout.width = 32767;
  layout.height = 32767;
  layout.palette = {kRed};
  layout.colorsUsed = 1;
  EXPECT_THROW(ReadFile(MakeBitmapFile(layout)), EInvalidGraphic);
}

// Flipping bytes anywhere gives a picture or an invalid-bitmap error, nothing else.
TEST(DibFormat, FlippedBytesNeverEscapeAsOtherErrors) {
  DibSpec layout = Layout(4, PackRow(4, {3, 4, 5}), PackRow(4, {0, 1, 2}));
  layout.palette = {kRed, kGreen, kBlue, kWhite, kBlack, kRed};
  layout.colorsUsed = 6;
  const QByteArray good = MakeBitmapFile(layout);
  for (int at = 0; at < good.size(); ++at) {
    for (const int flip : {0x01, 0x80, 0xFF}) {
      QByteArray file = good;
      file[at] = static_cast<char>(file[at] ^ flip);
      try {
        ReadFile(file);
      } catch (const EInvalidGraphic&) {
      } catch (const EOutOfMemory&) {
      }
    }
  }
}

// Pixel indices of an indexed picture, rows from the top.
std::vector<std::vector<int>> Indices(const QImage& image) {
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < image.height(); ++y) {
    rows.emplace_back();
    for (int x = 0; x < image.width(); ++x) rows.back().push_back(image.pixelIndex(x, y));
  }
  return rows;
}

DibSpec RleSpec(uint32_t compression, int width, int height, QByteArray data) {
  DibSpec layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = compression == kBiRle8 ? 8 : 4;
  layout.compression = compression;
  layout.colorsUsed = 8;
  layout.palette = {qRgb(9, 9, 9), kRed, kGreen, kBlue, kWhite, kBlack, qRgb(1, 1, 1), qRgb(2, 2, 2)};
  layout.bits = data;
  return layout;
}

// Runs, a padded literal, an overrunning run, a delta over a whole row and the end of
// the bitmap; the first stored row is the bottom one.
DibSpec Rle8Sample() {
  return RleSpec(kBiRle8, 6, 4,
                 Bytes({3, 1, 0, 3, 2, 3, 2, 0, 0, 0,  // row 0: 1 1 1, literal 2 3 2 (+ pad), end of line
                        8, 3, 0, 0,                    // row 1: eight 3s cut at the edge
                        0, 2, 2, 1,                    // delta right 2, up 1: row 2 left blank
                        2, 1, 0, 1}));                 // row 3 from x 2: 1 1, end of bitmap
}

TEST(DibRle, Rle8RunsLiteralsDeltaAndEscapes) {
  const QImage image = ReadFile(MakeBitmapFile(Rle8Sample()));
  ASSERT_EQ(image.format(), QImage::Format_Indexed8);
  const std::vector<std::vector<int>> expected{
      {0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}, {3, 3, 3, 3, 3, 3}, {1, 1, 1, 2, 3, 2}};
  EXPECT_EQ(Indices(image), expected);
  EXPECT_EQ(image.pixel(3, 3), kGreen);
}

TEST(DibRle, Rle4AlternatesNibblesInRunsAndLiterals) {
  const DibSpec layout = RleSpec(kBiRle4, 5, 3,
                               Bytes({5, 0x12, 0, 0,                // row 0: 1 2 1 2 1
                                      0, 5, 0x34, 0x56, 0x70, 0, 0, 0,  // row 1: literal of five (+ pad)
                                      0, 3, 0x71, 0x20, 2, 0x55,    // row 2: literal 7 1 2, run 5 5
                                      0, 1}));
  const std::vector<std::vector<int>> expected{{7, 1, 2, 5, 5}, {3, 4, 5, 6, 7}, {1, 2, 1, 2, 1}};
  EXPECT_EQ(Indices(ReadFile(MakeBitmapFile(layout))), expected);
}

TEST(DibRle, OverrunningDeltaAndDataBeyondTheTopAreClipped) {
  const DibSpec layout = RleSpec(kBiRle8, 4, 2,
                               Bytes({0, 2, 200, 0, 5, 1,  // delta far right: the run falls off the row
                                      0, 0, 2, 2,          // row 1: 2 2
                                      0, 0,                // end of the last row ends the bitmap
                                      255, 4, 0, 2, 9, 9}));  // beyond the top: ignored
  const std::vector<std::vector<int>> expected{{2, 2, 0, 0}, {0, 0, 0, 0}};
  EXPECT_EQ(Indices(ReadFile(MakeBitmapFile(layout))), expected);
}

TEST(DibRle, LiteralRunOverTheEdgeIsCut) {
  const DibSpec layout = RleSpec(kBiRle8, 2, 1, Bytes({0, 3, 4, 5, 6, 0, 0, 1}));
  EXPECT_EQ(Indices(ReadFile(MakeBitmapFile(layout))), (std::vector<std::vector<int>>{{4, 5}}));
}

TEST(DibRle, EveryTruncationIsInvalid) {
  const QByteArray file = MakeBitmapFile(Rle8Sample());
  for (int length = 0; length < file.size(); ++length) {
    EXPECT_THROW(ReadFile(file.left(length)), EInvalidGraphic) << "cut at " << length;
  }
}

TEST(DibRle, ImageSizeOfTheHeaderBoundsTheData) {
  DibSpec layout = Rle8Sample();
  layout.imageSize = static_cast<uint32_t>(layout.bits.size() - 2);  // leaves out the end of bitmap
  EXPECT_THROW(ReadFile(MakeBitmapFile(layout)), EInvalidGraphic);
  layout.imageSize = static_cast<uint32_t>(layout.bits.size() + 100);  // beyond the file: the file's end counts
  EXPECT_NO_THROW(ReadFile(MakeBitmapFile(layout)));
}

TEST(DibRle, IndexBeyondAShortTableShowsBlack) {
  const QImage image = ReadFile(MakeBitmapFile(RleSpec(kBiRle8, 3, 1, Bytes({2, 1, 1, 12, 0, 1}))));
  EXPECT_EQ(image.colorCount(), 13);
  EXPECT_EQ(image.pixel(1, 0), kRed);
  EXPECT_EQ(image.pixel(2, 0), kBlack);
}

// Skipped pixels cost nothing to store, so a stream is believed for any picture up to
// 4096 x 4096, and beyond that for 1024 pixels per byte of data.
TEST(DibRle, ClaimBeyondWhatTheDataCanDescribeIsInvalid) {
  const QByteArray endOfBitmap = Bytes({0, 1});
  const QImage blank = ReadFile(MakeBitmapFile(RleSpec(kBiRle8, 4096, 4096, endOfBitmap)));
  EXPECT_EQ(blank.size(), QSize(4096, 4096));
  EXPECT_EQ(blank.pixel(4095, 0), qRgb(9, 9, 9));
  EXPECT_THROW(ReadFile(MakeBitmapFile(RleSpec(kBiRle8, 32767, 32767, endOfBitmap))), EInvalidGraphic);
  EXPECT_THROW(ReadFile(MakeBitmapFile(RleSpec(kBiRle4, 32767, 32767, endOfBitmap))), EInvalidGraphic);

  // 8192 x 4096 needs 32768 bytes: an end of line per row alone is too little.
  QByteArray rows = Bytes({2, 3}).repeated(1) + Bytes({0, 0}).repeated(4096) + endOfBitmap;
  EXPECT_THROW(ReadFile(MakeBitmapFile(RleSpec(kBiRle8, 8192, 4096, rows))), EInvalidGraphic);
  rows += QByteArray(32768 - rows.size(), '\0');
  const QImage believed = ReadFile(MakeBitmapFile(RleSpec(kBiRle8, 8192, 4096, rows)));
  EXPECT_EQ(believed.pixel(1, 4095), kBlue);
  EXPECT_EQ(believed.pixel(2, 4095), qRgb(9, 9, 9));
}

// The shape of the tool bar wallpaper: 640 x 125, 8 bits, each row three runs.
TEST(DibRle, WallpaperSizedRle8) {
  QByteArray data;
  for (int row = 0; row < 125; ++row) {
    data += Bytes({255, row, 255, row + 1, 130, row + 2, 0, 0});
  }
  data += Bytes({0, 1});
  DibSpec layout = RleSpec(kBiRle8, 640, 125, data);
  layout.colorsUsed = 0;
  layout.palette = Ramp256();
  const QImage image = ReadFile(MakeBitmapFile(layout));
  ASSERT_EQ(image.size(), QSize(640, 125));
  EXPECT_EQ(image.pixelIndex(0, 124), 0);
  EXPECT_EQ(image.pixelIndex(300, 124), 1);
  EXPECT_EQ(image.pixelIndex(639, 0), 126);
  EXPECT_EQ(image.pixel(639, 0), Ramp256()[126]);
}

TEST(DibRle, FlippedBytesNeverEscapeAsOtherErrors) {
  const QByteArray good = MakeBitmapFile(Rle8Sample());
  for (int at = 0; at < good.size(); ++at) {
    for (const int flip : {0x01, 0x02, 0x80, 0xFF}) {
      QByteArray file = good;
      file[at] = static_cast<char>(file[at] ^ flip);
      try {
        ReadFile(file);
      } catch (const EInvalidGraphic&) {
      } catch (const EOutOfMemory&) {
      }
    }
  }
}

QImage Sample(QImage::Format format) {
  QImage image(5, 3, format);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 7));
  }
  return image;
}

TEST(DibWrite, TrueColourRoundTripsAs24BitsBottomUp) {
  const QImage source = Sample(QImage::Format_RGB32);
  const QByteArray file = WriteBitmapFile(source);
  ASSERT_EQ(file.size(), 14 + 40 + 16 * 3);
  EXPECT_EQ(file[28], 24);
  // The first stored pixel is the bottom-left one, blue first.
  EXPECT_EQ(static_cast<uint8_t>(file[54]), 7);
  EXPECT_EQ(static_cast<uint8_t>(file[55]), 160);
  const QImage back = ReadFile(file);
  EXPECT_EQ(Describe(Pixels(back)), Describe(Pixels(source)));
}

TEST(DibWrite, IndexedRoundTripsWithItsColourTable) {
  QImage source(5, 3, QImage::Format_Indexed8);
  source.setColorTable({kRed, kGreen, kBlue, kWhite, kBlack, qRgb(1, 2, 3), qRgb(4, 5, 6)});
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) source.setPixel(x, y, static_cast<uint>((x + 2 * y) % 7));
  }
  const QByteArray file = WriteBitmapFile(source);
  ASSERT_EQ(file.size(), 14 + 40 + 7 * 4 + 8 * 3);
  const QImage back = ReadFile(file);
  ASSERT_EQ(back.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.colorTable(), source.colorTable());
  EXPECT_EQ(Indices(back), Indices(source));
}

TEST(DibWrite, MonochromeIsWrittenAsIndexed) {
  QImage source(9, 2, QImage::Format_Mono);
  source.setColorTable({kBlack, kWhite});
  source.fill(0);
  source.setPixel(8, 1, 1);
  const QImage back = ReadFile(WriteBitmapFile(source));
  EXPECT_EQ(back.format(), QImage::Format_Indexed8);
  EXPECT_EQ(back.pixel(8, 1), kWhite);
  EXPECT_EQ(back.pixel(7, 1), kBlack);
}

TEST(DibWrite, NullImageWritesNothing) { EXPECT_TRUE(WriteBitmapFile(QImage()).isEmpty()); }

}  // namespace
