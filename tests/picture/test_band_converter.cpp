// Large pictures with a colour profile have their rows converted on a second thread while
// the decode goes on: the bitmap must come out exactly as converting each decoded row on
// the decoding thread gives it, also when the decode passes over the picture several
// times, reports progress meanwhile, or fails part way.

#include "exif_builder.h"
#include "icc_builder.h"
#include "picture/band_converter.h"
#include "picture/colour_profile.h"
#include "platform/errors.h"
#include "test_jpeg_support.h"

#include <gtest/gtest.h>

#include <jerror.h>

#include <cstring>
#include <stdexcept>

using namespace testicc;
using namespace testjpeg;

namespace {

// Just large enough to take the second thread.
constexpr int kWidth = 1024;
constexpr int kHeight = 512;
static_assert(int64_t{kWidth} * kHeight >= BandConverter::kMinimumPixels);

QByteArray MakePhoto(bool progressive) {
  SampleJpegOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.noise = 40;
  if (progressive) {
    // Four scans, so four passes, the last leaving the finest coefficients out.
    options.progressive = true;
    options.refinementLevels = 1;
    options.scanLimit = 4;
  }
  return MakeJpeg(options);
}

// Made once: making one takes longer than decoding it.
const QByteArray& Photo(bool progressive) {
  if (progressive) {
    static const QByteArray passes = MakePhoto(true);
    return passes;
  }
  static const QByteArray plain = MakePhoto(false);
  return plain;
}

// The untagged decode's rows, each converted on its own with the profile's conversion.
QImage RowByRow(const QByteArray& untagged, const QByteArray& profile, bool progressiveDisplay) {
  auto jpeg = LoadJpeg(untagged);
  jpeg->SetProgressiveDisplay(progressiveDisplay);
  QImage image = jpeg->Bitmap()->Image().copy();
  const auto conversion = ColourConversion::For(profile, ColourInput::Rgb);
  for (int y = 0; y < image.height(); ++y) {
    conversion->ConvertBgr(image.scanLine(y), image.width(), 3);
  }
  return image;
}

// The first row that differs, or -1.
int FirstDifferentRow(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) {
    return 0;
  }
  const auto bytes = static_cast<size_t>(a.width()) * 3;
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) {
      return y;
    }
  }
  return -1;
}

struct BandCase {
  const char* name;
  QByteArray segments;
  QByteArray profile;
  uint32_t orientation;  // 0: none; 3: mirrored both ways; 6: gathered and turned
  bool progressive;      // shown pass by pass, with progress reports
};

}  // namespace

// One test for the whole table: each case takes a fraction of a second, starting a test
// process nearly as much.
TEST(BandConversion, EqualsConvertingEachRowOnTheDecodingThread) {
  const BandCase cases[] = {
      {"AdobeRgb", IccSegments(AdobeRgb()), AdobeRgb(), 0, false},
      {"DisplayP3Turned180", IccSegments(DisplayP3()), DisplayP3(), 3, false},
      {"AdobeRgbTurnedClockwise", IccSegments(AdobeRgb()), AdobeRgb(), 6, false},
      {"ProPhotoPassByPass", IccSegments(ProPhoto()), ProPhoto(), 0, true},
  };
  for (const BandCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QByteArray& photo = Photo(c.progressive);
    const QByteArray turned = c.orientation != 0 ? testexif::WithOrientation(photo, c.orientation) : photo;
    const QImage expected = RowByRow(turned, c.profile, c.progressive);
    SteppingClock clock(c.progressive ? 40 : 1);
    auto jpeg = LoadJpeg(testexif::WithSegments(turned, c.segments));
    jpeg->SetProgressiveDisplay(c.progressive);
    ProgressRecorder recorder;
    jpeg->SetOnProgress(recorder.Handler());
    EXPECT_EQ(FirstDifferentRow(jpeg->Bitmap()->Image(), expected), -1);
    if (c.progressive) {
      EXPECT_GE(recorder.Count(TProgressStage::Running), 3);
    }
  }
}

// A file that turns out damaged after its last row: the error comes while the second
// thread may still be converting, and is reported as ever; the decoded rows stay.
TEST(BandConversion, ADecodeFailingWhileRowsAreConvertedReportsItsError) {
  const QByteArray photo = Photo(false);
  const qsizetype frame = photo.indexOf("\xFF\xC0");
  ASSERT_GT(frame, 0);
  const int frameBytes = 2 + (static_cast<uint8_t>(photo[frame + 2]) << 8 | static_cast<uint8_t>(photo[frame + 3]));
  // A second frame header after the picture's data.
  const QByteArray damaged = photo.left(photo.size() - 2) + photo.mid(frame, frameBytes) + photo.right(2);
  auto jpeg = LoadJpeg(testexif::WithSegments(damaged, IccSegments(AdobeRgb())));
  try {
    jpeg->Bitmap();
    ADD_FAILURE() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_SOF_DUPLICATE);
  }
}

// A progress handler that fails part way ends the decode with its error; the rows handed
// to the second thread are converted before the handler sees the bitmap.
TEST(BandConversion, AFailingProgressHandlerEndsTheDecode) {
  const QByteArray photo = Photo(false);
  const QImage expected = RowByRow(photo, AdobeRgb(), false);
  SteppingClock clock(40);
  auto jpeg = LoadJpeg(testexif::WithSegments(photo, IccSegments(AdobeRgb())));
  ProgressRecorder recorder;
  recorder.action = [&](const ProgressReport& report) {
    if (report.stage == TProgressStage::Running && report.percent >= 50) {
      // Every row reported is converted already.
      const QImage shown = jpeg->Bitmap()->Image().copy(report.region);
      EXPECT_EQ(FirstDifferentRow(shown, expected.copy(report.region)), -1);
      throw std::runtime_error("stop");
    }
  };
  jpeg->SetOnProgress(recorder.Handler());
  EXPECT_THROW(jpeg->Bitmap(), std::runtime_error);
}
