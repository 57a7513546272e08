// Decoding JPEG pictures into bitmaps: output formats, palettes, scales, the kinds of
// file the decoder meets, and damaged or hostile files.

#include "picture/jpeg_codec.h"
#include "picture/jpeg_work_budget.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_image.h"
#include "platform/errors.h"
#include "platform/memory_room.h"
#include "platform/stream.h"
#include "test_jpeg_support.h"

#include <jerror.h>

#include <gtest/gtest.h>

using namespace testjpeg;

namespace {

// Overwrites the picture size in the frame header (SOF0 or SOF2) of a file.
QByteArray WithHeaderSize(QByteArray bytes, int width, int height) {
  for (qsizetype i = 0; i + 8 < bytes.size(); ++i) {
    const auto marker = static_cast<uint8_t>(bytes[i + 1]);
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
      bytes[i + 5] = static_cast<char>(height >> 8);
      bytes[i + 6] = static_cast<char>(height & 0xFF);
      bytes[i + 7] = static_cast<char>(width >> 8);
      bytes[i + 8] = static_cast<char>(width & 0xFF);
      return bytes;
    }
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

bool IsGray(QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }

int JpegErrorCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("JPEG-Fehler #%1").arg(e.MessageCode()));
    return e.MessageCode();
  }
  return -1;
}

}  // namespace

TEST(JpegDecode, ColourFileGivesA24BitBitmapOfTheHeaderSize) {
  auto jpeg = LoadJpeg(MakeJpeg(123, 77));
  EXPECT_EQ(jpeg->Width(), 123);
  EXPECT_EQ(jpeg->Height(), 77);
  EXPECT_FALSE(jpeg->HasBitmap());
  TBitmap* bitmap = jpeg->Bitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(bitmap->Width(), 123);
  EXPECT_EQ(bitmap->Height(), 77);
  EXPECT_TRUE(ShowsPatternQuadrants(*bitmap));
  EXPECT_EQ(jpeg->Bitmap(), bitmap) << "decoded once";
}

TEST(JpegDecode, GrayscaleFileGivesAnEightBitBitmapWithAGrayPalette) {
  auto jpeg = LoadJpeg(MakeJpeg(80, 60, SampleColorModel::Grayscale));
  EXPECT_TRUE(jpeg->Data()->Grayscale);
  TBitmap* bitmap = jpeg->Bitmap();
  EXPECT_EQ(bitmap->PixelFormat(), TPixelFormat::pf8bit);
  ASSERT_TRUE(bitmap->Palette());
  const auto& entries = bitmap->Palette()->palPalEntry;
  EXPECT_GT(entries.size(), 1u);
  EXPECT_LE(entries.size(), 236u);
  for (const TPaletteEntry& e : entries) {
    EXPECT_TRUE(e.peRed == e.peGreen && e.peGreen == e.peBlue);
  }
  EXPECT_TRUE(IsGray(bitmap->Image().pixel(10, 10)));
}

