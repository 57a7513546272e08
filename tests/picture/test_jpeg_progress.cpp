// Progress reports of decoding: the rate limit, the percentages and bands, and what a
// progress handler may do from inside a decode.

#include "picture/file_formats.h"
#include "picture/jpeg_image.h"
#include "picture/jpeg_progress.h"
#include "picture/picture.h"
#include "platform/errors.h"
#include "platform/stream.h"
#include "test_jpeg_support.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace testjpeg;

namespace {

}  // namespace

struct PercentCase {
  JpegPassCounters counters;
  int percent;
};

class JpegPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(JpegPercent, IsTruncatedShareOfAllPasses) { EXPECT_EQ(JpegPercentDone(GetParam().counters), GetParam().percent); }

INSTANTIATE_TEST_SUITE_P(Table, JpegPercent,
                         ::testing::Values(PercentCase{{0, 100, 0, 1}, 0}, PercentCase{{50, 100, 0, 1}, 50},
                                           PercentCase{{999, 1000, 0, 1}, 99}, PercentCase{{1, 3, 0, 1}, 33},
                                           PercentCase{{50, 100, 1, 2}, 75}, PercentCase{{0, 0, 1, 3}, 33},
                                           PercentCase{{10, 10, 3, 3}, 100}, PercentCase{{5, 10, 0, 0}, 0},
                                           PercentCase{{20, 10, 1, 1}, 100}));

TEST(JpegProgressMeter, FirstCallOnlyStartsTheClock) {
  JpegProgressMeter meter(true);
  EXPECT_FALSE(meter.Update(5000, {50, 100, 0, 1}, 10, 100, 100));
  EXPECT_FALSE(meter.Update(5499, {60, 100, 0, 1}, 20, 100, 100)) << "within 500 ms";
  const auto report = meter.Update(5500, {60, 100, 0, 1}, 20, 100, 100);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->percent, 60);
  EXPECT_EQ(report->region, QRect(0, 0, 100, 20));
  EXPECT_TRUE(report->redrawNow);
}

TEST(JpegProgressMeter, SamePercentIsNotReportedAgain) {
  JpegProgressMeter meter(true);
  meter.Update(0, {0, 100, 0, 1}, 0, 10, 10);
  EXPECT_FALSE(meter.Update(600, {0, 100, 0, 1}, 0, 10, 10)) << "still 0 percent";
  EXPECT_TRUE(meter.Update(1200, {10, 100, 0, 1}, 1, 10, 10));
  EXPECT_FALSE(meter.Update(1800, {10, 100, 0, 1}, 2, 10, 10));
}

TEST(JpegProgressMeter, ThinBandsAreNotWorthARedraw) {
  JpegProgressMeter meter(true);
  meter.Update(0, {0, 100, 0, 1}, 0, 10, 100);
  const auto report = meter.Update(500, {3, 100, 0, 1}, 3, 10, 100);
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->redrawNow);
}

TEST(JpegProgressMeter, ANewPassRunsTheBandToTheBottom) {
  JpegProgressMeter meter(true);
  meter.Update(0, {0, 100, 0, 2}, 0, 10, 100);
  meter.Update(500, {80, 100, 0, 2}, 80, 10, 100);
  const auto report = meter.Update(1000, {10, 100, 1, 2}, 10, 10, 100);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->region, QRect(0, 80, 10, 20));
}

TEST(JpegProgressMeter, SurvivesTheWrapOfTheTickCount) {
  JpegProgressMeter meter(true);
  meter.Update(0xFFFFFF00u, {0, 100, 0, 1}, 0, 10, 10);
  EXPECT_TRUE(meter.Update(0x00000100u, {50, 100, 0, 1}, 5, 10, 10));
}

TEST(JpegProgressMeter, EncodingReportsNoRegion) {
  JpegProgressMeter meter(false);
  meter.Update(0, {0, 100, 0, 1}, 0, 0, 0);
  const auto report = meter.Update(700, {40, 100, 0, 1}, 0, 0, 0);
  ASSERT_TRUE(report);
  EXPECT_TRUE(report->region.isEmpty());
  EXPECT_FALSE(report->redrawNow);
}

// --- reports of a whole decode -----------------------------------------------------------

TEST(JpegDecodeProgress, FastDecodeReportsOnlyStartAndEnd) {
  SteppingClock clock(1);
  auto jpeg = LoadJpeg(MakeJpeg(64, 48));
  ProgressRecorder recorder;
  jpeg->SetOnProgress(recorder.Handler());
  jpeg->Bitmap();
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].stage, TProgressStage::Starting);
  EXPECT_EQ(recorder.reports[0].percent, 0);
  EXPECT_FALSE(recorder.reports[0].redrawNow);
  EXPECT_EQ(recorder.reports[1].stage, TProgressStage::Ending);
  EXPECT_EQ(recorder.reports[1].percent, 100);
  EXPECT_EQ(recorder.reports[1].sender, jpeg.get());
}

