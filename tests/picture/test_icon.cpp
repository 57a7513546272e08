#include "picture/canvas.h"
#include "picture/icon.h"
#include "platform/errors.h"
#include "platform/stream.h"
#include "tests/picture/dib_builder.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testdib;

namespace {

const QRgb kDark = qRgb(10, 20, 30);
const QRgb kClear = 0;

// 3 x 2 icon images: top row red, green, blue; bottom row white, black, dark. The mask
// makes the top-left and the bottom-middle pixel transparent.
const QByteArray kMask = PackRow(1, {0, 1, 0}) + PackRow(1, {1, 0, 0});
const std::vector<std::vector<QRgb>> kMasked{{kClear, kGreen, kBlue}, {kWhite, kClear, kDark}};

DibSpec Colour(uint16_t bitCount, QByteArray bottom, QByteArray top) {
  DibSpec layout;
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = bitCount;
  layout.bits = bottom + top;
  return layout;
}

QByteArray OneImageIcon(const QByteArray& image, int bitCount = 8) {
  return MakeIconFile({{3, 2, bitCount, image}});
}

QImage Read(const QByteArray& file) {
  return ReadIconFile(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
}

std::vector<std::vector<QRgb>> Pixels(const QImage& image) {
  std::vector<std::vector<QRgb>> rows;
  for (int y = 0; y < image.height(); ++y) {
    rows.emplace_back();
    for (int x = 0; x < image.width(); ++x) rows.back().push_back(image.pixel(x, y));
  }
  return rows;
}

struct DepthCase {
  std::string name;
  QByteArray image;
  std::vector<std::vector<QRgb>> expected;
};

std::vector<DepthCase> DepthCases() {
  const QList<QRgb> six{kRed, kGreen, kBlue, kWhite, kBlack, kDark};
  DibSpec bpp1 = Colour(1, PackRow(1, {1, 1, 0}), PackRow(1, {0, 1, 0}));
  bpp1.palette = {kRed, kBlue};
  DibSpec bpp4 = Colour(4, PackRow(4, {3, 4, 5}), PackRow(4, {0, 1, 2}));
  bpp4.palette = six;
  bpp4.colorsUsed = 6;
  DibSpec bpp8 = Colour(8, PackRow(8, {3, 4, 5}), PackRow(8, {0, 1, 2}));
  bpp8.palette = six;
  bpp8.colorsUsed = 6;
  const QByteArray top24 = PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF});
  const QByteArray bottom24 = PackRow(24, {0xFFFFFF, 0, 0x0A141E});
  // 32-bit pixels whose fourth bytes are all zero carry no alpha: the mask decides.
  const QByteArray top32 = PackRow(32, {0xFF0000, 0x00FF00, 0x0000FF});
  const QByteArray bottom32 = PackRow(32, {0xFFFFFF, 0, 0x0A141E});
  // With an alpha channel the mask is ignored: the top-left pixel stays opaque.
  const QByteArray topAlpha = PackRow(32, {0xFFFF0000, 0x8000FF00, 0x000000FF});
  const QByteArray bottomAlpha = PackRow(32, {0xFFFFFFFF, 0xFF000000, 0xFF0A141E});
  return {
      {"bpp1", MakeIconDib(bpp1, kMask), {{kClear, kBlue, kRed}, {kBlue, kClear, kRed}}},
      {"bpp4", MakeIconDib(bpp4, kMask), kMasked},
      {"bpp8", MakeIconDib(bpp8, kMask), kMasked},
      {"bpp24", MakeIconDib(Colour(24, bottom24, top24), kMask), kMasked},
      {"bpp32_without_alpha", MakeIconDib(Colour(32, bottom32, top32), kMask), kMasked},
      {"bpp32_alpha", MakeIconDib(Colour(32, bottomAlpha, topAlpha), kMask),
       {{kRed, qRgba(0, 255, 0, 128), qRgba(0, 0, 255, 0)}, {kWhite, kBlack, kDark}}},
  };
}

class IconDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(IconDepth, ColoursAndTransparency) {
  const QImage image = Read(OneImageIcon(GetParam().image));
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(Pixels(image), GetParam().expected);
}

