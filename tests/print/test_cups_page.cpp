// The printed page through a real print spooler: a scheduler of the test's own with a
// cups-pdf queue as its default printer. Velarim prints to it as to any CUPS printer;
// the PDF that comes out of the spooler is rasterised and measured. The queue's
// printable area is the whole A4 sheet, so its corner is the paper's corner.
#include "page_probe.h"
#include "print_fixture.h"
#include "private_scheduler.h"

#include <QPrinterInfo>

#include <cstdlib>

namespace {

class CupsPageTest : public PrintingTest {
 protected:
  void SetUp() override {
    const std::string failure = scheduler.Start();
    if (!failure.empty()) GTEST_SKIP() << "no private CUPS scheduler: " << failure;
    qputenv("CUPS_SERVER", scheduler.Socket().toLocal8Bit());
    // The library that Qt prints through reads the server once per process.
    if (!QPrinterInfo::availablePrinterNames().contains(QString::fromLatin1(PrivateScheduler::kQueue))) {
      GTEST_SKIP() << "the print system of this process already asked another scheduler; run this test on its "
                      "own, as ctest does";
    }
    PrintingTest::SetUp();
  }

  void TearDown() override {
    PrintingTest::TearDown();
    qunsetenv("CUPS_SERVER");
  }

  PrivateScheduler scheduler;
};

TEST_F(CupsPageTest, LandscapeSlidesGoThroughTheSpoolerAtFullSizeAndUpright) {
  EXPECT_EQ(Printer()->PrinterName(), QString::fromLatin1(PrivateScheduler::kQueue));
  EXPECT_EQ(Printer()->PrintableOriginLoMetric(), QPoint(0, 0));
  Load(preview, MakePicture(QStringLiteral("preview.jpg"), 640, 480));
  for (size_t i = 0; i < 4; ++i) Load(layout1[i], MakePicture(QStringLiteral("slide%1.jpg").arg(i), 520, 360));
  dialogs.onPrintDialog = [](QPrinter& printer) {
    EXPECT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    return true;
  };

  ASSERT_TRUE(Print(PrintFormat::Slides9x13));

  const QString pdf = scheduler.WaitForOutput(90000);
  ASSERT_FALSE(pdf.isEmpty()) << "nothing came out of the spooler:\n" << scheduler.Log();
  const QImage sheet = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("spooled")));
  ASSERT_FALSE(sheet.isNull());
  // The queue takes its A4 sheets portrait, so a landscape page arrives turned a
  // quarter to the left, as on any printer. Turned back, it must match exactly: at full
  // size, and upright (a turn too many or a mirror would put the quadrants elsewhere).
  EXPECT_NEAR(sheet.width(), 2100, 2);
  EXPECT_NEAR(sheet.height(), 2970, 2);
  const QImage page = sheet.transformed(QTransform().rotate(90));
  EXPECT_NEAR(page.width(), 2970, 2);
  printprobe::ExpectPicturesOnPage(page, {{QRect(50, 25, 1300, 900), "top left"},
                                          {QRect(1450, 25, 1300, 900), "top right"},
                                          {QRect(50, 1025, 1300, 900), "bottom left"},
                                          {QRect(1450, 1025, 1300, 900), "bottom right"}});
}

}  // namespace

namespace {

TEST_F(CupsPageTest, PortraitSlidesGoThroughTheSpoolerAsTheyAre) {
  Load(preview, MakePicture(QStringLiteral("preview.jpg"), 640, 480));
  for (size_t i = 0; i < 4; ++i) Load(layout2[i], MakePicture(QStringLiteral("slide%1.jpg").arg(i), 360, 520));
  dialogs.onPrintDialog = [](QPrinter&) { return true; };

  ASSERT_TRUE(Print(PrintFormat::Slides13x9));

  const QString pdf = scheduler.WaitForOutput(90000);
  ASSERT_FALSE(pdf.isEmpty()) << "nothing came out of the spooler:\n" << scheduler.Log();
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("spooled")));
  EXPECT_NEAR(page.width(), 2100, 2);
  EXPECT_NEAR(page.height(), 2970, 2);
  printprobe::ExpectPicturesOnPage(page, {{QRect(25, 100, 900, 1300), "top left"},
                                          {QRect(1025, 100, 900, 1300), "top right"},
                                          {QRect(25, 1500, 900, 1300), "bottom left"},
                                          {QRect(1025, 1500, 900, 1300), "bottom right"}});
}

}  // namespace
