// Every way of closing the main window ends the process within two seconds, on a
// desktop with a window manager and on a bare X server, and writes the settings once;
// also while the zoom window is shown, and after the modal information window, which
// keeps the main window from closing while it is up, has been closed.
#include "main_window.h"
#include "tools/sample_jpeg.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace e2e {
namespace {

const QString kZoomTitle = QStringLiteral("VELARIM--> Zoomansicht ...");
const QString kInfoTitle = QStringLiteral("www.velarim.example.org .. immer ein Besuch wert");

// What else is on the screen when the main window is closed.
enum class Secondary { None, Zoom, Info };

struct CloseCase {
  WindowManager manager;
  CloseWay way;
  Secondary shown = Secondary::None;
};

class CloseTest : public ::testing::TestWithParam<CloseCase> {
 protected:
  // The folder the program starts in: its home, or a folder with one picture to zoom.
  QString startFolder(const Velarim& velarim) const {
    return GetParam().shown == Secondary::Zoom ? QDir(pictures_.path()).canonicalPath()
                                               : QDir(velarim.HomeDir()).canonicalPath();
  }
  VelarimOptions options() {
    if (GetParam().shown != Secondary::Zoom) return {};
    const std::vector<uint8_t> jpeg = MakeSampleJpeg({});
    QFile file(pictures_.filePath(QStringLiteral("bild.jpg")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    return {.settings = LastFolderSettings(pictures_.path())};
  }

  QTemporaryDir pictures_;
};

// A person previews the picture and chooses "&Zoom"; the zoom window stays up.
void ShowZoomWindow(const Display& display, const Velarim& velarim, const Window& main) {
  ASSERT_TRUE(PreviewFileRow(display, main, 0)) << "the preview did not show the picture";
  display.Click(MenuTitleOf(main, 1));
  ASSERT_TRUE(velarim.WaitForWindow(kZoomTitle)) << velarim.Log().toStdString();
}

// "In&fo" shows the modal information window. While it is up the main window refuses
// its close button; Escape closes the window, and only then is the main window closed.
void ShowAndCloseInfoWindow(const Display& display, Velarim& velarim, const Window& main) {
  display.Click(MenuTitleOf(main, 2));
  ASSERT_TRUE(WaitForDropDownMenu(velarim, MenuTitleOf(main, 2)));
  display.Key(QStringLiteral("f"));
  const std::optional<Window> info = velarim.WaitForWindow(kInfoTitle);
  ASSERT_TRUE(info) << velarim.Log().toStdString();
  display.Click(CloseButtonOf(main));
  ASSERT_TRUE(display.Focus(*info));
  display.Key(QStringLiteral("Escape"));
  ASSERT_TRUE(velarim.WaitForWindowGone(info->id));
  // The click came before the key, so it has been handled: it closed nothing.
  EXPECT_TRUE(velarim.Running());
  EXPECT_EQ(velarim.SettingsWrites(), 0);
}

TEST_P(CloseTest, ProcessEndsWithinTwoSecondsAndWritesSettingsOnce) {
  Display display(GetParam().manager);
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, options());
  ASSERT_TRUE(velarim.Started());
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  if (GetParam().shown == Secondary::Zoom) ShowZoomWindow(display, velarim, *main);
  if (GetParam().shown == Secondary::Info) ShowAndCloseInfoWindow(display, velarim, *main);
  if (HasFatalFailure()) return;

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, GetParam().way));
  const std::optional<int> exitCode = velarim.WaitForExit(2s);
  ASSERT_TRUE(exitCode) << "still running 2 s after the close";
  EXPECT_EQ(*exitCode, 0) << velarim.Log().toStdString();

  // One close writes its two keys; each one whose value changes replaces the file once
  // (the zoom case starts with its folder stored already).
  EXPECT_EQ(velarim.SettingsWrites(), GetParam().shown == Secondary::Zoom ? 1 : 2);
  const QByteArray expected =
      "[Verzeichnisse]\nletztes=" + startFolder(velarim).toUtf8() + "\n[OnlineHilfe]\nStatus=1\n";
  EXPECT_EQ(velarim.Settings(), expected);
}

std::string CaseName(const ::testing::TestParamInfo<CloseCase>& info) {
  static const char* const shown[] = {"", "_ZoomShown", "_AfterInfo"};
  return std::string(info.param.manager == WindowManager::Openbox ? "Openbox" : "NoWindowManager") + "_" +
         CloseWayName(info.param.way) + shown[static_cast<int>(info.param.shown)];
}

std::vector<CloseCase> AllCases() {
  std::vector<CloseCase> cases;
  for (const CloseWay way : {CloseWay::TitleBarButton, CloseWay::AltF4, CloseWay::MenuBeenden}) {
    for (const WindowManager manager : {WindowManager::Openbox, WindowManager::None}) cases.push_back({manager, way});
    cases.push_back({WindowManager::Openbox, way, Secondary::Zoom});
    cases.push_back({WindowManager::Openbox, way, Secondary::Info});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CloseTest, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace e2e
