// The print command as the user meets it: the checks before anything is printed, the
// cancelled print dialog, the orientation the slide formats leave behind, and a slide
// that cannot be printed in the middle of a page.
#include "page_probe.h"
#include "print_fixture.h"

#include "picture/bitmap.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

#include <sys/resource.h>

namespace {

class PrintJobTest : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    Printer()->SetPrinterName(kPdfPrinterName);
    pdf = dir.filePath(QStringLiteral("job.pdf"));
  }

  void ConfirmToFile(const QString& file) {
    dialogs.onPrintDialog = [file](QPrinter& printer) {
      printer.setOutputFileName(file);
      return true;
    };
  }

  QString pdf;
};

TEST_F(PrintJobTest, EmptyPreviewOnlyShowsTheNoticeEvenWithFilledSlides) {
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

TEST_F(PrintJobTest, CancelledDialogPrintsNothingAndLeavesTheSlideOrientation) {
  Printer()->SetOrientation(TPrinterOrientation::poPortrait);
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio4; });
  dialogs.onPrintDialog = [](QPrinter& printer) {
    // The dialog opens on the orientation the format set.
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    return false;
  };
  form->Drucken2Click(nullptr);
  EXPECT_EQ(dialogs.printDialogs, 1);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(Printer()->Orientation(), TPrinterOrientation::poLandscape);
  // The zoom command ran before the dialog: the preview is in the zoom window and in
  // the print source.
  EXPECT_TRUE(windows.FormMonitor->Widget()->isVisible());
  EXPECT_EQ(form->Image1->Picture()->Width(), 64);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PrintJobTest, ChoiceInTheDialogDecidesTheOrientationOfWholePages) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio4; });
  dialogs.onPrintDialog = [](QPrinter&) { return false; };
  form->Drucken2Click(nullptr);  // leaves the printer in landscape

  // A whole page starts from the orientation left behind and keeps it.
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio1; });
  ConfirmToFile(pdf);
  form->Drucken2Click(nullptr);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("page")));
  EXPECT_GT(page.width(), page.height());
  printprobe::ExpectPicturesOnPage(page, {{QRect(50, 25, 2850, 1950), "whole page"}});
}

TEST_F(PrintJobTest, SlideThatCannotBeConvertedEndsTheJobAndTheNextJobPrints) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  Load(form->Image4, MakePicture(QStringLiteral("first.jpg"), 130, 90));
  // A bitmap on the second slide: it can be shown but not converted for printing.
  TBitmap bitmap;
  bitmap.SetImage(printprobe::PatternImage(40, 30));
  const QString bmp = dir.filePath(QStringLiteral("second.bmp"));
  bitmap.SaveToFile(bmp);
  Load(form->Image2, bmp);
  Load(form->Image5, MakePicture(QStringLiteral("third.jpg"), 130, 90));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio4; });
  ConfirmToFile(pdf);

  try {
    form->Drucken2Click(nullptr);
    ADD_FAILURE() << "the job went on past the bitmap slide";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("TPicture kann nicht zu  TJPEGImage zugewiesen werden"));
  }
  // The document was ended: the page holds what was printed before the error.
  EXPECT_FALSE(Printer()->Printing());
  const QImage partial = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("partial")));
  printprobe::ExpectPicturesOnPage(partial, {{QRect(50, 25, 1300, 900), "first slide"}});
  EXPECT_FALSE(printprobe::InkBounds(partial, QRect(1450, 1025, 1300, 900)).isValid());
  // The zoom window and the print source keep the last picture converted.
  EXPECT_EQ(form->Image1->Picture()->Width(), 130);

  form->Image2->Picture()->Assign(nullptr);
  const QString next = dir.filePath(QStringLiteral("next.pdf"));
  ConfirmToFile(next);
  form->Drucken2Click(nullptr);
  const QImage page = printprobe::RasterisePdf(next, dir.filePath(QStringLiteral("next")));
  printprobe::ExpectPicturesOnPage(
      page, {{QRect(50, 25, 1300, 900), "first slide"}, {QRect(50, 1025, 1300, 900), "third slide"}});
}

TEST_F(PrintJobTest, SlideFormatWithEmptySlidesPrintsABlankPage) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio6; });
  ConfirmToFile(pdf);
  form->Drucken2Click(nullptr);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("blank")));
  ASSERT_FALSE(page.isNull());
  EXPECT_LT(page.width(), page.height());
  EXPECT_FALSE(printprobe::InkBounds(page, page.rect()).isValid());
}

