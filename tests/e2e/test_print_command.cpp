// The print and zoom commands on a real desktop with nothing previewed yet: each one
// only says which step comes first, in a message box of its own that Enter closes; no
// print format dialog, no zoom window, and the program goes on.
#include "main_window.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

std::optional<Window> OtherWindowTitled(const Velarim& velarim, const Window& main, const QString& title) {
  for (const Window& window : velarim.VisibleWindows()) {
    if (window.id != main.id && window.title == title) return window;
  }
  return std::nullopt;
}

void ExpectOnlyTheNotice(const Display& display, const Velarim& velarim, const Window& main) {
  std::optional<Window> notice;
  ASSERT_TRUE(WaitUntil([&] { return (notice = OtherWindowTitled(velarim, main, QStringLiteral("Velarim"))).has_value(); }, 10s))
      << velarim.Log().toStdString();
  // A small box with the application title; the format dialog and the zoom window stay hidden.
  EXPECT_LT(notice->geometry.width(), 600);
  EXPECT_FALSE(OtherWindowTitled(velarim, main, QStringLiteral("Arbeitsblattdialog mit Seitenregistern")));
  EXPECT_FALSE(OtherWindowTitled(velarim, main, QStringLiteral("VELARIM--> Zoomansicht ...")));
  ASSERT_TRUE(display.Focus(*notice));
  display.Key(QStringLiteral("Return"));
  EXPECT_TRUE(velarim.WaitForWindowGone(notice->id)) << "the notice stayed open";
  EXPECT_TRUE(velarim.Running());
}

TEST(PrintCommandTest, CtrlDAndZoomWithoutAPictureOnlyShowTheNotice) {
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display);
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  ASSERT_TRUE(display.Focus(*main));
  display.Key(QStringLiteral("ctrl+d"));
  ExpectOnlyTheNotice(display, velarim, *main);

  display.Click(MenuTitleOf(*main, 1));  // "&Zoom"
  ExpectOnlyTheNotice(display, velarim, *main);

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
