#pragma once
// What a person knows of Velarim's main window: where its own title bar puts the close
// button, where the menu titles are, and how each way of closing it is done.

#include "harness.h"

namespace e2e {

// Points of the main window's self-drawn frame (4 px border, 19 px caption, menu bar below).
QPoint CloseButtonOf(const Window& main);
QPoint MenuTitleOf(const Window& main, int index);  // 0 "Datei", 1 "Zoom", 2 "Hilfe"
QPoint ClientPointOf(const Window& main);            // inside the client area, on no control that reacts

enum class CloseWay { TitleBarButton, AltF4, MenuBeenden };
const char* CloseWayName(CloseWay way);

// Opens the menu with the given title and clicks its item counted from the bottom (0 the last).
bool ChooseMenuItemFromBottom(const Display& display, const Velarim& velarim, const Window& main, int menuIndex,
                              int itemFromBottom);

// Closes the main window the way a person does it: a click on the close button of its
// title bar, Alt+F4 on the focused window, or "&Beenden" from the "&Datei" menu.
bool CloseMainWindow(const Display& display, const Velarim& velarim, const Window& main, CloseWay way);

}  // namespace e2e
