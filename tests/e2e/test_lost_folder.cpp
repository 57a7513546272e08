// A stored last folder that is gone (a stick unplugged, a folder removed), on a real
// desktop: the error box tells the person, then the start goes on completely. The
// folder list shows the folder above the lost one, the file list holds only the
// pictures of the mask, the controls have their frames as at a normal start, and a long
// decode shows its percentage in the title.
#include "main_window.h"
#include "sample_looks.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// The folder and file lists with their frames, in window coordinates.
constexpr QRect kLists(4, 300, 718, 170);

QByteArray SettingsFor(const QString& folder) { return "[Verzeichnisse]\nletztes=" + folder.toUtf8() + "\n"; }

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(LostFolderTest, ErrorBoxThenParentWithMaskFramesAndDecodeProgress) {
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  const QString folder = QDir(pictures.path()).canonicalPath();
  SampleJpegOptions small;
  small.width = 640;
  small.height = 480;
  ASSERT_TRUE(WriteBytes(folder + "/bild.jpeg", MakeSampleJpeg(small)));
  ASSERT_TRUE(WriteBytes(folder + "/langsam.jpg", MakeSampleJpeg(SlowToDecode())));
  // Sorted among the pictures, these two would take rows 1 and 3 if the mask were ignored.
  ASSERT_TRUE(WriteFile(folder + "/bild.png", "\x89PNG\r\n\x1a\n"));
  ASSERT_TRUE(WriteFile(folder + "/notiz.txt", "Notiz"));
  // The folder made, stored as the last one, and removed before the next start.
  const QString lost = folder + "/Urlaub";
  ASSERT_TRUE(QDir().mkdir(lost));
  const QByteArray stored = SettingsFor(lost);
  ASSERT_TRUE(QDir().rmdir(lost));

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  // How the lists look at a normal start in that folder.
  QImage normalLists;
  {
    Velarim normal(display, {.settings = SettingsFor(folder)});
    const std::optional<Window> main = normal.WaitForMainWindow();
    ASSERT_TRUE(main) << normal.Log().toStdString();
    normalLists = display.SettledScreenshot(kLists.translated(main->geometry.topLeft()));
    ASSERT_TRUE(CloseMainWindow(display, normal, *main, CloseWay::AltF4));
    ASSERT_EQ(normal.WaitForExit(10s), 0) << normal.Log().toStdString();
  }

  Velarim velarim(display, {.settings = stored});
  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"));
  ASSERT_TRUE(box) << velarim.Log().toStdString();
  ExpectErrorReport(display, *box, QStringLiteral("Datei nicht gefunden."));
  ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  // The parent folder, framed lists, the same two pictures listed as at a normal start.
  const QImage lists = display.SettledScreenshot(kLists.translated(main->geometry.topLeft()));
  const qint64 differing = DifferingPixels(lists, normalLists);
  if (differing != 0) {
    lists.save(QDir::temp().filePath(QStringLiteral("velarim-lost-folder-lists.png")));
    normalLists.save(QDir::temp().filePath(QStringLiteral("velarim-normal-lists.png")));
  }
  EXPECT_EQ(differing, 0) << "the lists differ from a normal start; both pictures are in "
                          << QDir::tempPath().toStdString();
  // Row 2 is as empty as row 6: notiz.txt is not listed after the pictures.
  const QSize row(200, 14);
  EXPECT_EQ(display.Screenshot(QRect(FileRowOf(*main, 2) - QPoint(0, 7), row)),
            display.Screenshot(QRect(FileRowOf(*main, 6) - QPoint(0, 7), row)));
  ASSERT_TRUE(PreviewFileRow(display, *main, 0));
  EXPECT_TRUE(ShowsColourPattern(display.Screenshot(PreviewCanvasOf(*main)))) << "row 0 is not bild.jpeg";

  // Row 1 is the slow picture (not bild.png): its decode shows in the title, which then
  // shows the program's title again.
  ASSERT_TRUE(display.Focus(*main));
  const QRect title = PaintedTitleOf(*main);
  const QImage programTitle = display.SettledScreenshot(title);
  display.Click(FileRowOf(*main, 1));
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(display.Screenshot(title), programTitle) > 0; }, 20s))
      << "no progress in the title";
  EXPECT_TRUE(WaitUntil([&] { return DifferingPixels(display.Screenshot(title), programTitle) == 0; }, 30s))
      << "the title never came back";
  EXPECT_TRUE(ShowsColourPattern(display.SettledScreenshot(PreviewCanvasOf(*main))));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  ASSERT_EQ(velarim.WaitForExit(10s), 0) << velarim.Log().toStdString();
  EXPECT_TRUE(velarim.Settings().startsWith(SettingsFor(folder))) << velarim.Settings().toStdString();
}

}  // namespace
}  // namespace e2e