TEST_P(IconDepth, EveryTruncationIsInvalid) {
  const QByteArray file = OneImageIcon(GetParam().image);
  for (int length = 0; length < file.size(); ++length) {
    EXPECT_THROW(Read(file.left(length)), EInvalidGraphic) << "cut at " << length;
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, IconDepth, ::testing::ValuesIn(DepthCases()),
                         [](const auto& test) { return test.param.name; });

QByteArray PngImage() {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(kClear);
  image.setPixel(1, 0, kGreen);
  image.setPixel(0, 1, qRgba(255, 0, 0, 255));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

TEST(IconFile, PngImageKeepsItsAlpha) {
  const QImage image = Read(OneImageIcon(PngImage(), 32));
  const std::vector<std::vector<QRgb>> expected{{kClear, kGreen, kClear}, {kRed, kClear, kClear}};
  EXPECT_EQ(Pixels(image), expected);
}

TEST(IconFile, DamagedPngIsInvalid) {
  QByteArray png = PngImage();
  png.truncate(png.size() / 2);
  EXPECT_THROW(Read(OneImageIcon(png, 32)), EInvalidGraphic);
}

IconDirEntry Entry(int width, int height, int bitCount) { return {width, height, bitCount, 1, 0}; }

struct ChoiceCase {
  std::string name;
  std::vector<IconDirEntry> entries;
  size_t chosen;
};

class IconChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(IconChoice, PicksTheEntryForTheDisplaySize) {
  EXPECT_EQ(ChooseIconEntry(GetParam().entries), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, IconChoice,
    ::testing::Values(ChoiceCase{"exact_size_most_colours",
                                 {Entry(16, 16, 8), Entry(32, 32, 4), Entry(32, 32, 8), Entry(48, 48, 32)}, 2},
                      ChoiceCase{"nearer_size_beats_colours", {Entry(16, 16, 32), Entry(256, 256, 32), Entry(40, 40, 1)}, 2},
                      ChoiceCase{"equally_near_takes_the_larger", {Entry(24, 24, 8), Entry(40, 40, 8)}, 1},
                      ChoiceCase{"equal_entries_take_the_first", {Entry(32, 32, 8), Entry(32, 32, 8)}, 0},
                      ChoiceCase{"only_one", {Entry(256, 256, 32)}, 0}),
    [](const auto& test) { return test.param.name; });

TEST(IconFile, ChosenImageIsDecoded) {
  DibSpec small = Colour(24, PackRow(24, {0, 0, 0}), PackRow(24, {0, 0, 0}));
  DibSpec exact = Colour(24, PackRow(24, {0xFFFFFF, 0, 0x0A141E}), PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF}));
  const QByteArray file = MakeIconFile(
      {{16, 16, 24, MakeIconDib(small, kMask)}, {32, 32, 24, MakeIconDib(exact, kMask)}, {0, 0, 24, PngImage()}});
  EXPECT_EQ(Pixels(Read(file)), kMasked);
}

struct Damage {
  std::string name;
  std::function<void(QByteArray&)> apply;
};

class IconDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(IconDamage, IsAnInvalidIcon) {
  DibSpec colour = Colour(24, PackRow(24, {0, 0, 0}), PackRow(24, {0, 0, 0}));
  QByteArray file = OneImageIcon(MakeIconDib(colour, kMask));
  GetParam().apply(file);
  try {
    Read(file);
    FAIL() << "accepted";
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Ungültiges Symbol"));
  }
}

constexpr int kImageAt = 6 + 16;

INSTANTIATE_TEST_SUITE_P(
    Files, IconDamage,
    ::testing::Values(Damage{"reserved_not_zero", [](QByteArray& f) { f[0] = 1; }},
                      Damage{"cursor_type", [](QByteArray& f) { f[2] = 2; }},
                      Damage{"no_entries", [](QByteArray& f) { f[4] = 0; }},
                      Damage{"more_entries_than_the_file_holds", [](QByteArray& f) { f[4] = 2; }},
                      Damage{"image_size_zero", [](QByteArray& f) { SetU32(f, 6 + 8, 0); }},
                      Damage{"image_beyond_the_file", [](QByteArray& f) { SetU32(f, 6 + 12, 0xFFFFFFF0); }},
                      Damage{"image_size_wraps", [](QByteArray& f) { SetU32(f, 6 + 8, 0xFFFFFFFF); }},
                      Damage{"bitmap_header_size", [](QByteArray& f) { SetU32(f, kImageAt, 7); }},
                      Damage{"run_length_compressed",
                             [](QByteArray& f) {
                               f[kImageAt + 14] = 8;
                               SetU32(f, kImageAt + 16, 1);
                               SetU32(f, kImageAt + 32, 1);
                             }},
                      Damage{"top_down", [](QByteArray& f) { SetU32(f, kImageAt + 8, 0xFFFFFFFC); }},
                      Damage{"height_one_row", [](QByteArray& f) { SetU32(f, kImageAt + 8, 1); }},
                      Damage{"mask_missing",
                             [](QByteArray& f) {
                               f.chop(4);
                               SetU32(f, 6 + 8, static_cast<uint32_t>(f.size() - kImageAt));
                             }}),
    [](const auto& test) { return test.param.name; });

TEST(IconFile, FlippedBytesNeverEscapeAsOtherErrors) {
  DibSpec colour = Colour(4, PackRow(4, {3, 4, 5}), PackRow(4, {0, 1, 2}));
  colour.palette = {kRed, kGreen, kBlue, kWhite, kBlack, kDark};
  colour.colorsUsed = 6;
  const QByteArray good = MakeIconFile({{16, 16, 4, MakeIconDib(colour, kMask)}, {3, 2, 32, PngImage()}});
  for (int at = 0; at < good.size(); ++at) {
    for (const int flip : {0x01, 0x80, 0xFF}) {
      QByteArray file = good;
      file[at] = static_cast<char>(file[at] ^ flip);
      try {
        Read(file);
      } catch (const EInvalidGraphic&) {
      } catch (const EOutOfMemory&) {
      }
    }
  }
}

QByteArray SampleIconFile() {
  DibSpec colour = Colour(24, PackRow(24, {0xFFFFFF, 0, 0x0A141E}), PackRow(24, {0xFF0000, 0x00FF00, 0x0000FF}));
  return OneImageIcon(MakeIconDib(colour, kMask), 24);
}

std::unique_ptr<TIcon> LoadedIcon(const QByteArray& file) {
  auto icon = std::make_unique<TIcon>();
  TMemoryStream stream(file);
  icon->LoadFromStream(stream);
  return icon;
}

TEST(TIcon, LoadsMeasuresAndSavesTheOriginalBytes) {
  const QByteArray file = SampleIconFile();
  auto icon = LoadedIcon(file);
  EXPECT_FALSE(icon->Empty());
  EXPECT_EQ(icon->Width(), 3);
  EXPECT_EQ(icon->Height(), 2);
  EXPECT_TRUE(icon->Transparent());
  TMemoryStream saved;
  icon->SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), file);
}

