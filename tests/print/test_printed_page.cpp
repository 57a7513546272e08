// The printed page, through the built-in PDF printer: the PDF is rasterised at 0.1 mm
// per pixel and every picture is looked for at its physical place and size, upright
// and unmirrored. "PDF-Datei" prints on the whole sheet, so the printable area's
// top-left corner is the paper's top-left corner.
#include "page_probe.h"
#include "print_fixture.h"


namespace {

using printprobe::ExpectedPicture;

struct PageCase {
  const char* name;
  PrintFormat format;
  QPageLayout::Orientation chosenInDialog;
  QSize paper;  // 0.1 mm, as printed
  std::vector<QRect> places;  // 0.1 mm from the printable area's top-left corner
};

// Failures name the case, not its bytes.
void PrintTo(const PageCase& page, std::ostream* os) { *os << page.name; }

const QSize kA4Landscape(2970, 2100);
const QSize kA4Portrait(2100, 2970);

std::vector<PageCase> PageCases() {
  return {
      {"slides_9x13", PrintFormat::Slides9x13, QPageLayout::Portrait, kA4Landscape,
       {QRect(50, 25, 1300, 900), QRect(1450, 25, 1300, 900), QRect(50, 1025, 1300, 900),
        QRect(1450, 1025, 1300, 900)}},
      {"slides_13x9", PrintFormat::Slides13x9, QPageLayout::Landscape, kA4Portrait,
       {QRect(25, 100, 900, 1300), QRect(1025, 100, 900, 1300), QRect(25, 1500, 900, 1300),
        QRect(1025, 1500, 900, 1300)}},
      {"whole_landscape", PrintFormat::WholePage, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 2850, 1950)}},
      {"whole_portrait", PrintFormat::WholePage, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 1900, 2900)}},
      {"half_landscape", PrintFormat::HalfPage, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 1450, 975)}},
      {"half_portrait", PrintFormat::HalfPage, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 950, 1450)}},
      {"quarter_landscape", PrintFormat::QuarterPage, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 725, 487)}},
      {"quarter_portrait", PrintFormat::QuarterPage, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 475, 725)}},
  };
}

class PrintedPageTest : public PrintingTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PrintedPageTest, PicturesLandAtTheirPlaceUprightAndUnmirrored) {
  const PageCase& page = GetParam();
  Printer()->SetPrinterName(kPdfPrinterName);
  EXPECT_EQ(Printer()->PrintableOriginLoMetric(), QPoint(0, 0));

  Load(preview, MakePicture(QStringLiteral("preview.jpg"), 640, 480));
  for (int i = 0; i < 8; ++i) {
    // Each slide a little wider than the one before, so the last one rendered tells
    // them apart.
    TPicture& slide = i < 4 ? layout1[static_cast<size_t>(i)] : layout2[static_cast<size_t>(i - 4)];
    Load(slide, MakePicture(QStringLiteral("slide%1.jpg").arg(i), 520 + 8 * i, 360));
  }
  const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
  dialogs.onPrintDialog = [&](QPrinter& printer) {
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageOrientation(page.chosenInDialog);
    return true;
  };

  ASSERT_TRUE(Print(page.format));

  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(Printer()->Printing());
  const QImage printed = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("page")));
  ASSERT_FALSE(printed.isNull());
  EXPECT_NEAR(printed.width(), page.paper.width(), 2);
  EXPECT_NEAR(printed.height(), page.paper.height(), 2);
  std::vector<ExpectedPicture> expected;
  for (size_t i = 0; i < page.places.size(); ++i) expected.push_back({page.places[i], "picture " + std::to_string(i)});
  printprobe::ExpectPicturesOnPage(printed, expected);
  // Nothing else is on the page.
  int ink = 0;
  for (const QRect& place : page.places) ink += place.width() * place.height();
  const QRect all = printprobe::InkBounds(printed, printed.rect());
  EXPECT_TRUE(QRect(page.places.front().topLeft(), page.places.back().bottomRight()).adjusted(-3, -3, 3, 3).contains(all));

  // The job hands back the last picture it printed.
  const int lastWidth = page.places.size() == 1 ? 640 : (page.format == PrintFormat::Slides9x13 ? 520 + 8 * 3 : 520 + 8 * 7);
  EXPECT_EQ(lastRendered.Width(), lastWidth);
}

INSTANTIATE_TEST_SUITE_P(PdfPrinter, PrintedPageTest, ::testing::ValuesIn(PageCases()),
                         [](const ::testing::TestParamInfo<PageCase>& test) { return std::string(test.param.name); });

}  // namespace
