// Every way of closing the main window ends the process within two seconds, on a
// desktop with a window manager and on a bare X server, and writes the settings once.
#include "main_window.h"

#include <QDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

struct CloseCase {
  WindowManager manager;
  CloseWay way;
};

class CloseTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseTest, ProcessEndsWithinTwoSecondsAndWritesSettingsOnce) {
  Display display(GetParam().manager);
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display);
  ASSERT_TRUE(velarim.Started());
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, GetParam().way));
  const std::optional<int> exitCode = velarim.WaitForExit(2s);
  ASSERT_TRUE(exitCode) << "still running 2 s after the close";
  EXPECT_EQ(*exitCode, 0) << velarim.Log().toStdString();

  // One close writes its two keys, each replacing the file once.
  EXPECT_EQ(velarim.SettingsWrites(), 2);
  const QByteArray expected = "[Verzeichnisse]\nletztes=" + QDir(velarim.HomeDir()).canonicalPath().toUtf8() +
                              "\n[OnlineHilfe]\nStatus=1\n";
  EXPECT_EQ(velarim.Settings(), expected);
}

std::string CaseName(const ::testing::TestParamInfo<CloseCase>& info) {
  return std::string(info.param.manager == WindowManager::Openbox ? "Openbox" : "NoWindowManager") + "_" +
         CloseWayName(info.param.way);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CloseTest,
    ::testing::Values(CloseCase{WindowManager::Openbox, CloseWay::TitleBarButton},
                      CloseCase{WindowManager::Openbox, CloseWay::AltF4},
                      CloseCase{WindowManager::Openbox, CloseWay::MenuBeenden},
                      CloseCase{WindowManager::None, CloseWay::TitleBarButton},
                      CloseCase{WindowManager::None, CloseWay::AltF4},
                      CloseCase{WindowManager::None, CloseWay::MenuBeenden}),
    CaseName);

}  // namespace
}  // namespace e2e
