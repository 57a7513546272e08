// Printing to a CUPS printer that does not take the page: a queue that rejects jobs, and
// one removed while the print dialog is open. Each time the person is told in a German
// error box, the program goes on, no page is left in its temporary folder, and once the
// queue works again the next print comes out of the spooler. The scheduler is the test's own (which needs root for its cups-pdf
// queue); without it the cases are skipped and say why.
#include "main_window.h"
#include "print_road.h"
#include "sample_looks.h"

#include "tests/print/private_scheduler.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace e2e {
namespace {

// Confirms the print dialog with its default button, "Drucken".
bool ConfirmPrintDialog(const Display& display, const Velarim& velarim, const Window& print) {
  if (!display.Focus(print)) return false;
  display.Key(QStringLiteral("Return"));
  return velarim.WaitForWindowGone(print.id, 30s);
}

class PrintRefusedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string failure = scheduler.Start();
    if (!failure.empty()) GTEST_SKIP() << "no private CUPS scheduler: " << failure;
    ASSERT_TRUE(pictures.isValid());
    ASSERT_TRUE(temporary.isValid());
    SampleJpegOptions picture;
    picture.width = 320;
    picture.height = 240;
    ASSERT_TRUE(WriteBytes(pictures.filePath(QStringLiteral("bild.jpg")), MakeSampleJpeg(picture)));
  }

  // Starts Velarim on the scheduler, previews the picture, prints with the queue made
  // unusable by spoil while the print dialog is open, expects the error box with the
  // text, then mends the queue and prints again.
  void PrintRefusedThenMended(const std::function<bool()>& spoil, const QString& text,
                              const std::function<bool()>& mend) {
    Display display;
    ASSERT_TRUE(display.Ready()) << display.Failure();
    Velarim velarim(display, {.settings = LastFolderSettings(pictures.path()),
                              .environment = {QStringLiteral("CUPS_SERVER=") + scheduler.Socket(),
                                              QStringLiteral("TMPDIR=") + temporary.path()}});
    const std::optional<Window> main = velarim.WaitForMainWindow(30s);
    ASSERT_TRUE(main) << velarim.Log().toStdString();
    ASSERT_TRUE(PreviewFileRow(display, *main, 0));

    PrintRoad road(display, velarim, *main);
    const std::optional<Window> print = road.openPrintDialog();
    ASSERT_TRUE(print) << velarim.Log().toStdString();
    ASSERT_TRUE(spoil()) << scheduler.Log();
    ASSERT_TRUE(ConfirmPrintDialog(display, velarim, *print));
    const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"), 60s);
    ASSERT_TRUE(box) << "no error report; " << velarim.Log().toStdString();
    ExpectErrorReport(display, *box, text);
    ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));
    EXPECT_TRUE(velarim.Running());
    EXPECT_TRUE(QDir(scheduler.OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
    EXPECT_EQ(PagesLeft(), QStringList());

    ASSERT_TRUE(mend()) << scheduler.Log();
    const std::optional<Window> again = road.openPrintDialog();
    ASSERT_TRUE(again) << velarim.Log().toStdString();
    ASSERT_TRUE(ConfirmPrintDialog(display, velarim, *again));
    EXPECT_FALSE(scheduler.WaitForOutput(90000).isEmpty()) << "nothing came out of the spooler\n" << scheduler.Log();
    EXPECT_EQ(PagesLeft(), QStringList());
    for (const Window& window : velarim.VisibleWindows()) {
      EXPECT_FALSE(window.id != main->id && window.title == QStringLiteral("Velarim")) << "an error came with the page";
    }

    ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
    EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
  }

  // The pages the program wrote for the spooler and did not remove.
  QStringList PagesLeft() const {
    return QDir(temporary.path()).entryList({QStringLiteral("velarim-*")}, QDir::Files | QDir::Hidden);
  }

  PrivateScheduler scheduler;
  QTemporaryDir pictures;
  QTemporaryDir temporary;
};

TEST_F(PrintRefusedTest, QueueThatRejectsJobsBringsAnErrorBoxAndTheNextPrintComesOut) {
  PrintRefusedThenMended([&] { return scheduler.Reject(); },
                         QStringLiteral("Der Drucker velarim-pdf nimmt zur Zeit keine Druckaufträge an."),
                         [&] { return scheduler.Accept(); });
}

TEST_F(PrintRefusedTest, QueueRemovedWhileThePrintDialogIsOpenIsAnInvalidPrinter) {
  PrintRefusedThenMended([&] { return scheduler.RemoveQueue(); }, QStringLiteral("Ausgewählter Drucker ist ungültig."),
                         [&] { return scheduler.AddQueue(); });
}

}  // namespace
}  // namespace e2e
