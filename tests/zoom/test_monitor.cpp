// The zoom window and the zoom command: what the window and the print source hold
// after it, what fails and how, the clipboard copy, closing and the topmost commands.
#include "../print/page_probe.h"
#include "../app/windows_fixture.h"

#include "picture/bitmap.h"
#include "picture/jpeg_image.h"
#include "platform/errors.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

class MonitorTest : public WindowsTest {
 protected:
  TFormMonitor* monitor() { return windows.FormMonitor; }
  TBitmap* shown() { return dynamic_cast<TBitmap*>(monitor()->ImageMonitor->Picture()->Graphic()); }
};

TEST_F(MonitorTest, EmptyPreviewShowsTheNoticeForMenuAndRefreshAlike) {
  form->zoom1Click(form->zoom1);
  monitor()->Aktuel1Click(monitor()->Aktuel1);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  for (const ShownMessage& message : dialogs.shown) {
    EXPECT_EQ(message.text, QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !"));
  }
  EXPECT_FALSE(monitor()->Widget()->isVisible());
  EXPECT_EQ(monitor()->ImageMonitor->Picture()->Graphic(), nullptr);
  EXPECT_EQ(monitor()->Caption(), QStringLiteral("VELARIM--> Zoomansicht ..."));
}

TEST_F(MonitorTest, ZoomGivesWindowAndPrintSourceOneSharedBitmapOfThePicturesSize) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 300, 200));
  form->zoom1Click(form->zoom1);
  EXPECT_TRUE(monitor()->Widget()->isVisible());
  ASSERT_NE(shown(), nullptr);
  EXPECT_EQ(shown()->Width(), 300);
  EXPECT_EQ(shown()->Height(), 200);
  EXPECT_EQ(shown()->PixelFormat(), TPixelFormat::pf24bit);
  auto* source = dynamic_cast<TBitmap*>(form->Image1->Picture()->Graphic());
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->Image().constBits(), shown()->Image().constBits());
  // The preview itself keeps its JPEG picture.
  EXPECT_NE(dynamic_cast<TJPEGImage*>(form->Image3->Picture()->Graphic()), nullptr);

  // The zoom window does not follow the preview until it is refreshed.
  Load(form->Image3, MakePicture(QStringLiteral("q.jpg"), 120, 80));
  EXPECT_EQ(shown()->Width(), 300);
  monitor()->Aktuel1Click(monitor()->Aktuel1);
  EXPECT_EQ(shown()->Width(), 120);
}

TEST_F(MonitorTest, BitmapPreviewOpensTheWindowThenFailsWithTheAssignmentError) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  form->zoom1Click(form->zoom1);
  TBitmap bitmap;
  bitmap.SetImage(QImage(40, 30, QImage::Format_RGB32));
  const QString bmp = dir.filePath(QStringLiteral("b.bmp"));
  bitmap.SaveToFile(bmp);
  Load(form->Image3, bmp);
  monitor()->Hide();
  try {
    form->zoom1Click(form->zoom1);
    ADD_FAILURE() << "a bitmap was zoomed";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("TPicture kann nicht zu  TJPEGImage zugewiesen werden"));
  }
  EXPECT_TRUE(monitor()->Widget()->isVisible());
  EXPECT_EQ(shown()->Width(), 64);
  EXPECT_EQ(form->Image1->Picture()->Width(), 64);
}

TEST_F(MonitorTest, PictureThatFailsToDecodeKeepsThePreviousContent) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  form->zoom1Click(form->zoom1);
  QFile whole(MakePicture(QStringLiteral("whole.jpg"), 96, 72));
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  QByteArray bytes = whole.readAll();
  // Garbage right after the start of the scan: the entropy-coded data cannot be read.
  const qsizetype scan = bytes.indexOf("\xff\xda");
  ASSERT_GT(scan, 0);
  for (qsizetype i = scan + 14; i < bytes.size() - 2; ++i) bytes[i] = static_cast<char>(0xFF);
  QFile damaged(dir.filePath(QStringLiteral("damaged.jpg")));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write(bytes);
  damaged.close();
  Load(form->Image3, damaged.fileName());
  bool failed = false;
  try {
    form->zoom1Click(form->zoom1);
  } catch (const EInvalidGraphic&) {
    failed = true;
  }
  ASSERT_NE(shown(), nullptr);
  // Either the decoder gave up (and nothing changed) or it showed what it could read.
  EXPECT_EQ(shown()->Width(), failed ? 64 : 96);
  EXPECT_EQ(form->Image1->Picture()->Width(), failed ? 64 : 96);
}

TEST_F(MonitorTest, CopyPlacesTheClientAreaAsShownNotThePicturesPixels) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 3000, 2000));
  form->zoom1Click(form->zoom1);
  for (const QSize size : {QSize(400, 300), QSize(520, 340)}) {
    monitor()->Widget()->resize(size);
    QCoreApplication::processEvents();
    monitor()->InZwischenablagekopieren1Click(monitor()->InZwischenablagekopieren1);
    const QImage copied = QGuiApplication::clipboard()->image();
    const QSize client = monitor()->ClientWidget()->size();
    EXPECT_EQ(copied.size(), client);
    EXPECT_LT(client.width(), 3000);
    // The picture is stretched over the whole client area, its corners in the corners.
    EXPECT_TRUE(printprobe::Near(copied.pixelColor(5, 5), printprobe::QuadrantColor(true, true)));
    EXPECT_TRUE(printprobe::Near(copied.pixelColor(client.width() - 5, client.height() - 5),
                                 printprobe::QuadrantColor(false, false)));
  }
}

TEST_F(MonitorTest, CloseHidesAndTopmostKeepsPlaceAndSize) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  form->zoom1Click(form->zoom1);
  const QRect before = monitor()->Widget()->geometry();
  monitor()->ImmerimVordergrund1Click(monitor()->ImmerimVordergrund1);
  EXPECT_TRUE(monitor()->Topmost());
  EXPECT_TRUE(monitor()->Widget()->isVisible());
  EXPECT_EQ(monitor()->Widget()->geometry(), before);

  monitor()->Ende1Click(monitor()->Ende1);
  EXPECT_FALSE(monitor()->Widget()->isVisible());
  form->zoom1Click(form->zoom1);
  EXPECT_TRUE(monitor()->Topmost());
  EXPECT_EQ(monitor()->Widget()->geometry(), before);
  ASSERT_NE(shown(), nullptr);

  monitor()->NichtimVordergrund1Click(monitor()->NichtimVordergrund1);
  EXPECT_FALSE(monitor()->Topmost());
  EXPECT_EQ(monitor()->Widget()->geometry(), before);
}

}  // namespace