TEST(JpegDecode, EightBitOutputMapsColoursThroughAGeneratedPalette) {
  for (TJPEGPerformance performance : {TJPEGPerformance::jpBestQuality, TJPEGPerformance::jpBestSpeed}) {
    auto jpeg = LoadJpeg(MakeJpeg(64, 64));
    jpeg->SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    jpeg->SetPerformance(performance);
    TBitmap* bitmap = jpeg->Bitmap();
    EXPECT_EQ(bitmap->PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_TRUE(bitmap->Palette());
    EXPECT_LE(bitmap->Palette()->palPalEntry.size(), 236u);
    EXPECT_TRUE(jpeg->PaletteModified());
    EXPECT_TRUE(ShowsPatternQuadrants(*bitmap)) << "performance " << static_cast<int>(performance);
  }
}

TEST(JpegDecode, GrayscaleOutputOfAColourFile) {
  auto jpeg = LoadJpeg(MakeJpeg(64, 64));
  jpeg->SetGrayscale(true);
  TBitmap* bitmap = jpeg->Bitmap();
  EXPECT_EQ(bitmap->PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_TRUE(IsGray(bitmap->Image().pixel(8, 8)));
}

struct ScaleCase {
  TJPEGScale scale;
  int width;
  int height;
};

class JpegScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScale, SizeBeforeDecodingIsTheSizeDecoded) {
  auto jpeg = LoadJpeg(MakeJpeg(100, 60));
  jpeg->SetScale(GetParam().scale);
  EXPECT_EQ(jpeg->Width(), GetParam().width);
  EXPECT_EQ(jpeg->Height(), GetParam().height);
  TBitmap* bitmap = jpeg->Bitmap();
  EXPECT_EQ(bitmap->Width(), GetParam().width);
  EXPECT_EQ(bitmap->Height(), GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Scales, JpegScale,
                         ::testing::Values(ScaleCase{TJPEGScale::jsFullSize, 100, 60}, ScaleCase{TJPEGScale::jsHalf, 50, 30},
                                           ScaleCase{TJPEGScale::jsQuarter, 25, 15},
                                           ScaleCase{TJPEGScale::jsEighth, 13, 8}));

struct FileKind {
  const char* name;
  SampleJpegOptions options;
  TJPEGPixelFormat pixelFormat;
  bool progressiveDisplay;
};

SampleJpegOptions Options(SampleColorModel model, bool progressive = false, bool adobe = true, int restarts = 0) {
  SampleJpegOptions o;
  o.width = 96;
  o.height = 64;
  o.model = model;
  o.progressive = progressive;
  o.adobeMarker = adobe;
  o.restartIntervalRows = restarts;
  return o;
}

class JpegFileKinds : public ::testing::TestWithParam<FileKind> {};

TEST_P(JpegFileKinds, DecodesToThePattern) {
  auto jpeg = LoadJpeg(MakeJpeg(GetParam().options));
  jpeg->SetPixelFormat(GetParam().pixelFormat);
  jpeg->SetProgressiveDisplay(GetParam().progressiveDisplay);
  TBitmap* bitmap = jpeg->Bitmap();
  ASSERT_EQ(bitmap->Width(), 96);
  ASSERT_EQ(bitmap->Height(), 64);
  if (GetParam().options.model != SampleColorModel::Grayscale) {
    EXPECT_TRUE(ShowsPatternQuadrants(*bitmap));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegFileKinds,
    ::testing::Values(
        FileKind{"Baseline", Options(SampleColorModel::Color), TJPEGPixelFormat::jf24Bit, false},
        FileKind{"Progressive", Options(SampleColorModel::Color, true), TJPEGPixelFormat::jf24Bit, false},
        FileKind{"ProgressiveDisplay", Options(SampleColorModel::Color, true), TJPEGPixelFormat::jf24Bit, true},
        FileKind{"ProgressiveDisplay8Bit", Options(SampleColorModel::Color, true), TJPEGPixelFormat::jf8Bit, true},
        FileKind{"GrayProgressiveDisplay", Options(SampleColorModel::Grayscale, true), TJPEGPixelFormat::jf24Bit, true},
        FileKind{"RestartMarkers", Options(SampleColorModel::Color, false, true, 1), TJPEGPixelFormat::jf24Bit, false},
        FileKind{"CmykAdobe", Options(SampleColorModel::Cmyk), TJPEGPixelFormat::jf24Bit, false},
        FileKind{"CmykWithoutAdobeMarker", Options(SampleColorModel::Cmyk, false, false), TJPEGPixelFormat::jf24Bit,
                 false},
        FileKind{"Ycck", Options(SampleColorModel::Ycck), TJPEGPixelFormat::jf24Bit, false},
        FileKind{"CmykAsked8Bit", Options(SampleColorModel::Cmyk), TJPEGPixelFormat::jf8Bit, false},
        FileKind{"CmykProgressiveDisplay", Options(SampleColorModel::Cmyk, true), TJPEGPixelFormat::jf24Bit, true}),
    [](const ::testing::TestParamInfo<FileKind>& test) { return std::string(test.param.name); });

TEST(JpegDecode, TruncatedFileDecodesWithoutErrorAsFarAsItGoes) {
  const QByteArray whole = MakeJpeg(200, 160);
  auto jpeg = LoadJpeg(whole.left(whole.size() / 2));
  TBitmap* bitmap = nullptr;
  EXPECT_NO_THROW(bitmap = jpeg->Bitmap());
  ASSERT_EQ(bitmap->Height(), 160);
  EXPECT_TRUE(ShowsPattern(*bitmap, 50, 40));
}

TEST(JpegDecode, ZeroBytesLoadButFailOnceAtTheFirstDecode) {
  auto jpeg = LoadJpeg(QByteArray());
  EXPECT_FALSE(jpeg->Empty());
  EXPECT_EQ(JpegErrorCode([&] { jpeg->Bitmap(); }), JERR_INPUT_EMPTY);
  ASSERT_TRUE(jpeg->HasBitmap());
  EXPECT_TRUE(jpeg->Bitmap()->Empty());
}

TEST(JpegDecode, TextIsRefusedWhenTheHeaderIsRead) {
  EXPECT_EQ(JpegErrorCode([] { LoadJpeg("just some text, not a picture"); }), JERR_NO_SOI);
}

TEST(JpegDecode, FlippedBytesNeverCrash) {
  const QByteArray good = MakeJpeg(48, 32, SampleColorModel::Color, true);
  for (qsizetype at = 2; at < good.size(); at += 7) {
    QByteArray bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x5A);
    try {
      auto jpeg = LoadJpeg(bad);
      jpeg->SetProgressiveDisplay(at % 2 == 0);
      jpeg->Bitmap();
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfMemory&) {
    }
  }
}

TEST(JpegDecode, HugeHeaderSizeIsRefusedBeforeAllocating) {
  for (bool progressive : {false, true}) {
    auto jpeg = LoadJpeg(WithHeaderSize(MakeJpeg(16, 16, SampleColorModel::Color, progressive), 60000, 60000));
    EXPECT_EQ(jpeg->Width(), 60000) << "measured from the header";
    EXPECT_THROW(jpeg->Bitmap(), EOutOfMemory);
    EXPECT_TRUE(jpeg->Bitmap()->Empty()) << "not decoded again";
  }
}

// A bitmap is compared with the memory the system can still give before it is made:
// beyond it, the designed shortage of memory instead of a kill by the kernel.
TEST(JpegDecode, PictureBeyondTheMemoryLeftIsRefusedBeforeAllocating) {
  struct Room {
    explicit Room(int64_t bytes) { platform::SetMemoryRoomForTesting(bytes); }
    ~Room() { platform::SetMemoryRoomForTesting(std::nullopt); }
  } room(int64_t{32} << 20);
  auto jpeg = LoadJpeg(WithHeaderSize(MakeJpeg(16, 16, SampleColorModel::Color, false), 4000, 4000));
  EXPECT_THROW(jpeg->Bitmap(), EOutOfMemory) << "48 MB of pixels in 32 MB";
  EXPECT_TRUE(jpeg->Bitmap()->Empty());
  TBitmap bitmap;
  EXPECT_THROW(bitmap.SetSize(4000, 4000), EOutOfMemory);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetSize(2000, 2000);  // 12 MB fit
  EXPECT_EQ(bitmap.Width(), 2000);
}

TEST(JpegDecode, ProgressiveWorkingMemoryBeyondTheLimitIsRefused) {
  // 900 MB of 8-bit pixels would be allowed, but the library would also need 1.8 GB of
  // coefficients to hold all scans of a progressive file.
  auto jpeg = LoadJpeg(WithHeaderSize(MakeJpeg(16, 16, SampleColorModel::Grayscale, true), 30000, 30000));
  EXPECT_EQ(JpegErrorCode([&] { jpeg->Bitmap(); }), JERR_NO_BACKING_STORE);
  EXPECT_TRUE(jpeg->Bitmap()->Empty());
}

TEST(JpegDecode, ThousandsOfScansAreStopped) {
  SampleJpegOptions many;
  many.width = 16;
  many.height = 16;
  many.refinementLevels = 5;
  ASSERT_GT(SampleScanCount(many), kJpegMaxScans);
  for (bool progressiveDisplay : {false, true}) {
    auto jpeg = LoadJpeg(MakeJpeg(many));
    jpeg->SetProgressiveDisplay(progressiveDisplay);
    // The work bound is reached before the scan limit.
    const int code = JpegErrorCode([&] { jpeg->Bitmap(); });
    EXPECT_TRUE(code == kJpegErrTooManyScans || code == kJpegErrTooMuchWork) << code;
  }
}

// The work of a decode is bounded by the picture's size: an ordinary progressive file
// decodes, one of 999 scans (within the scan limit) fails as a damaged file, shown or not
// while it decodes.
TEST(JpegDecode, WorkBeyondTwiceAnOrdinaryProgressiveFileIsRefused) {
  SampleJpegOptions ordinary;
  ordinary.width = 96;
  ordinary.height = 64;
  ordinary.progressive = true;
  SampleJpegOptions many = ordinary;
  many.refinementLevels = 5;
  many.scanLimit = 999;
  ASSERT_EQ(SampleScanCount(many), 999);
  for (bool progressiveDisplay : {false, true}) {
    auto fine = LoadJpeg(MakeJpeg(ordinary));
    fine->SetProgressiveDisplay(progressiveDisplay);
    EXPECT_TRUE(ShowsPatternQuadrants(*fine->Bitmap())) << progressiveDisplay;
    auto jpeg = LoadJpeg(MakeJpeg(many));
    jpeg->SetProgressiveDisplay(progressiveDisplay);
    EXPECT_TRUE(jpeg->ProgressiveEncoding());
    EXPECT_EQ(JpegErrorCode([&] { jpeg->Bitmap(); }), kJpegErrTooMuchWork) << progressiveDisplay;
  }
}

TEST(JpegWorkMeter, AllowsTwelvePassesOverThePicture) {
  jpeg_component_info components[3]{};
  for (jpeg_component_info& c : components) {
    c.width_in_blocks = 10;
    c.height_in_blocks = 10;
  }
  jpeg_decompress_struct info{};
  info.comp_info = components;
  info.num_components = 3;
  info.comps_in_scan = 1;
  info.cur_comp_info[0] = &components[0];
  JpegWorkMeter meter;
  // One component is a third of the picture: 36 such scans are twelve passes.
  for (int scan = 1; scan <= 36; ++scan) {
    info.input_scan_number = scan;
    EXPECT_TRUE(meter.Charge(info)) << scan;
    EXPECT_TRUE(meter.Charge(info)) << "the same scan counts once";
  }
  info.input_scan_number = 37;
  EXPECT_FALSE(meter.Charge(info));
}

TEST(JpegDecode, CmykRowConversionFollowsTheAdobeConvention) {
  const uint8_t inverted[4] = {255, 0, 255, 255};  // no cyan or yellow, full magenta, no black
  const uint8_t plain[4] = {0, 255, 0, 0};
  uint8_t bgr[3];
  ConvertCmykRow(inverted, bgr, 1, true);
  EXPECT_EQ(bgr[0], 255);
  EXPECT_EQ(bgr[1], 0);
  EXPECT_EQ(bgr[2], 255);
  ConvertCmykRow(plain, bgr, 1, false);
  EXPECT_EQ(bgr[1], 0);
  EXPECT_EQ(bgr[2], 255);
}
