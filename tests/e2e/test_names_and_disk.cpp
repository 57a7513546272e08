// Names that are bytes and lists that follow the disk, on a desktop, as a person meets
// them: a photo whose name is Latin-1, in a folder whose name is Latin-1, copied through
// "Speichern unter" under a typed name and under its own suggested name; F2's dialog on
// a.jpg beside A.jpg and on a Latin-1 name; photos copied into the shown folder, and the
// shown folder deleted.
#include "main_window.h"
#include "sample_looks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace e2e {
namespace {

// Files of a test made and read by their bytes, the way a card or an old archive has them.
QByteArray ReadNative(const QByteArray& path) {
  QFile file;
  const int fd = ::open(path.constData(), O_RDONLY);
  if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return "<missing>";
  return file.readAll();
}

bool WriteNative(const QByteArray& path, const QByteArray& bytes) {
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
  return ::close(fd) == 0 && written;
}

// Qt cannot remove what it cannot name: the Latin-1 entries of a test go by their bytes.
struct RemoveByBytes {
  std::vector<QByteArray> files;
  QByteArray folder;
  ~RemoveByBytes() {
    for (const QByteArray& file : files) ::unlink(file.constData());
    ::rmdir(folder.constData());
  }
};

QByteArray SampleBytes(int width) {
  SampleJpegOptions options;
  options.width = width;
  const std::vector<uint8_t> jpeg = MakeSampleJpeg(options);
  return QByteArray(reinterpret_cast<const char*>(jpeg.data()), static_cast<qsizetype>(jpeg.size()));
}

bool WaitForCount(const Velarim& velarim, size_t count) {
  return WaitUntil([&] { return velarim.VisibleWindows().size() == count; }, 5s);
}

// F2 on the selected file: the dialog it brings, focused, or nothing.
std::optional<Window> OpenF2Dialog(Display& display, Velarim& velarim) {
  display.Key(QStringLiteral("F2"));
  const std::optional<Window> dialog =
      velarim.WaitForWindow(QStringLiteral("Bearbeitungsmöglichkeiten mit der rechten Maustaste .."));
  if (!dialog || !display.Focus(*dialog)) return std::nullopt;
  return dialog;
}

// Escape closes the F2 dialog, Alt+F4 the program, which exits with 0.
void CloseDialogThenProgram(Display& display, Velarim& velarim, const Window& dialog, const Window& main) {
  display.Key(QStringLiteral("Escape"));
  ASSERT_TRUE(velarim.WaitForWindowGone(dialog.id));
  ASSERT_TRUE(CloseMainWindow(display, velarim, main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

TEST(NamesAndDiskTest, Latin1PhotoIsCopiedByItsBytesUnderATypedAndUnderItsSuggestedName) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QByteArray base = QFile::encodeName(QDir(root.path()).canonicalPath());
  const QByteArray folder = base + "/Alben \xE4";
  const QByteArray name = "Gr\xFC\xDF" "e aus K\xF6ln.jpg";
  ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
  ASSERT_EQ(::mkdir((base + "/Kopien").constData(), 0755), 0);
  const QByteArray photo = SampleBytes(320);
  ASSERT_TRUE(WriteNative(folder + "/" + name, photo));
  const RemoveByBytes removeByBytes{{folder + "/" + name, folder + "/Kopie.jpg", base + "/Kopien/" + name}, folder};

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + folder + "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(PreviewFileRow(display, *main, 0)) << "the photo was not selected";

  // A typed name: the copy goes beside the photo, in the Latin-1 folder.
  display.Key(QStringLiteral("ctrl+shift+s"));
  std::optional<Window> dialog = velarim.WaitForWindow(QString(), QStringLiteral("dialog"));
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*dialog));
  display.Key(QStringLiteral("ctrl+a"));
  display.Type(QStringLiteral("Kopie"));
  display.Key(QStringLiteral("Return"));
  ASSERT_TRUE(velarim.WaitForWindowGone(dialog->id)) << "the save dialog stayed open";
  EXPECT_TRUE(WaitUntil([&] { return ReadNative(folder + "/Kopie.jpg") == photo; }, 5s))
      << "no byte-identical Kopie.jpg in the Latin-1 folder";

  // The suggested name kept, only another folder typed in front of it.
  display.Key(QStringLiteral("ctrl+shift+s"));
  dialog = velarim.WaitForWindow(QString(), QStringLiteral("dialog"));
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*dialog));
  display.Key(QStringLiteral("Home"));
  display.Type(QString::fromUtf8(base) + QStringLiteral("/Kopien/"));
  display.Key(QStringLiteral("Return"));
  ASSERT_TRUE(velarim.WaitForWindowGone(dialog->id)) << "the save dialog stayed open";
  EXPECT_TRUE(WaitUntil([&] { return ReadNative(base + "/Kopien/" + name) == photo; }, 5s))
      << "no byte-identical copy under the photo's own Latin-1 name: "
      << QDir(QFile::decodeName(base + "/Kopien")).entryList(QDir::Files).join(u' ').toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

