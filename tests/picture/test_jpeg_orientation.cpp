// JPEG pictures whose EXIF orientation says how to turn them: the decoded bitmap and the
// size known before decoding are those of the upright picture, for every kind of file
// and output the decoder makes; pictures without a usable tag decode as they always did.

#include "exif_builder.h"
#include "picture/file_formats.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "platform/errors.h"
#include "test_jpeg_support.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <string>

using namespace testjpeg;
using namespace testexif;

namespace {

const QColor kMarker(220, 30, 30);
const QColor kCorner(30, 200, 60);
const QColor kGround(40, 60, 150);

// An upright picture wider than high with a red marker in its top-left corner and a green
// one in its top-right corner, so that every turn and mirror puts them somewhere else.
QImage MarkedPicture() {
  QImage picture(48, 32, QImage::Format_RGB32);
  picture.fill(kGround);
  QPainter painter(&picture);
  painter.fillRect(0, 0, 10, 10, kMarker);
  painter.fillRect(38, 0, 10, 10, kCorner);
  return picture;
}

// The picture compressed by the program's own encoder.
QByteArray Compressed(const QImage& picture) {
  TBitmap bitmap;
  bitmap.SetImage(picture);
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(95);
  jpeg.Assign(&bitmap);
  jpeg.Compress();
  return *jpeg.Data()->Data;
}

bool Near(QRgb pixel, const QColor& colour) {
  return std::abs(qRed(pixel) - colour.red()) < 40 && std::abs(qGreen(pixel) - colour.green()) < 40 &&
         std::abs(qBlue(pixel) - colour.blue()) < 40;
}

QImage Rgb(TBitmap& bitmap) { return bitmap.Image().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class MarkedOrientation : public ::testing::TestWithParam<std::tuple<int, ByteOrder>> {};

TEST_P(MarkedOrientation, DecodesUprightWithTheMarkerTopLeft) {
  const auto [orientation, order] = GetParam();
  const QByteArray file = WithOrientation(Compressed(StoredForUpright(MarkedPicture(), orientation)),
                                          static_cast<uint32_t>(orientation), order);
  auto jpeg = LoadJpeg(file);
  EXPECT_EQ(jpeg->Width(), 48) << "before decoding";
  EXPECT_EQ(jpeg->Height(), 32) << "before decoding";
  TBitmap* bitmap = jpeg->Bitmap();
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 48);
  ASSERT_EQ(bitmap->Height(), 32);
  const QImage& image = bitmap->Image();
  EXPECT_TRUE(Near(image.pixel(4, 4), kMarker));
  EXPECT_TRUE(Near(image.pixel(43, 4), kCorner));
  EXPECT_TRUE(Near(image.pixel(4, 27), kGround));
  EXPECT_TRUE(Near(image.pixel(43, 27), kGround));
}

INSTANTIATE_TEST_SUITE_P(EveryValueBothByteOrders, MarkedOrientation,
                         ::testing::Combine(::testing::Range(1, 9),
                                            ::testing::Values(ByteOrder::Little, ByteOrder::Big)),
                         [](const auto& generated) {
                           return "Value" + std::to_string(std::get<0>(generated.param)) + "_" +
                                  (std::get<1>(generated.param) == ByteOrder::Big ? "Big" : "Little");
                         });

// --- every kind of file and output turns the same way ----------------------------------------

namespace {

// A file kind and the picture's settings. The stored size is not a multiple of the
// library's row groups, and higher than one band of turned rows.
struct DecodeKind {
  const char* name;
  SampleJpegOptions file;
  TJPEGPixelFormat pixelFormat = TJPEGPixelFormat::jf24Bit;
  TJPEGPerformance performance = TJPEGPerformance::jpBestQuality;
  TJPEGScale scale = TJPEGScale::jsFullSize;
  bool progressiveDisplay = false;
  bool grayscaleOutput = false;
};

SampleJpegOptions File(SampleColorModel model, bool progressive = false) {
  SampleJpegOptions options;
  options.width = 83;
  options.height = 71;
  options.model = model;
  options.progressive = progressive;
  options.noise = 20;
  return options;
}

// Taller than two of the bands in which turned rows gather, and not a whole number of them.
SampleJpegOptions TallFile() {
  SampleJpegOptions options = File(SampleColorModel::Color);
  options.height = 600;
  return options;
}

std::unique_ptr<TJPEGImage> Prepared(const DecodeKind& kind, const QByteArray& bytes) {
  auto jpeg = LoadJpeg(bytes);
  jpeg->SetPixelFormat(kind.pixelFormat);
  jpeg->SetPerformance(kind.performance);
  jpeg->SetScale(kind.scale);
  jpeg->SetProgressiveDisplay(kind.progressiveDisplay);
  jpeg->SetGrayscale(kind.grayscaleOutput);
  return jpeg;
}

const DecodeKind kKinds[] = {
    {"Colour", File(SampleColorModel::Color)},
    {"Grayscale", File(SampleColorModel::Grayscale)},
    {"Cmyk", File(SampleColorModel::Cmyk)},
    {"Ycck", File(SampleColorModel::Ycck)},
    {"Progressive", File(SampleColorModel::Color, true)},
    {"ProgressiveDisplay", File(SampleColorModel::Color, true), TJPEGPixelFormat::jf24Bit,
     TJPEGPerformance::jpBestQuality, TJPEGScale::jsFullSize, true},
    {"ProgressiveGrayscaleDisplay", File(SampleColorModel::Grayscale, true), TJPEGPixelFormat::jf24Bit,
     TJPEGPerformance::jpBestQuality, TJPEGScale::jsFullSize, true},
    {"EightBitBestQuality", File(SampleColorModel::Color), TJPEGPixelFormat::jf8Bit},
    {"EightBitBestSpeedHalf", File(SampleColorModel::Color), TJPEGPixelFormat::jf8Bit, TJPEGPerformance::jpBestSpeed,
     TJPEGScale::jsHalf},
    {"Quarter", File(SampleColorModel::Color), TJPEGPixelFormat::jf24Bit, TJPEGPerformance::jpBestQuality,
     TJPEGScale::jsQuarter},
    {"Eighth", File(SampleColorModel::Cmyk), TJPEGPixelFormat::jf24Bit, TJPEGPerformance::jpBestQuality,
     TJPEGScale::jsEighth},
    {"GrayscaleOutput", File(SampleColorModel::Color), TJPEGPixelFormat::jf24Bit, TJPEGPerformance::jpBestQuality,
     TJPEGScale::jsFullSize, false, true},
    {"Tall", TallFile()},
    {"TallEightBit", TallFile(), TJPEGPixelFormat::jf8Bit},
};

}  // namespace

class TurnedKind : public ::testing::TestWithParam<std::tuple<DecodeKind, int>> {};

TEST_P(TurnedKind, GivesTheStoredPixelsTurned) {
  const auto& [kind, orientation] = GetParam();
  const QByteArray plain = MakeJpeg(kind.file);
  auto stored = Prepared(kind, plain);
  auto turned = Prepared(kind, WithOrientation(plain, static_cast<uint32_t>(orientation), ByteOrder::Big));
  const QImage expected = TurnedByQt(Rgb(*stored->Bitmap()), orientation);
  EXPECT_EQ(turned->Width(), expected.width()) << "before decoding";
  EXPECT_EQ(turned->Height(), expected.height()) << "before decoding";
  TBitmap* bitmap = turned->Bitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->BitsPerPixel(), stored->Bitmap()->BitsPerPixel());
  // Turning only moves pixels: the very same values, dithering included.
  EXPECT_TRUE(Rgb(*bitmap) == expected);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, TurnedKind, ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Range(2, 9)),
                         [](const auto& generated) {
                           return std::string(std::get<0>(generated.param).name) + "_Value" +
                                  std::to_string(std::get<1>(generated.param));
                         });