TEST(TIcon, FailedLoadKeepsThePreviousIcon) {
  auto icon = LoadedIcon(SampleIconFile());
  TMemoryStream broken(QByteArray("\0\0\1\0\0\0", 6));
  EXPECT_THROW(icon->LoadFromStream(broken), EInvalidGraphic);
  EXPECT_EQ(icon->Width(), 3);
}

TEST(TIcon, DrawsStretchedThroughItsMask) {
  auto icon = LoadedIcon(SampleIconFile());
  QImage target(6, 4, QImage::Format_RGB32);
  target.fill(Qt::yellow);
  {
    QPainter painter(&target);
    TCanvas canvas(&painter);
    canvas.StretchDraw(QRect(0, 0, 6, 4), icon.get());
  }
  EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 0));
  EXPECT_EQ(target.pixel(2, 0), kGreen);
  EXPECT_EQ(target.pixel(5, 1), kBlue);
  EXPECT_EQ(target.pixel(3, 3), qRgb(255, 255, 0));
  EXPECT_EQ(target.pixel(4, 2), kDark);
}

TEST(TIcon, EmptyIconDrawsAndSavesNothing) {
  TIcon icon;
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(icon.Width(), 0);
  QImage target(4, 4, QImage::Format_RGB32);
  target.fill(Qt::yellow);
  {
    QPainter painter(&target);
    TCanvas canvas(&painter);
    canvas.StretchDraw(QRect(0, 0, 4, 4), &icon);
  }
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 0));
  TMemoryStream saved;
  icon.SaveToStream(saved);
  EXPECT_EQ(saved.Size(), 0);
}

TEST(TIcon, SizeCannotBeChanged) {
  auto icon = LoadedIcon(SampleIconFile());
  EXPECT_THROW(icon->SetWidth(10), EInvalidGraphicOperation);
  EXPECT_THROW(icon->SetHeight(10), EInvalidGraphicOperation);
  EXPECT_EQ(icon->Width(), 3);
}

TEST(TIcon, AssignSharesTheIconAndNotifies) {
  auto source = LoadedIcon(SampleIconFile());
  TIcon copy;
  int changes = 0;
  copy.SetOnChange([&](TObject*) { ++changes; });
  copy.Assign(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(copy.Width(), 3);
  EXPECT_TRUE(copy.Equals(source.get()));
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

TEST(TIcon, NewSameKindIsAnEmptyIcon) {
  TIcon icon;
  const std::unique_ptr<TGraphic> made = icon.NewSameKind();
  EXPECT_EQ(made->ClassName(), QStringLiteral("TIcon"));
  EXPECT_TRUE(made->Empty());
}

}  // namespace
