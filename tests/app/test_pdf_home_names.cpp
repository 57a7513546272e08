// "PDF-Datei" under a home whose name is not UTF-8: the print dialog is offered a file it
// can open (Qt's dialog tries that before it accepts), and the page lands in the home
// by its very bytes.
#include "windows_fixture.h"

#include "platform/lossless_utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PdfHomeTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    Printer()->SetPrinterName(kPdfPrinterName);
    home = QFile::encodeName(dir.path()) + "/Home \xE4";
    ASSERT_EQ(::mkdir(home.constData(), 0755), 0);
    previousHome = qgetenv("HOME");
    qputenv("HOME", home);
  }
  void TearDown() override {
    qputenv("HOME", previousHome);
    ::unlink((home + "/Velarim.pdf").constData());
    ::rmdir(home.constData());
    WindowsTest::TearDown();
  }

  QByteArray home;
  QByteArray previousHome;
};

TEST_F(PdfHomeTest, ProposalOpensInTheDialogAndThePageLandsInTheHomeByItsBytes) {
  Load(form->Image3, MakePicture(QStringLiteral("p.jpg"), 64, 48));
  ChooseFormat([](TPagesDlg& dlg) { return dlg.BorRadio3; });
  QString proposed;
  bool opens = false;
  dialogs.onPrintDialog = [&](QPrinter& printer) {
    proposed = printer.outputFileName();
    QFile probe(proposed);  // as the dialog checks it
    opens = probe.open(QIODevice::Append);
    probe.remove();
    return true;
  };
  form->Drucken2Click(nullptr);
  EXPECT_TRUE(opens) << proposed.toStdString();
  QFile page;
  const int fd = ::open((home + "/Velarim.pdf").constData(), O_RDONLY);
  ASSERT_GE(fd, 0) << "no Velarim.pdf in the home";
  ASSERT_TRUE(page.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
  EXPECT_TRUE(page.read(5) == "%PDF-");
}

}  // namespace
