// Photos with a colour profile: charts of flat patches, made here and saved with each kind
// of profile, decode into the sRGB colours that the colour engine's own floating-point
// conversion gives for their stored values. Files without a profile, or with an sRGB
// one, decode exactly as before.

#include "icc_builder.h"
#include "picture/colour_profile.h"
#include "picture/colour_tables.h"
#include "picture/icc_profile.h"
#include "picture/jpeg_codec.h"
#include "picture/orientation.h"
#include "test_jpeg_support.h"

#include <gtest/gtest.h>

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

using namespace testicc;

namespace {

enum class Model { Rgb, Gray, Cmyk, CmykAdobe };

constexpr int kPatch = 24;  // three blocks of 8 pixels: flat inside every block
constexpr int kColumns = 8;
constexpr int kRows = 4;

int ComponentsOf(Model model) { return model == Model::Gray ? 1 : model == Model::Rgb ? 3 : 4; }

// The device values of the 32 patches: light and dark, saturated and pale.
std::vector<std::array<uint8_t, 4>> PatchValues(Model model) {
  std::vector<std::array<uint8_t, 4>> values;
  if (model == Model::Gray) {
    for (int i = 0; i < kColumns * kRows; ++i) {
      values.push_back({static_cast<uint8_t>(i * 255 / (kColumns * kRows - 1)), 0, 0, 0});
    }
    return values;
  }
  if (model == Model::Rgb) {
    return {{255, 0, 0, 0},     {0, 255, 0, 0},     {0, 0, 255, 0},     {255, 255, 0, 0},   {0, 255, 255, 0},
            {255, 0, 255, 0},   {128, 0, 0, 0},     {0, 128, 0, 0},     {0, 0, 128, 0},     {0, 0, 0, 0},
            {64, 64, 64, 0},    {128, 128, 128, 0}, {192, 192, 192, 0}, {255, 255, 255, 0}, {230, 180, 150, 0},
            {200, 140, 110, 0}, {100, 150, 220, 0}, {60, 120, 40, 0},   {30, 20, 10, 0},    {10, 30, 50, 0},
            {240, 220, 200, 0}, {180, 30, 40, 0},   {250, 200, 30, 0},  {90, 60, 160, 0},   {20, 100, 110, 0},
            {150, 200, 90, 0},  {220, 120, 20, 0},  {5, 5, 5, 0},       {250, 250, 245, 0}, {40, 80, 200, 0},
            {160, 100, 120, 0}, {120, 170, 160, 0}};
  }
  for (const uint8_t k : {0, 60, 140, 230}) {
    for (const std::array<uint8_t, 3> cmy : {std::array<uint8_t, 3>{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                                             {255, 255, 0}, {0, 200, 220}, {90, 40, 20}, {200, 200, 200}}) {
      values.push_back({cmy[0], cmy[1], cmy[2], k});
    }
  }
  return values;
}

QByteArray Chart(Model model) {
  const int width = kColumns * kPatch;
  const int height = kRows * kPatch;
  const int components = ComponentsOf(model);
  const std::vector<std::array<uint8_t, 4>> values = PatchValues(model);
  std::vector<uint8_t> samples(static_cast<size_t>(width * height * components));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto& value = values[static_cast<size_t>(y / kPatch * kColumns + x / kPatch)];
      std::copy_n(value.begin(), components, samples.begin() + (y * width + x) * components);
    }
  }
  SampleJpegOptions options;
  options.width = width;
  options.height = height;
  options.model = model == Model::Gray  ? SampleColorModel::Grayscale
                  : model == Model::Rgb ? SampleColorModel::Color
                                        : SampleColorModel::Cmyk;
  options.adobeMarker = model == Model::CmykAdobe;
  options.quality = 100;
  options.fullChroma = true;
  options.samples = samples.data();
  return testjpeg::MakeJpeg(options);
}

QRect PatchInside(int patch) {
  return QRect(patch % kColumns * kPatch + 6, patch / kColumns * kPatch + 6, kPatch - 12, kPatch - 12);
}