TEST(JpegDecodeProgress, SlowDecodeReportsRisingPercentagesWithBands) {
  for (bool progressiveDisplay : {false, true}) {
    SteppingClock clock(300);
    auto jpeg = LoadJpeg(MakeJpeg(64, 400, SampleColorModel::Color, progressiveDisplay));
    jpeg->SetProgressiveDisplay(progressiveDisplay);
    ProgressRecorder recorder;
    jpeg->SetOnProgress(recorder.Handler());
    jpeg->Bitmap();
    ASSERT_GE(recorder.Count(TProgressStage::Running), 3) << progressiveDisplay;
    int last = -1;
    bool sawRedraw = false;
    for (const ProgressReport& r : recorder.reports) {
      if (r.stage != TProgressStage::Running) continue;
      EXPECT_NE(r.percent, last);
      if (!progressiveDisplay) {
        EXPECT_GT(r.percent, last);
      }
      last = r.percent;
      EXPECT_EQ(r.redrawNow, r.region.height() >= 4);
      EXPECT_TRUE(r.region.isEmpty() || QRect(0, 0, 64, 400).contains(r.region));
      sawRedraw = sawRedraw || r.redrawNow;
    }
    EXPECT_TRUE(sawRedraw);
    EXPECT_EQ(recorder.reports.back().stage, TProgressStage::Ending);
  }
}

TEST(JpegDecodeProgress, AHandlerRedrawingDrawsThePartialBitmapWithoutASecondDecode) {
  SteppingClock clock(300);
  auto jpeg = LoadJpeg(MakeJpeg(64, 400));
  QImage screen(32, 32, QImage::Format_RGB32);
  ProgressRecorder recorder;
  recorder.action = [&](const ProgressReport& r) {
    if (!r.redrawNow) return;
    QPainter painter(&screen);
    TCanvas canvas(&painter);
    canvas.StretchDraw(QRect(0, 0, 32, 32), jpeg.get());
  };
  jpeg->SetOnProgress(recorder.Handler());
  TBitmap* bitmap = jpeg->Bitmap();
  EXPECT_EQ(recorder.Count(TProgressStage::Starting), 1);
  EXPECT_EQ(jpeg->Bitmap(), bitmap);
  EXPECT_TRUE(ShowsPatternQuadrants(*bitmap));
}

TEST(JpegDecodeProgress, SilentAbortKeepsThePartialBitmap) {
  SteppingClock clock(300);
  auto jpeg = LoadJpeg(MakeJpeg(64, 400));
  ProgressRecorder recorder;
  recorder.action = [](const ProgressReport& r) {
    if (r.stage == TProgressStage::Running) throw EAbort();
  };
  jpeg->SetOnProgress(recorder.Handler());
  EXPECT_NO_THROW(jpeg->Bitmap());
  EXPECT_EQ(recorder.Count(TProgressStage::Running), 1);
  EXPECT_EQ(recorder.reports.back().stage, TProgressStage::Ending);
  EXPECT_EQ(recorder.reports.back().percent, 0);
  recorder.action = nullptr;
  EXPECT_EQ(jpeg->Bitmap()->Height(), 400) << "kept, not decoded again";
  EXPECT_EQ(recorder.Count(TProgressStage::Starting), 1);
}

TEST(JpegDecodeProgress, OtherHandlerErrorsPassOn) {
  SteppingClock clock(300);
  auto jpeg = LoadJpeg(MakeJpeg(64, 400));
  ProgressRecorder recorder;
  recorder.action = [](const ProgressReport& r) {
    if (r.stage == TProgressStage::Running) throw EInvalidGraphic(QStringLiteral("stop"));
  };
  jpeg->SetOnProgress(recorder.Handler());
  EXPECT_THROW(jpeg->Bitmap(), EInvalidGraphic);
  EXPECT_EQ(recorder.reports.back().stage, TProgressStage::Ending);
  EXPECT_TRUE(jpeg->HasBitmap());
}

TEST(JpegDecodeProgress, AHandlerMayFreeThePictureBeingDecoded) {
  SteppingClock clock(300);
  TemporaryPictureFile file(MakeJpeg(64, 400));
  InitializeJpegKind();
  TPicture picture;
  picture.LoadFromFile(file.path);
  int reports = 0;
  picture.SetOnProgress([&](TObject*, TProgressStage stage, uint8_t, bool, const QRect&, const QString&) {
    ++reports;
    if (stage == TProgressStage::Running) picture.SetGraphic(nullptr);
  });
  QImage screen(16, 16, QImage::Format_RGB32);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 16, 16), picture.Graphic());
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(reports, 2) << "nothing reported after the picture went";
}

TEST(JpegDecodeProgress, AHandlerResizingTheBitmapStopsTheDecodeSafely) {
  SteppingClock clock(300);
  auto jpeg = LoadJpeg(MakeJpeg(64, 400));
  ProgressRecorder recorder;
  recorder.action = [&](const ProgressReport& r) {
    if (r.stage == TProgressStage::Running) jpeg->Bitmap()->SetSize(8, 8);
  };
  jpeg->SetOnProgress(recorder.Handler());
  EXPECT_THROW(jpeg->Bitmap(), EInvalidGraphicOperation);
}

TEST(JpegDecodeProgress, RowsAreWrittenInPlaceWithoutCopyingThePixels) {
  for (SampleColorModel model : {SampleColorModel::Color, SampleColorModel::Cmyk}) {
    SteppingClock clock(300);
    SampleJpegOptions tall;
    tall.width = 8;
    tall.height = 2000;
    tall.model = model;
    auto jpeg = LoadJpeg(MakeJpeg(tall));
    std::vector<const uchar*> pixels;
    ProgressRecorder recorder;
    recorder.action = [&](const ProgressReport& r) {
      if (r.stage != TProgressStage::Starting) pixels.push_back(jpeg->Bitmap()->Image().constBits());
    };
    jpeg->SetOnProgress(recorder.Handler());
    jpeg->Bitmap();
    ASSERT_GE(pixels.size(), 2u);
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [&](const uchar* p) { return p == pixels.front(); }))
        << "model " << static_cast<int>(model);
  }
}
