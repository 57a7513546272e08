// The printed page, through the built-in PDF printer: the PDF is rasterised at 0.1 mm
// per pixel and every picture is looked for at its physical place and size, upright
// and unmirrored. "PDF-Datei" prints on the whole sheet, so the printable area's
// top-left corner is the paper's top-left corner.
#include "page_probe.h"
#include "print_fixture.h"

#include "picture/bitmap.h"
#include "framework/choice_controls.h"

namespace {

using printprobe::ExpectedPicture;

struct PageCase {
  const char* name;
  TRadioButton* TPagesDlg::*choice;
  QPageLayout::Orientation chosenInDialog;
  QSize paper;  // 0.1 mm, as printed
  std::vector<QRect> places;  // 0.1 mm from the printable area's top-left corner
};

// Failures name the case, not its bytes.
void PrintTo(const PageCase& page, std::ostream* os) { *os << page.name; }

const QSize kA4Landscape(2970, 2100);
const QSize kA4Portrait(2100, 2970);

std::vector<PageCase> pageCases() {
  return {
      {"slides_9x13", &TPagesDlg::BorRadio4, QPageLayout::Portrait, kA4Landscape,
       {QRect(50, 25, 1300, 900), QRect(1450, 25, 1300, 900), QRect(50, 1025, 1300, 900),
        QRect(1450, 1025, 1300, 900)}},
      {"slides_13x9", &TPagesDlg::BorRadio6, QPageLayout::Landscape, kA4Portrait,
       {QRect(25, 100, 900, 1300), QRect(1025, 100, 900, 1300), QRect(25, 1500, 900, 1300),
        QRect(1025, 1500, 900, 1300)}},
      {"whole_landscape", &TPagesDlg::BorRadio1, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 2850, 1950)}},
      {"whole_portrait", &TPagesDlg::BorRadio1, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 1900, 2900)}},
      {"half_landscape", &TPagesDlg::BorRadio2, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 1450, 975)}},
      {"half_portrait", &TPagesDlg::BorRadio2, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 950, 1450)}},
      {"quarter_landscape", &TPagesDlg::BorRadio3, QPageLayout::Landscape, kA4Landscape, {QRect(50, 25, 725, 487)}},
      {"quarter_portrait", &TPagesDlg::BorRadio3, QPageLayout::Portrait, kA4Portrait, {QRect(50, 25, 475, 725)}},
  };
}

class PrintedPageTest : public PrintingTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PrintedPageTest, PicturesLandAtTheirPlaceUprightAndUnmirrored) {
  const PageCase& page = GetParam();
  Printer()->SetPrinterName(kPdfPrinterName);
  EXPECT_EQ(Printer()->PrintableOriginLoMetric(), QPoint(0, 0));

  Load(form->Image3, MakePicture(QStringLiteral("preview.jpg"), 640, 480));
  TImage* const slides[] = {form->Image4, form->Image2, form->Image5, form->Image6,
                            form->Image7, form->Image8, form->Image10, form->Image9};
  for (int i = 0; i < 8; ++i) {
    // Each slide a little wider than the one before, so the zoom window tells them apart.
    Load(slides[i], MakePicture(QStringLiteral("slide%1.jpg").arg(i), 520 + 8 * i, 360));
  }
  ChooseFormat([&page](TPagesDlg& dlg) { return dlg.*page.choice; });
  const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
  dialogs.onPrintDialog = [&](QPrinter& printer) {
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageOrientation(page.chosenInDialog);
    return true;
  };

  form->Drucken2Click(form->Drucken2);

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

  // The zoom window holds the last picture printed.
  auto* shown = dynamic_cast<TBitmap*>(windows.FormMonitor->ImageMonitor->Picture()->Graphic());
  ASSERT_NE(shown, nullptr);
  const int lastWidth = page.places.size() == 1 ? 640 : (page.choice == &TPagesDlg::BorRadio4 ? 520 + 8 * 3 : 520 + 8 * 7);
  EXPECT_EQ(shown->Width(), lastWidth);
  EXPECT_TRUE(windows.FormMonitor->Widget()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(PdfPrinter, PrintedPageTest, ::testing::ValuesIn(pageCases()),
                         [](const ::testing::TestParamInfo<PageCase>& test) { return std::string(test.param.name); });

}  // namespace
