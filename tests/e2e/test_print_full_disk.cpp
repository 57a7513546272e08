// Printing to "PDF-Datei" on a file system that is full: the person is told in the
// error box, no empty or partial file is left there, and once there is room again the
// next print writes the whole file. The full file system is a small tmpfs in a mount
// namespace of the test's own, which needs the right to mount (root); without it the
// case is skipped and says why.
#include "main_window.h"
#include "print_road.h"
#include "sample_looks.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace e2e {
namespace {

const QString kFiller = QStringLiteral("fuellung");

// A tmpfs of 256 kB filled to the last byte, seen by this process and the programs it
// starts from now on, and by nobody else; unmounted when the object dies.
class FullFileSystem {
 public:
  explicit FullFileSystem(const QString& mountPoint) : mountPoint_(QFile::encodeName(mountPoint)) {
    if (::unshare(CLONE_NEWNS) != 0) {
      failure_ = "no mount namespace of our own: " + std::string(std::strerror(errno));
      return;
    }
    // Mounts made here must not reach the rest of the system.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("velarim-full", mountPoint_.constData(), "tmpfs", 0, "size=256k") != 0) {
      failure_ = "cannot mount a tmpfs: " + std::string(std::strerror(errno));
      return;
    }
    mounted_ = true;
    const int fd = ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    static const char block[4096] = {};
    while (fd >= 0 && ::write(fd, block, sizeof block) > 0) {
    }
    if (fd >= 0) ::close(fd);
  }
  ~FullFileSystem() {
    if (mounted_) ::umount2(mountPoint_.constData(), MNT_DETACH);
  }
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  const std::string& Failure() const { return failure_; }
  bool Ready() const { return mounted_; }
  QString fillerPath() const { return QFile::decodeName(mountPoint_) + QLatin1Char('/') + kFiller; }
  void MakeRoom() const { QFile::remove(fillerPath()); }

 private:
  QByteArray mountPoint_;
  bool mounted_ = false;
  std::string failure_;
};

// Confirms the print dialog with Enter; the first one may only close the file name
// completion, so Enter goes again while the dialog is still there.
bool ConfirmPrintDialog(const Display& display, const Velarim& velarim, const Window& print) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (!display.Focus(print)) return !display.Describe(print.id).has_value();
    display.Key(QStringLiteral("Return"));
    if (velarim.WaitForWindowGone(print.id, 5s)) return true;
  }
  return false;
}

TEST(PrintFullDiskTest, FailureIsReportedLeavesNoFileAndTheNextPrintWorks) {
  QTemporaryDir target;
  ASSERT_TRUE(target.isValid());
  const QString disk = QDir(target.path()).canonicalPath();
  const FullFileSystem full(disk);
  if (!full.Ready()) GTEST_SKIP() << "a full file system cannot be made here: " << full.Failure();
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  SampleJpegOptions picture;
  picture.width = 640;
  picture.height = 480;
  ASSERT_TRUE(WriteBytes(pictures.filePath(QStringLiteral("bild.jpg")), MakeSampleJpeg(picture)));

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" +
                                        QDir(pictures.path()).canonicalPath().toUtf8() + "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(PreviewFileRow(display, *main, 0));

  const QString pdf = disk + QStringLiteral("/Seite.pdf");
  PrintRoad road(display, velarim, *main);
  const std::optional<Window> print = road.openPrintDialog();
  ASSERT_TRUE(print) << velarim.Log().toStdString();
  display.Key(QStringLiteral("alt+d"));  // "Ausgabe&datei"
  display.Key(QStringLiteral("ctrl+a"));
  display.Type(pdf);
  ASSERT_TRUE(ConfirmPrintDialog(display, velarim, *print));

  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"), 30s);
  ASSERT_TRUE(box) << "no error report; " << velarim.Log().toStdString();
  ExpectErrorReport(display, *box,
                    QStringLiteral("Die PDF-Datei %1 kann nicht geschrieben werden: Der Datenträger ist voll.").arg(pdf));
  EXPECT_EQ(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{kFiller})
      << "an empty or partial file was left behind";
  ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));

  // With room again, the same file is proposed and written whole.
  full.MakeRoom();
  const std::optional<Window> again = road.openPrintDialog();
  ASSERT_TRUE(again) << velarim.Log().toStdString();
  ASSERT_TRUE(ConfirmPrintDialog(display, velarim, *again));
  EXPECT_TRUE(WaitUntil([&] { return PdfComplete(pdf); }, 60s)) << velarim.Log().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
