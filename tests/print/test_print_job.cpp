// The print job as the user meets it: the cancelled print dialog, the orientation the
// slide formats leave behind, a slide that cannot be printed in the middle of a page,
// and the PDF file that cannot be written.
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

  QString pdf;
};

TEST_F(PrintJobTest, CancelledDialogPrintsNothingAndLeavesTheSlideOrientation) {
  Printer()->SetOrientation(TPrinterOrientation::poPortrait);
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  dialogs.onPrintDialog = [](QPrinter& printer) {
    // The dialog opens on the orientation the format set.
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    return false;
  };
  EXPECT_FALSE(Print(PrintFormat::Slides9x13));
  EXPECT_EQ(dialogs.printDialogs, 1);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(Printer()->Orientation(), TPrinterOrientation::poLandscape);
  EXPECT_TRUE(lastRendered.Empty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PrintJobTest, ChoiceInTheDialogDecidesTheOrientationOfWholePages) {
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  dialogs.onPrintDialog = [](QPrinter&) { return false; };
  Print(PrintFormat::Slides9x13);  // leaves the printer in landscape

  // A whole page starts from the orientation left behind and keeps it.
  ConfirmToFile(pdf);
  Print(PrintFormat::WholePage);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("page")));
  EXPECT_GT(page.width(), page.height());
  printprobe::ExpectPicturesOnPage(page, {{QRect(50, 25, 2850, 1950), "whole page"}});
}

TEST_F(PrintJobTest, SlideThatCannotBeConvertedEndsTheJobAndTheNextJobPrints) {
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  Load(layout1[0], MakePicture(QStringLiteral("first.jpg"), 130, 90));
  // A bitmap on the second slide: it can be shown but not converted for printing.
  TBitmap bitmap;
  bitmap.SetImage(printprobe::PatternImage(40, 30));
  const QString bmp = dir.filePath(QStringLiteral("second.bmp"));
  bitmap.SaveToFile(bmp);
  Load(layout1[1], bmp);
  Load(layout1[2], MakePicture(QStringLiteral("third.jpg"), 130, 90));
  ConfirmToFile(pdf);

  try {
    Print(PrintFormat::Slides9x13);
    ADD_FAILURE() << "the job went on past the bitmap slide";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("TPicture kann nicht zu  TJPEGImage zugewiesen werden"));
  }
  // The document was ended: the page holds what was printed before the error.
  EXPECT_FALSE(Printer()->Printing());
  const QImage partial = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("partial")));
  printprobe::ExpectPicturesOnPage(partial, {{QRect(50, 25, 1300, 900), "first slide"}});
  EXPECT_FALSE(printprobe::InkBounds(partial, QRect(1450, 1025, 1300, 900)).isValid());
  // The job hands back the last picture it converted.
  EXPECT_EQ(lastRendered.Width(), 130);

  layout1[1].Assign(nullptr);
  const QString next = dir.filePath(QStringLiteral("next.pdf"));
  ConfirmToFile(next);
  Print(PrintFormat::Slides9x13);
  const QImage page = printprobe::RasterisePdf(next, dir.filePath(QStringLiteral("next")));
  printprobe::ExpectPicturesOnPage(
      page, {{QRect(50, 25, 1300, 900), "first slide"}, {QRect(50, 1025, 1300, 900), "third slide"}});
}

TEST_F(PrintJobTest, SlideFormatWithEmptySlidesPrintsABlankPage) {
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ConfirmToFile(pdf);
  Print(PrintFormat::Slides13x9);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("blank")));
  ASSERT_FALSE(page.isNull());
  EXPECT_LT(page.width(), page.height());
  EXPECT_FALSE(printprobe::InkBounds(page, page.rect()).isValid());
}

// The print dialog asks itself before it accepts a file that exists (the end-to-end
// print case answers it); the printer proposes only new files and asks nothing more.
TEST_F(PrintJobTest, PdfPrinterProposesANewFileAndLeavesTheReplaceQuestionToTheDialog) {
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
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
  Print(PrintFormat::QuarterPage);

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
  Print(PrintFormat::QuarterPage);
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
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 640, 480));
  ConfirmToFile(pdf);
  const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
  {
    const FileSizeLimit limit(256);
    try {
      Print(PrintFormat::WholePage);
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
    EXPECT_THROW(Print(PrintFormat::WholePage), EPrinter);
  }
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("keep me"));
  existing.close();

  Print(PrintFormat::WholePage);
  const QImage page = printprobe::RasterisePdf(pdf, dir.filePath(QStringLiteral("after")));
  ASSERT_FALSE(page.isNull());
  EXPECT_TRUE(printprobe::InkBounds(page, page.rect()).isValid()) << "the picture is on the page";
}

TEST_F(PrintJobTest, PdfInAFolderThatCannotBeWrittenIsReported) {
  Load(preview, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  const QString nowhere = dir.filePath(QStringLiteral("p.jpg/page.pdf"));  // a file as its folder
  ConfirmToFile(nowhere);
  try {
    Print(PrintFormat::QuarterPage);
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