// The stored values of every patch as the library decodes them, averaged, in [0, 1]
// (ink amounts for CMYK, as the profile takes them).
std::vector<std::array<double, 4>> StoredPatches(const QByteArray& file, Model model) {
  JpegDecompressor decompressor(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()),
                                nullptr);
  decompressor.ReadHeader();
  const int components = ComponentsOf(model);
  decompressor.Info().out_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  decompressor.StartDecompress();
  const int width = static_cast<int>(decompressor.Info().output_width);
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> row(static_cast<size_t>(width * components));
  while (decompressor.Info().output_scanline < decompressor.Info().output_height) {
    JSAMPROW rows[1] = {row.data()};
    decompressor.ReadScanlines(rows, 1);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  decompressor.FinishDecompress();
  std::vector<std::array<double, 4>> patches;
  for (int patch = 0; patch < kColumns * kRows; ++patch) {
    const QRect r = PatchInside(patch);
    std::array<double, 4> sum{};
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        for (int c = 0; c < components; ++c) {
          const uint8_t v = pixels[static_cast<size_t>((y * width + x) * components + c)];
          sum[static_cast<size_t>(c)] += (model == Model::CmykAdobe ? 255 - v : v) / 255.0 / r.width() / r.height();
        }
      }
    }
    patches.push_back(sum);
  }
  return patches;
}

// The decoded colour of every patch, averaged (8-bit pictures are dithered), in [0, 1].
std::vector<std::array<double, 3>> DecodedPatches(TBitmap& bitmap, QSize stored, PictureOrientation orientation) {
  const QImage& image = bitmap.Image();
  std::vector<std::array<double, 3>> patches;
  for (int patch = 0; patch < kColumns * kRows; ++patch) {
    const QRect r = UprightRect(PatchInside(patch), stored, orientation);
    std::array<double, 3> sum{};
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        const QRgb c = image.pixel(x, y);
        const double n = 255.0 * r.width() * r.height();
        sum[0] += qRed(c) / n;
        sum[1] += qGreen(c) / n;
        sum[2] += qBlue(c) / n;
      }
    }
    patches.push_back(sum);
  }
  return patches;
}