// --- pictures without a usable tag ----------------------------------------------------------

TEST(JpegOrientation, WithoutAUsableTagThePictureDecodesExactlyAsStored) {
  const QByteArray plain = MakeJpeg(File(SampleColorModel::Color));
  // Cut inside the entry before the orientation's, the segment's length fitted to the cut.
  QByteArray cut = OrientationSegment(6);
  cut = cut.left(cut.size() - 30);
  cut[3] = static_cast<char>(cut.size() - 2);
  const struct {
    const char* what;
    QByteArray segments;
  } cases[] = {
      {"value 1", OrientationSegment(1)},
      {"value 0", OrientationSegment(0, ByteOrder::Big)},
      {"value 9", OrientationSegment(9)},
      {"entry cut off", cut},
      {"directory past the end", ExifSegment(Tiff(ByteOrder::Little, {{kOrientationTag, kTypeShort, 1, 6}}, 0x7FFFFFFF))},
  };
  auto reference = LoadJpeg(plain);
  const QImage expected = reference->Bitmap()->Image();
  for (const auto& c : cases) {
    auto jpeg = LoadJpeg(WithSegments(plain, c.segments));
    EXPECT_EQ(jpeg->Width(), 83) << c.what;
    EXPECT_EQ(jpeg->Height(), 71) << c.what;
    EXPECT_TRUE(jpeg->Bitmap()->Image() == expected) << c.what;
  }
}

