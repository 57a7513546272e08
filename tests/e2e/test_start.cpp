// The start as a person sees it: the main window at its designed place and size, the
// settings written at the close without disturbing the rest of the file, and a stored
// folder that is gone reported in the error box, after which the program goes on.
#include "main_window.h"

#include <QDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// Client area 718 x 465 inside a 4 px border, a 19 px title bar and the menu bar.
constexpr int kDesignWidth = 718 + 2 * 4;
constexpr int kHeightWithoutMenu = 465 + 2 * 4 + 19;

class StartTest : public ::testing::TestWithParam<WindowManager> {
 protected:
  QByteArray folderShown(const Velarim& velarim) const { return QDir(velarim.HomeDir()).canonicalPath().toUtf8(); }
};

TEST_P(StartTest, FirstStartShowsMainWindowAtDesignPlaceAndSize) {
  Display display(GetParam());
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  EXPECT_EQ(main->geometry.topLeft(), QPoint(236, 117));
  EXPECT_EQ(main->geometry.width(), kDesignWidth);
  const int menuBar = main->geometry.height() - kHeightWithoutMenu;
  EXPECT_TRUE(menuBar >= 16 && menuBar <= 30) << "menu bar " << menuBar << " px high";
  // The only window shown is the main window; nothing is written before the close.
  EXPECT_EQ(velarim.VisibleWindows().size(), 1u);
  EXPECT_EQ(velarim.SettingsWrites(), 0);
  EXPECT_FALSE(QFile::exists(velarim.SettingsFile()));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  ASSERT_EQ(velarim.WaitForExit(2s), 0) << velarim.Log().toStdString();
  EXPECT_EQ(velarim.Settings(), "[Verzeichnisse]\nletztes=" + folderShown(velarim) + "\n[OnlineHilfe]\nStatus=1\n");
}

TEST_P(StartTest, CloseKeepsCommentsAndOtherSectionsOfTheSettingsFile) {
  Display display(GetParam());
  ASSERT_TRUE(display.Ready()) << display.Failure();
  const QByteArray before = "; Einstellungen von Velarim\r\n[Fremd]\r\nWert=1\r\n\r\n[OnlineHilfe]\r\n"
                            "; an oder aus\r\nStatus=0\r\n";
  Velarim velarim(display, {.settings = before});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::MenuBeenden));
  ASSERT_EQ(velarim.WaitForExit(2s), 0) << velarim.Log().toStdString();
  // The stored hint state is written back unchanged; the folder goes into a new last section.
  EXPECT_EQ(velarim.Settings(), before + "[Verzeichnisse]\r\nletztes=" + folderShown(velarim) + "\r\n");
}

TEST_P(StartTest, MissingStoredFolderIsReportedAndNextCloseStoresFolderShown) {
  Display display(GetParam());
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=/no/such/folder/anywhere\n"});
  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"));
  ASSERT_TRUE(box) << velarim.Log().toStdString();
  // The report comes while the main window is being created, before it is shown.
  EXPECT_EQ(velarim.VisibleWindows().size(), 1u);
  ExpectErrorReport(display, *box, QStringLiteral("Datei nicht gefunden."));

  ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::TitleBarButton));
  ASSERT_EQ(velarim.WaitForExit(2s), 0) << velarim.Log().toStdString();
  // The folder list went to the nearest folder above the lost one that exists, the root.
  EXPECT_EQ(velarim.Settings(), "[Verzeichnisse]\nletztes=/\n[OnlineHilfe]\nStatus=1\n");
}

TEST_P(StartTest, SettingsThatCannotBeWrittenAreReportedAndTheProgramStillEnds) {
  Display display(GetParam());
  ASSERT_TRUE(display.Ready()) << display.Failure();
  // A folder in the settings file's place: reading finds nothing, replacing it fails.
  Velarim velarim(display, {.prepare = [](const QString& programDir) { QDir(programDir).mkdir("velarim.ini"); }});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"));
  ASSERT_TRUE(box) << velarim.Log().toStdString();
  ExpectErrorReport(display, *box,
                    QStringLiteral("nach %1 kann nicht geschrieben werden.").arg(velarim.SettingsFile()));
  ASSERT_TRUE(display.Focus(*box));
  display.Key(QStringLiteral("Return"));
  ASSERT_EQ(velarim.WaitForExit(2s), 0) << velarim.Log().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Desktop, StartTest, ::testing::Values(WindowManager::Openbox, WindowManager::None),
                         [](const ::testing::TestParamInfo<WindowManager>& test) {
                           return test.param == WindowManager::Openbox ? "Openbox" : "NoWindowManager";
                         });

}  // namespace
}  // namespace e2e