cmsCIELab SrgbToLab(std::array<double, 3> srgb) {
  static cmsHPROFILE srgbProfile = cmsCreate_sRGBProfile();
  static cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
  static cmsHTRANSFORM toLab = cmsCreateTransform(srgbProfile, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  for (double& v : srgb) {
    v = std::clamp(v, 0.0, 1.0);
  }
  cmsCIELab result;
  cmsDoTransform(toLab, srgb.data(), &result, 1);
  return result;
}

// What the stored values mean in sRGB; without a profile they are sRGB already.
std::array<double, 3> EngineConversion(const QByteArray& profile, Model model, std::array<double, 4> stored) {
  if (profile.isEmpty()) {
    return model == Model::Gray ? std::array<double, 3>{stored[0], stored[0], stored[0]}
                                : std::array<double, 3>{stored[0], stored[1], stored[2]};
  }
  const cmsUInt32Number format = model == Model::Gray ? TYPE_GRAY_DBL : model == Model::Rgb ? TYPE_RGB_DBL : TYPE_CMYK_DBL;
  return EngineToSrgb(profile, format, stored);
}

struct ColourCase {
  std::string name;
  Model model;
  QByteArray segments;       // put into the chart after its start-of-image marker
  QByteArray profile;        // what the colours mean; empty: sRGB, decoded as before
  uint32_t orientation = 1;  // EXIF orientation
  bool matrix = false;       // converted through curves and a matrix, not a grid
};

void PrintTo(const ColourCase& c, std::ostream* out) { *out << c.name; }

QByteArray Pieces(const std::vector<QByteArray>& pieces) {
  QByteArray all;
  for (const QByteArray& p : pieces) {
    all += p;
  }
  return all;
}

std::vector<ColourCase> Cases() {
  std::vector<QByteArray> missing = IccPieces(AdobeRgb(), 100);
  missing.erase(missing.begin() + 1);
  QByteArray refused = AdobeRgb();
  refused.replace(36, 4, "xxxx");  // no profile signature
  std::vector<QByteArray> reversed = IccPieces(RgbTables(), 4000);
  std::reverse(reversed.begin(), reversed.end());
  return {
      {"AdobeRgb", Model::Rgb, IccSegments(AdobeRgb()), AdobeRgb(), 1, true},
      {"DisplayP3TurnedClockwise", Model::Rgb, IccSegments(DisplayP3()) + testexif::OrientationSegment(6), DisplayP3(), 6, true},
      {"ProPhoto", Model::Rgb, IccSegments(ProPhoto()), ProPhoto(), 1, true},
      {"RgbTablesInPiecesBackwards", Model::Rgb, Pieces(reversed), RgbTables(), 1, false},
      {"RedAndBlueExchanged", Model::Rgb, IccSegments(RedBlueExchanged()), RedBlueExchanged(), 1, true},
      {"Gray", Model::Gray, IccSegments(Gray()), Gray(), 1, false},
      {"CmykWithAdobeMarker", Model::CmykAdobe, IccSegments(CmykTables()), CmykTables(), 1, false},
      {"CmykWithoutAdobeMarker", Model::Cmyk, IccSegments(CmykTables()), CmykTables(), 1, false},
      {"ExifAdobeRgb", Model::Rgb, ExifColourSpace(0xFFFF, "R03"), AdobeRgb(), 1, true},
      {"ExifSrgb", Model::Rgb, ExifColourSpace(1, "R98"), {}},
      {"ExifAdobeRgbBesideADamagedProfile", Model::Rgb, ExifColourSpace(0xFFFF, "R03") + Pieces(missing), {}},
      {"ProfileMissingAPiece", Model::Rgb, Pieces(missing), {}},
      {"ProfileRefusedByTheEngine", Model::Rgb, IccSegments(refused), {}},
      {"EngineSrgb", Model::Rgb, IccSegments(EngineSrgb()), {}},
      {"TabulatedSrgbVersion2", Model::Rgb, IccSegments(TabulatedSrgbV2()), {}},
  };
}

class ColourProfiles : public ::testing::TestWithParam<ColourCase> {};

std::unique_ptr<TJPEGImage> Decoded(const QByteArray& file, bool eightBit, const TPalette& palette = nullptr) {
  std::unique_ptr<TJPEGImage> jpeg = testjpeg::LoadJpeg(file);
  if (eightBit) {
    jpeg->SetPixelFormat(TJPEGPixelFormat::jf8Bit);
  }
  if (palette) {
    jpeg->SetPalette(palette);
  }
  jpeg->Bitmap();
  return jpeg;
}

struct Differences {
  double mean = 0;
  double largest = 0;
};

// CIEDE2000 between the patches shown and the engine's conversion of the stored ones.
Differences PatchDifferences(TJPEGImage& jpeg, const std::vector<std::array<double, 4>>& stored, const QByteArray& profile,
                             Model model, PictureOrientation orientation) {
  const QSize storedSize(kColumns * kPatch, kRows * kPatch);
  const std::vector<std::array<double, 3>> shown = DecodedPatches(*jpeg.Bitmap(), storedSize, orientation);
  Differences d;
  for (size_t i = 0; i < shown.size(); ++i) {
    const cmsCIELab want = SrgbToLab(EngineConversion(profile, model, stored[i]));
    const cmsCIELab got = SrgbToLab(shown[i]);
    const double difference = cmsCIE2000DeltaE(&want, &got, 1, 1, 1);
    d.mean += difference / static_cast<double>(shown.size());
    d.largest = std::max(d.largest, difference);
  }
  return d;
}

}  // namespace

