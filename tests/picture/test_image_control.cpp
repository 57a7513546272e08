// The image control: a JPEG decodes once, right after the first paint asks for it,
// and is then drawn stretched over the whole control.
#include "picture/file_formats.h"
#include "picture/image_control.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "platform/tick.h"
#include "tools/sample_jpeg.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ImageControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    InitializeJpegKind();
  }
  void TearDown() override {
    FinalizeJpegKind();
    platform::SetTickSource(nullptr);
  }

  QString writeJpeg(int width, int height) {
    SampleJpegOptions options;
    options.width = width;
    options.height = height;
    const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
    const QString path = dir_.path() + QStringLiteral("/bild.jpg");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
  }

  QTemporaryDir dir_;
};

TEST_F(ImageControlTest, FirstPaintQueuesOneDecodeThenDrawsStretched) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 80, 60);
  image.SetStretch(true);
  int starts = 0;
  image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const QRect&, const QString&) {
    if (stage == TProgressStage::Starting) ++starts;
  };
  image.Picture()->LoadFromFile(writeJpeg(320, 240));
  auto* jpeg = dynamic_cast<TJPEGImage*>(image.Picture()->Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_FALSE(jpeg->HasBitmap());

  image.Widget()->grab();  // a paint: asks for the decode, draws nothing yet
  EXPECT_FALSE(jpeg->HasBitmap());
  QCoreApplication::processEvents();
  EXPECT_TRUE(jpeg->HasBitmap());
  EXPECT_EQ(starts, 1);

  const QImage shown = image.Widget()->grab().toImage();
  QCoreApplication::processEvents();
  EXPECT_EQ(starts, 1);  // decoded once
  // The top-left quadrant's colour lands in the top-left of the control.
  const SampleRgb expected = SamplePatternColor(10, 10, 320, 240);
  const QColor got = shown.pixelColor(5, 5);
  EXPECT_NEAR(got.red(), expected.r, 24);
  EXPECT_NEAR(got.green(), expected.g, 24);
  EXPECT_NEAR(got.blue(), expected.b, 24);
}

TEST_F(ImageControlTest, IncrementalDisplayRedrawsDuringDecodeAndForwardsProgress) {
  uint32_t now = 0;
  platform::SetTickSource([&] { return now += 600; });  // every report is due
  TImage image(nullptr);
  image.SetBounds(0, 0, 80, 60);
  image.SetStretch(true);
  image.SetIncrementalDisplay(true);
  image.Widget()->show();
  std::vector<TProgressStage> stages;
  image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const QRect&, const QString&) {
    stages.push_back(stage);
  };
  image.Picture()->LoadFromFile(writeJpeg(1024, 768));
  image.DecodePending();
  ASSERT_GE(stages.size(), 3u);
  EXPECT_EQ(stages.front(), TProgressStage::Starting);
  EXPECT_EQ(stages[1], TProgressStage::Running);
  EXPECT_EQ(stages.back(), TProgressStage::Ending);
}

}  // namespace