// The print dialog asks itself before it accepts a file that exists (the end-to-end
// print case answers it); the printer proposes only new files and asks nothing more.
TEST_F(PrintJobTest, PdfPrinterProposesANewFileAndLeavesTheReplaceQuestionToTheDialog) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio3; });
  QFile existing(pdf);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("keep me");
  existing.close();
  // The file of the last job exists: the dialog is offered a new one instead.
  Printer()->SetOutputFileName(pdf);
  QString proposed;
  const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.pdf"));
  dialogs.onPrintDialog = [&](QPrinter& printer) {
    proposed = printer.outputFileName();
    printer.setOutputFileName(elsewhere);
    return true;
  };
  form->Drucken2Click(nullptr);

  EXPECT_TRUE(proposed.endsWith(QStringLiteral(".pdf")));
  EXPECT_FALSE(QFileInfo::exists(proposed));
  // The proposal lies in a folder that exists, also for an account without a documents folder.
  EXPECT_TRUE(QFileInfo(QFileInfo(proposed).absolutePath()).isDir()) << proposed.toStdString();
  EXPECT_FALSE(printprobe::RasterisePdf(elsewhere, dir.filePath(QStringLiteral("elsewhere"))).isNull());
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("keep me"));
  existing.close();

  // The existing file chosen in the dialog (and agreed to there) is replaced without a second question.
  dialogs.onPrintDialog = [&](QPrinter& printer) {
    printer.setOutputFileName(pdf);
    return true;
  };
  form->Drucken2Click(nullptr);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("replaced"))).isNull());
}

// Writes beyond this many bytes fail (EFBIG) while the object lives, as on a full disk;
// the signal the system sends with such a write is ignored meanwhile.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldSignal_)(int);
};

TEST_F(PrintJobTest, FailedWriteOfThePdfIsReportedLeavesNoFileAndTheNextPrintWorks) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 640, 480));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio1; });
  ConfirmToFile(pdf);
  const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
  {
    const FileSizeLimit limit(256);
    try {
      form->Drucken2Click(nullptr);
      ADD_FAILURE() << "the failed write went unnoticed";
    } catch (const EPrinter& error) {
      EXPECT_EQ(error.Message(), "Die PDF-Datei " + pdf + " kann nicht geschrieben werden");
    }
  }
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(QFileInfo::exists(pdf));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before) << "a partial file was left behind";

  // An existing file of that name stays as it was.
  QFile existing(pdf);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("keep me");
  existing.close();
  {
    const FileSizeLimit limit(256);
    EXPECT_THROW(form->Drucken2Click(nullptr), EPrinter);
  }
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("keep me"));
  existing.close();

  form->Drucken2Click(nullptr);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("after")));
  ASSERT_FALSE(page.isNull());
  EXPECT_TRUE(printprobe::InkBounds(page, page.rect()).isValid()) << "the picture is on the page";
}

TEST_F(PrintJobTest, PdfInAFolderThatCannotBeWrittenIsReported) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio3; });
  const QString nowhere = dir.filePath(QStringLiteral("p.jpg/page.pdf"));  // a file as its folder
  ConfirmToFile(nowhere);
  try {
    form->Drucken2Click(nullptr);
    ADD_FAILURE() << "nothing reported";
  } catch (const EPrinter& error) {
    EXPECT_EQ(error.Message(), "Die PDF-Datei " + nowhere + " kann nicht geschrieben werden");
  }
  EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PrintJobTest, PrinterRefusesChangesWhileADocumentIsOpen) {
  TPrinter& printer = *Printer();
  printer.SetOutputFileName(pdf);
  EXPECT_THROW(printer.EndDoc(), EPrinter);
  printer.BeginDoc();
  EXPECT_EQ(printer.PageNumber(), 1);
  for (const auto& change : std::vector<std::function<void()>>{
           [&] { printer.SetOrientation(TPrinterOrientation::poLandscape); },
           [&] { printer.SetPrinterName(kPdfPrinterName); }, [&] { printer.BeginDoc(); }}) {
    try {
      change();
      ADD_FAILURE() << "a change was accepted while printing";
    } catch (const EPrinter& error) {
      EXPECT_EQ(error.Message(), QStringLiteral("Das Drucken ist im Gang"));
    }
  }
  printer.EndDoc();
  EXPECT_EQ(printer.PageNumber(), 0);
  try {
    printer.EndDoc();
    ADD_FAILURE() << "ended a document twice";
  } catch (const EPrinter& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Der Drucker ist nicht am Drucken"));
  }
}

}  // namespace