TEST_P(ColourProfiles, PatchesShowWhatTheEngineComputes) {
  const ColourCase& c = GetParam();
  const QByteArray chart = Chart(c.model);
  const QByteArray file = testexif::WithSegments(chart, c.segments);
  const auto orientation = static_cast<PictureOrientation>(c.orientation);
  const QSize storedSize(kColumns * kPatch, kRows * kPatch);
  // CMYK decodes to 24 bits whatever the format asks.
  for (const bool eightBit : {false, true}) {
    SCOPED_TRACE(eightBit ? "8 bits" : "24 bits");
    // The colours stored, as far as a palette of the file's own colours holds them.
    std::vector<std::array<double, 4>> stored = StoredPatches(chart, c.model);
    if (eightBit && c.model == Model::Rgb) {
      const std::unique_ptr<TJPEGImage> untagged = Decoded(chart, eightBit);
      const auto mapped = DecodedPatches(*untagged->Bitmap(), storedSize, PictureOrientation::Upright);
      for (size_t i = 0; i < stored.size(); ++i) {
        stored[i] = {mapped[i][0], mapped[i][1], mapped[i][2], 0};
      }
    }
    const std::unique_ptr<TJPEGImage> jpeg = Decoded(file, eightBit);
    const Differences d = PatchDifferences(*jpeg, stored, c.profile, c.model, orientation);
    EXPECT_LE(d.mean, 0.5) << "largest " << d.largest;
    EXPECT_LE(d.largest, 1.5) << "mean " << d.mean;
    if (c.profile.isEmpty()) {
      const std::unique_ptr<TJPEGImage> untagged = Decoded(chart, eightBit);
      EXPECT_EQ(jpeg->Bitmap()->Image(), untagged->Bitmap()->Image()) << "decoded exactly as without the segments";
    }
  }
  if (!c.profile.isEmpty()) {
    const ColourInput input = c.model == Model::Gray  ? ColourInput::Gray
                              : c.model == Model::Rgb ? ColourInput::Rgb
                                                      : ColourInput::Cmyk;
    const auto conversion = ColourConversion::For(c.profile, input);
    ASSERT_TRUE(conversion);
    EXPECT_EQ(conversion->UsesMatrix(), c.matrix);
  }
}

// A palette set on the picture: the library picks its entries by the colours they show,
// so dithering into it errs no more than for an untagged picture. (Colours far beyond
// sRGB, as ProPhoto holds them, are matched in the file's own space instead and may land
// on another entry than sRGB's clipping would give.)
TEST(ColourProfiles, AGivenPaletteShowsTheColoursOfTheProfile) {
  const QByteArray chart = Chart(Model::Rgb);
  const std::vector<std::array<double, 4>> stored = StoredPatches(chart, Model::Rgb);
  const TPalette palette = CreateHalftonePalette();
  const auto untagged = Decoded(chart, true, palette);
  const Differences asStored = PatchDifferences(*untagged, stored, {}, Model::Rgb, PictureOrientation::Upright);
  const auto tagged = Decoded(testexif::WithSegments(chart, IccSegments(DisplayP3())), true, palette);
  const Differences converted = PatchDifferences(*tagged, stored, DisplayP3(), Model::Rgb, PictureOrientation::Upright);
  EXPECT_LE(converted.mean, asStored.mean + 0.5) << "untagged " << asStored.mean;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ColourProfiles, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ColourCase>& param) { return param.param.name; });

// Putting the pieces of a profile together: anything but one whole set gives nothing.
TEST(IccProfileReader, OnlyAWholeSetOfPiecesMakesAProfile) {
  const QByteArray profile = AdobeRgb();
  const std::vector<QByteArray> pieces = IccPieces(profile, 200);
  ASSERT_GE(pieces.size(), 3u);
  QByteArray wrongCount = pieces[0];
  wrongCount[4 + 13] = static_cast<char>(pieces.size() + 1);
  QByteArray sequenceZero = pieces[0];
  sequenceZero[4 + 12] = 0;
  QByteArray countZero = pieces[0];
  countZero[4 + 13] = 0;
  const std::vector<QByteArray> rest(pieces.begin() + 1, pieces.end());
  const struct {
    const char* name;
    QByteArray segments;
    bool whole;
  } cases[] = {
      {"in order", Pieces(pieces), true},
      {"backwards", Pieces({pieces.rbegin(), pieces.rend()}), true},
      {"between other segments", testexif::OrientationSegment(3) + pieces[1] + testexif::Segment(0xE2, "other") + pieces[0] + Pieces({pieces.begin() + 2, pieces.end()}), true},
      {"one missing", Pieces(rest), false},
      {"one twice", Pieces(pieces) + pieces[1], false},
      {"count disagrees", wrongCount + Pieces(rest), false},
      {"sequence number 0", sequenceZero + Pieces(rest), false},
      {"count 0", countZero + Pieces(rest), false},
      {"header cut short", testexif::Segment(0xE2, QByteArray("ICC_PROFILE\0\1", 13)), false},
  };
  for (const auto& c : cases) {
    const JpegIccProfile read = ReadJpegIccProfile(testexif::WithSegments(Chart(Model::Gray), c.segments));
    EXPECT_TRUE(read.segmentsSeen) << c.name;
    EXPECT_EQ(read.bytes, c.whole ? profile : QByteArray()) << c.name;
  }
  EXPECT_FALSE(ReadJpegIccProfile(Chart(Model::Gray)).segmentsSeen);
}

