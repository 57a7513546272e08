// "Speichern unter..." on a desktop, in Qt's own save dialog: a name typed without an
// extension gets the photo's own (never the dialog's "URL", which would make the copy an
// internet shortcut), and the copy shows in the file list of the folder at once.
#include "main_window.h"
#include "sample_looks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SaveAsTest, NameWithoutExtensionGetsThePhotosOwnAndTheCopyShowsInTheList) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString photo = folder.filePath(QStringLiteral("Sturm.jpg"));
  ASSERT_TRUE(WriteBytes(photo, MakeSampleJpeg(SampleJpegOptions{})));
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display,
                  {.settings = LastFolderSettings(folder.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(PreviewFileRow(display, *main, 0)) << "the photo was not selected";
  const QRect secondRow(FileRowOf(*main, 1) - QPoint(40, 8), QSize(150, 16));
  const QImage emptyRow = display.SettledScreenshot(secondRow);

  display.Key(QStringLiteral("ctrl+shift+s"));
  const std::optional<Window> dialog = velarim.WaitForWindow(QString(), QStringLiteral("dialog"));
  ASSERT_TRUE(dialog) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*dialog));
  display.Key(QStringLiteral("ctrl+a"));  // the name field holds the photo's name
  display.Type(QStringLiteral("Sturm-Kopie"));
  display.Key(QStringLiteral("Return"));
  ASSERT_TRUE(velarim.WaitForWindowGone(dialog->id)) << "the save dialog stayed open";

  const QString copy = folder.filePath(QStringLiteral("Sturm-Kopie.jpg"));
  EXPECT_TRUE(WaitUntil([&] { return QFile::exists(copy); }, 5s))
      << QDir(folder.path()).entryList(QDir::Files).join(u' ').toStdString();
  EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("Sturm-Kopie.URL"))));
  EXPECT_EQ(ReadAll(copy), ReadAll(photo));
  EXPECT_TRUE(WaitUntil([&] { return display.Screenshot(secondRow) != emptyRow; }, 5s))
      << "the copy does not show in the file list";

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
