#pragma once
// What a person knows of Velarim's main window: where its own title bar puts the close
// button, where the menu titles are, and how each way of closing it is done.

#include "harness.h"

#include <array>

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
// The same for the menu title at this point of any of the program's windows.
bool ChooseMenuItemFromBottom(const Display& display, const Velarim& velarim, QPoint menuTitle, int itemFromBottom);
// The drop-down menu that opens just below the menu title at this point, once it is mapped.
std::optional<Window> WaitForDropDownMenu(const Velarim& velarim, QPoint menuTitle, Milliseconds timeout = 5s);

// Parts of the main window at its designed size, relative to its top-left corner: below
// the frame, menu bar and toolbar, the page control's first sheet holds the preview canvas
// Image3 and the quad split abcQuadSplit1; under the pages, the mask row, then the folder
// list and, right of it, the file list.
inline constexpr QRect kPreviewCanvasInWindow(19, 160, 122, 88);
inline constexpr QRect kQuadSplitInWindow(196, 161, 169, 89);

// A part of the folder list (its top rows), on the screen.
QRect FolderListOf(const Window& main);
// The title text painted in the main window's own title bar, left of where the
// gradient reaches its end colour.
QRect PaintedTitleOf(const Window& main);

// Expects the box to be the program's error report with this text (the full stop of the
// report included), compared with a reference box of the same caption and text.
void ExpectErrorReport(const Display& display, const Window& box, const QString& text);
// Confirms a message box with Enter; true once it is gone.
bool ConfirmWithEnter(const Display& display, const Velarim& velarim, const Window& box);

// A point in the file list's row (0 the first) and in the folder list's row, on the screen.
QPoint FileRowOf(const Window& main, int row);
QPoint FolderRowOf(const Window& main, int row);
// The first sheet's preview canvas and quad split, on the screen.
QRect PreviewCanvasOf(const Window& main);
QRect QuadSplitOf(const Window& main);
// Clicks the file list's row and waits until the preview canvas has changed and settled.
bool PreviewFileRow(const Display& display, const Window& main, int row);

// A page of the page control ("9 cm x 13 cm" the first, "13 cm x 9 cm" the second):
// where its tab and its quad split are in the main window, and the four panes of the
// split, clockwise from the top left, in split coordinates.
struct Sheet {
  QPoint tab;
  QRect split;
  std::array<QRect, 4> panes;
  QPoint barFace;  // a pixel of the vertical bar's face: the button face colour
};

inline const Sheet kFirstSheet{{60, 138},
                               {196, 161, 169, 89},
                               {QRect(1, 1, 82, 42), QRect(87, 1, 81, 42), QRect(87, 47, 81, 41), QRect(1, 47, 82, 41)},
                               {84, 20}};
inline const Sheet kSecondSheet{{158, 138},
                                {128, 161, 81, 89},
                                {QRect(1, 1, 37, 42), QRect(42, 1, 38, 42), QRect(42, 47, 38, 41), QRect(1, 47, 37, 41)},
                                {39, 20}};

// Closes the main window the way a person does it: a click on the close button of its
// title bar, Alt+F4 on the focused window, or "&Beenden" from the "&Datei" menu.
bool CloseMainWindow(const Display& display, const Velarim& velarim, const Window& main, CloseWay way);

}  // namespace e2e
