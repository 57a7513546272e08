#include "main_window.h"

namespace e2e {

namespace {

constexpr int kBorder = 4;
constexpr int kCaptionHeight = 19;
constexpr int kMenuBarMiddle = kBorder + kCaptionHeight + 9;
// Left edges of the menu titles "Datei", "Zoom", "Hilfe" in the menu bar.
constexpr int kMenuTitleX[] = {kBorder + 14, kBorder + 60, kBorder + 106};
// Height from a menu's bottom edge to the middle of its last item.
constexpr int kLastItemFromBottom = 14;
constexpr int kItemHeight = 22;

}  // namespace

QPoint CloseButtonOf(const Window& main) {
  return main.geometry.topLeft() + QPoint(main.geometry.width() - kBorder - 11, kBorder + 9);
}

QPoint MenuTitleOf(const Window& main, int index) {
  return main.geometry.topLeft() + QPoint(kMenuTitleX[index], kMenuBarMiddle);
}

QPoint ClientPointOf(const Window& main) {
  // The empty area of the tool bar, right of its buttons and below the hint text.
  return main.geometry.topLeft() + QPoint(main.geometry.width() - 60, kMenuBarMiddle + 70);
}

const char* CloseWayName(CloseWay way) {
  switch (way) {
    case CloseWay::TitleBarButton: return "TitleBarButton";
    case CloseWay::AltF4: return "AltF4";
    case CloseWay::MenuBeenden: return "MenuBeenden";
  }
  return "?";
}

bool ChooseMenuItemFromBottom(const Display& display, const Velarim& velarim, const Window& main, int menuIndex,
                              int itemFromBottom) {
  display.Click(MenuTitleOf(main, menuIndex));
  std::optional<Window> menu;
  WaitUntil(
      [&] {
        for (const Window& window : velarim.VisibleWindows()) {
          if (window.type == QStringLiteral("dropdown_menu") || window.type == QStringLiteral("popup_menu")) {
            menu = window;
            return true;
          }
        }
        return false;
      },
      5s);
  if (!menu) return false;
  const QRect area = menu->geometry;
  display.Click(QPoint(area.left() + 30, area.bottom() - kLastItemFromBottom - itemFromBottom * kItemHeight));
  return true;
}

bool CloseMainWindow(const Display& display, const Velarim& velarim, const Window& main, CloseWay way) {
  switch (way) {
    case CloseWay::TitleBarButton:
      display.Click(CloseButtonOf(main));
      return true;
    case CloseWay::AltF4:
      // A person first clicks into the window, so that it has the keyboard focus.
      display.Click(ClientPointOf(main));
      if (!display.Focus(main)) return false;
      display.Key(QStringLiteral("alt+F4"));
      return true;
    case CloseWay::MenuBeenden:
      return ChooseMenuItemFromBottom(display, velarim, main, 0, 0);
  }
  return false;
}

}  // namespace e2e
