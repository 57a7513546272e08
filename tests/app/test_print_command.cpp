// What the print command shows around the page: the notice for an empty preview, the
// zoom window that the command opens before the print dialog, and the zoom window and
// the hidden print source holding the last picture printed, also when a slide ends the
// job part-way.
#include "windows_fixture.h"

#include "picture/bitmap.h"
#include "platform/errors.h"

namespace {

class MainWindowPrintTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    Printer()->SetPrinterName(kPdfPrinterName);
    dialogs.onPrintDialog = [this](QPrinter& printer) {
      printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
      return true;
    };
  }

  int ShownWidth() const { return windows.FormMonitor->ImageMonitor->Picture()->Width(); }
};

TEST_F(MainWindowPrintTest, EmptyPreviewOnlyShowsTheNoticeEvenWithFilledSlides) {
  Load(form->Image4, MakePicture(QStringLiteral("a.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio4; });
  form->Drucken2Click(nullptr);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Bitte wählen Sie zuerst ein Bild aus !"));
  EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::None);
  EXPECT_TRUE(dialogs.modalForms.empty());
  EXPECT_EQ(dialogs.printDialogs, 0);
  EXPECT_FALSE(windows.FormMonitor->Widget()->isVisible());
}

TEST_F(MainWindowPrintTest, ZoomWindowShowsThePreviewBeforeThePrintDialog) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio4; });
  bool zoomedFirst = false;
  dialogs.onPrintDialog = [&](QPrinter&) {
    zoomedFirst = windows.FormMonitor->Widget()->isVisible() && ShownWidth() == 64 && form->Image1->Picture()->Width() == 64;
    return false;
  };
  form->Drucken2Click(nullptr);
  EXPECT_TRUE(zoomedFirst);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowPrintTest, ZoomWindowAndPrintSourceHoldTheLastPicturePrinted) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  TImage* const slides[] = {form->Image7, form->Image8, form->Image10, form->Image9};
  for (int i = 0; i < 4; ++i) Load(slides[i], MakePicture(QStringLiteral("s%1.jpg").arg(i), 90 + i, 130));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio6; });
  form->Drucken2Click(nullptr);
  EXPECT_EQ(ShownWidth(), 93);
  EXPECT_EQ(form->Image1->Picture()->Width(), 93);

  // A slide that cannot be converted ends the job; both keep the slide printed before it.
  form->Image10->Picture()->Bitmap()->SetSize(40, 30);
  EXPECT_THROW(form->Drucken2Click(nullptr), EConvertError);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(ShownWidth(), 91);
  EXPECT_EQ(form->Image1->Picture()->Width(), 91);
}

}  // namespace