TEST(JpegOrientation, AFileLoadedByNameKnowsItsUprightSizeBeforeDecoding) {
  InitializeJpegKind();
  const TemporaryPictureFile file(WithOrientation(MakeJpeg(120, 90), 8, ByteOrder::Big), "Hochformat.JPG");
  TPicture picture;
  picture.LoadFromFile(file.path);
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(picture.Width(), 90);
  EXPECT_EQ(picture.Height(), 120);
  EXPECT_FALSE(jpeg->HasBitmap());
  // A copy of the decoded picture is upright without decoding again.
  jpeg->Bitmap();
  TJPEGImage copy;
  copy.Assign(jpeg);
  EXPECT_TRUE(copy.HasBitmap());
  EXPECT_EQ(copy.Width(), 90);
  EXPECT_EQ(copy.Height(), 120);
}

// --- progress while a turned picture decodes ----------------------------------------------

namespace {

bool AllBlack(const QImage& image, const QRect& rect) {
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0) return false;
    }
  }
  return true;
}

// A picture large enough for many progress reports while it decodes.
QByteArray LargeTurnedFile() {
  SampleJpegOptions options;
  options.width = 640;
  options.height = 480;
  options.noise = 30;
  return WithOrientation(MakeJpeg(options), 6);
}

}  // namespace

TEST(JpegOrientation, ProgressReportsTheTurnedBandAlreadyInTheBitmap) {
  const SteppingClock clock(600);
  auto jpeg = LoadJpeg(LargeTurnedFile());
  ProgressRecorder recorder;
  std::vector<QRect> unpainted;
  recorder.action = [&](const ProgressReport& report) {
    if (report.stage != TProgressStage::Running || report.region.isEmpty()) return;
    const QImage& image = jpeg->Bitmap()->Image();
    if (!image.rect().contains(report.region) || AllBlack(image, report.region)) unpainted.push_back(report.region);
  };
  jpeg->SetOnProgress(recorder.Handler());
  TBitmap* bitmap = jpeg->Bitmap();
  ASSERT_EQ(bitmap->Width(), 480);
  ASSERT_EQ(bitmap->Height(), 640);
  EXPECT_GE(recorder.Count(TProgressStage::Running), 3);
  EXPECT_TRUE(unpainted.empty()) << unpainted.size() << " regions out of the bitmap or not yet turned into it";
  // A quarter turn clockwise: the stored top rows are the upright right-hand columns, so
  // the bands come from the right edge leftwards, each the picture's full height.
  int right = 480;
  for (const ProgressReport& report : recorder.reports) {
    if (report.stage != TProgressStage::Running || report.region.isEmpty()) continue;
    EXPECT_EQ(report.region.top(), 0);
    EXPECT_EQ(report.region.height(), 640);
    EXPECT_EQ(report.region.left() + report.region.width(), right);
    right = report.region.left();
  }
}

TEST(JpegOrientation, AnAbortedTurnedDecodeKeepsTheRowsDecodedSoFar) {
  const SteppingClock clock(600);
  auto jpeg = LoadJpeg(LargeTurnedFile());
  ProgressRecorder recorder;
  recorder.action = [&](const ProgressReport& report) {
    if (report.stage == TProgressStage::Running && recorder.Count(TProgressStage::Running) == 2) throw EAbort();
  };
  jpeg->SetOnProgress(recorder.Handler());
  TBitmap* bitmap = jpeg->Bitmap();
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 480);
  const QImage& image = bitmap->Image();
  EXPECT_FALSE(AllBlack(image, QRect(479, 0, 1, 640))) << "the first stored rows are in";
  EXPECT_TRUE(AllBlack(image, QRect(0, 0, 1, 640))) << "the last stored rows never came";
}