// The curves-and-matrix tables, the vector form (where this processor has it) and the
// portable one: for profiles that mix a little, a lot and not at all, over rows of every
// length around the vector width, the two give the same bytes within one 8-bit step,
// and touch neither the spare byte of a wide pixel nor anything past the row.
TEST(MatrixShaperTable, VectorAndPortableFormsAgree) {
  const auto curves = [](double gamma) {
    std::array<std::array<float, 256>, 3> linear{};
    for (auto& channel : linear) {
      for (size_t v = 0; v < 256; ++v) {
        channel[v] = static_cast<float>(std::pow(static_cast<double>(v) / 255.0, gamma));
      }
    }
    return linear;
  };
  const auto srgbEncoding = [](double x) { return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055; };
  const struct {
    const char* name;
    double gamma;
    std::array<double, 9> matrix;
  } profiles[] = {
      {"Adobe RGB", 2.2, {1.398, -0.398, 0, 0, 1, 0, 0, -0.043, 1.043}},
      {"ProPhoto", 1.8, {2.034, -0.727, -0.307, -0.228, 1.232, -0.004, -0.009, -0.153, 1.162}},
      {"red and blue swapped", 2.2, {0, 0, 1, 0, 1, 0, 1, 0, 0}},
  };
  constexpr int kGuard = 8;
  constexpr uint8_t kUntouched = 0xEE;
  for (const auto& profile : profiles) {
    const MatrixShaperTable tables(curves(profile.gamma), profile.matrix, srgbEncoding);
    for (const int pixelBytes : {3, 4}) {
      for (const int width : {1, 7, 8, 9, 17, 729}) {
        SCOPED_TRACE(std::string(profile.name) + ", " + std::to_string(pixelBytes) + " bytes, " + std::to_string(width));
        std::vector<uint8_t> row(static_cast<size_t>(width * pixelBytes + kGuard), kUntouched);
        for (int x = 0; x < width; ++x) {
          // A 9 x 9 x 9 cube with black, white and the primaries.
          for (int c = 0; c < 3; ++c) {
            const int level = x / (c == 0 ? 1 : c == 1 ? 9 : 81) % 9;
            row[static_cast<size_t>(x * pixelBytes + c)] = static_cast<uint8_t>(std::min(level * 32, 255));
          }
        }
        std::vector<uint8_t> vector = row;
        std::vector<uint8_t> portable = row;
        tables.ConvertBgr(vector.data(), width, pixelBytes);
        tables.ConvertBgrPortable(portable.data(), width, pixelBytes);
        int largest = 0;
        for (size_t i = 0; i < row.size(); ++i) {
          const bool pixelByte = i < static_cast<size_t>(width * pixelBytes) && i % static_cast<size_t>(pixelBytes) < 3;
          if (pixelByte) {
            largest = std::max(largest, std::abs(vector[i] - portable[i]));
          } else {
            ASSERT_EQ(vector[i], kUntouched) << "byte " << i;
            ASSERT_EQ(portable[i], kUntouched) << "byte " << i;
          }
        }
        EXPECT_LE(largest, 1);
      }
    }
  }
}