// The dialog of "Bearbeiten" lists one file: deleting what it lists, first the selected
// file and then whatever is last in the list, leaves the other photo alone.
TEST(NamesAndDiskTest, F2ListsOnlyTheFileOfExactlyThatName) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString lower = folder.filePath(QStringLiteral("a.jpg"));
  const QString upper = folder.filePath(QStringLiteral("A.jpg"));
  ASSERT_TRUE(WriteNative(QFile::encodeName(lower), SampleBytes(320)));
  ASSERT_TRUE(WriteNative(QFile::encodeName(upper), SampleBytes(400)));

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(folder.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(PreviewFileRow(display, *main, 0));
  const size_t windows = velarim.VisibleWindows().size();

  const std::optional<Window> dialog = OpenF2Dialog(display, velarim);
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  // From the name field back to the list, where the selected file is the current one.
  for (const char* keys : {"shift+Tab", "Delete"}) display.Key(QString::fromLatin1(keys));
  ASSERT_TRUE(WaitForCount(velarim, windows + 2)) << "no question before deleting";
  // "Ja" or "Yes", as the desktop's language has it.
  for (const char* keys : {"j", "y"}) display.Key(QString::fromLatin1(keys));
  ASSERT_TRUE(WaitUntil([&] { return QFile::exists(lower) != QFile::exists(upper); }, 5s))
      << "the selected photo was not deleted";
  const QString survivor = QFile::exists(lower) ? lower : upper;
  ASSERT_TRUE(WaitForCount(velarim, windows + 1));

  // Another listed file would now be the last one, and be asked about.
  for (const char* keys : {"End", "Delete"}) display.Key(QString::fromLatin1(keys));
  EXPECT_FALSE(WaitForCount(velarim, windows + 2)) << "the dialog listed another file";
  for (const char* keys : {"j", "y"}) display.Key(QString::fromLatin1(keys));
  EXPECT_TRUE(QFile::exists(survivor)) << "the other photo was listed and deleted";

  CloseDialogThenProgram(display, velarim, *dialog, *main);
}

// F2 on a Latin-1 name, which Qt's own dialog cannot list: the dialog lists that file
// alone, first and last, and renames and deletes it by its bytes.
TEST(NamesAndDiskTest, F2OnALatin1NameListsThatFileAloneToRenameAndDelete) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QByteArray folder = QFile::encodeName(QDir(root.path()).canonicalPath()) + "/Alben \xE4";
  const QByteArray latin1 = folder + "/Gr\xFC\xDF" "e aus K\xF6ln.jpg";
  ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
  const QByteArray photo = SampleBytes(320);
  ASSERT_TRUE(WriteNative(latin1, photo));
  ASSERT_TRUE(WriteNative(folder + "/a.jpg", SampleBytes(400)));
  ASSERT_TRUE(WriteNative(folder + "/z.jpg", SampleBytes(480)));
  const RemoveByBytes removeByBytes{{latin1, folder + "/a.jpg", folder + "/z.jpg", folder + "/Koeln.jpg"}, folder};

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + folder + "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(PreviewFileRow(display, *main, 1)) << "the Latin-1 photo was not selected";
  const size_t windows = velarim.VisibleWindows().size();

  const std::optional<Window> dialog = OpenF2Dialog(display, velarim);
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  for (const char* keys : {"Home", "F2", "ctrl+a"}) display.Key(QString::fromLatin1(keys));
  display.Type(QStringLiteral("Koeln.jpg"));
  display.Key(QStringLiteral("Return"));
  ASSERT_TRUE(WaitUntil([&] { return ReadNative(folder + "/Koeln.jpg") == photo; }, 5s))
      << "the first listed file was not the Latin-1 photo, renamed by its bytes";
  EXPECT_EQ(::access(latin1.constData(), F_OK), -1) << "the Latin-1 name is still there";

  for (const char* keys : {"End", "Delete"}) display.Key(QString::fromLatin1(keys));
  ASSERT_TRUE(WaitForCount(velarim, windows + 2)) << "no question before deleting";
  for (const char* keys : {"j", "y"}) display.Key(QString::fromLatin1(keys));
  EXPECT_TRUE(WaitUntil([&] { return ::access((folder + "/Koeln.jpg").constData(), F_OK) == -1; }, 5s))
      << "the last listed file was not the renamed photo";
  EXPECT_EQ(ReadNative(folder + "/a.jpg"), SampleBytes(400));
  EXPECT_EQ(ReadNative(folder + "/z.jpg"), SampleBytes(480));

  CloseDialogThenProgram(display, velarim, *dialog, *main);
}

// Photos copied into the shown folder appear without a click; the shown folder deleted
// takes the lists to its parent with one report naming it, and the parent is stored.
TEST(NamesAndDiskTest, ListsFollowCopiedPhotosAndADeletedFolder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString parent = QDir(root.path()).canonicalPath();
  const QString shown = parent + QStringLiteral("/Urlaub");
  ASSERT_TRUE(QDir().mkdir(shown));
  ASSERT_TRUE(WriteNative(QFile::encodeName(shown + "/a.jpg"), SampleBytes(320)));

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(shown)});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QRect thirdRow(FileRowOf(*main, 2) - QPoint(40, 8), QSize(150, 16));
  const QImage emptyRow = display.SettledScreenshot(thirdRow);

  ASSERT_TRUE(WriteNative(QFile::encodeName(shown + "/b.jpg"), SampleBytes(400)));
  ASSERT_TRUE(WriteNative(QFile::encodeName(shown + "/c.jpg"), SampleBytes(480)));
  EXPECT_TRUE(WaitUntil([&] { return display.Screenshot(thirdRow) != emptyRow; }, 5s))
      << "the copied photos do not show in the file list";

  ASSERT_TRUE(QDir(shown).removeRecursively());
  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"));
  ASSERT_TRUE(box) << velarim.Log().toStdString();
  ExpectErrorReport(display, *box, QStringLiteral("Der Ordner %1 ist nicht mehr vorhanden.").arg(shown));
  ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));
  EXPECT_FALSE(velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"), 1s))
      << "more than one report";

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
  EXPECT_TRUE(velarim.Settings().contains("letztes=" + parent.toUtf8() + "\n")) << velarim.Settings().toStdString();
}

}  // namespace
}  // namespace e2e
