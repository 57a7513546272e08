#include "main_window.h"

#include <QDir>
#include <gtest/gtest.h>

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
// The file list right of the folder list, below the tool bar, the slide pages and the mask row;
// both lists start at the same height.
constexpr QPoint kFirstFileRow(240, 325);
constexpr int kFileRowHeight = 18;
constexpr QPoint kFirstFolderRow(60, 325);
constexpr int kFolderRowHeight = 17;
// The top rows of the folder list, left of the file list.
constexpr QRect kFolderListTop(10, 315, 170, 120);
// The painted title's rows inside the frame, up to the gradient's end colour.
constexpr QRect kPaintedTitle(8, 4, 600, 18);

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

std::optional<Window> WaitForDropDownMenu(const Velarim& velarim, QPoint menuTitle, Milliseconds timeout) {
  // Qt types only the first showing of each menu as a drop-down menu; every showing is a
  // window the window manager leaves alone, with its top edge just below the title.
  const QRect menuCorner(menuTitle - QPoint(60, 0), QSize(80, 30));
  std::optional<Window> menu;
  WaitUntil(
      [&] {
        for (const Window& window : velarim.VisibleWindows()) {
          const bool typed = window.type == QStringLiteral("dropdown_menu") || window.type == QStringLiteral("popup_menu");
          if ((typed || window.overrideRedirect) && menuCorner.contains(window.geometry.topLeft())) {
            menu = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return menu;
}

bool ChooseMenuItemFromBottom(const Display& display, const Velarim& velarim, QPoint menuTitle, int itemFromBottom) {
  display.Click(menuTitle);
  const std::optional<Window> menu = WaitForDropDownMenu(velarim, menuTitle);
  if (!menu) return false;
  const QRect area = menu->geometry;
  display.Click(QPoint(area.left() + 30, area.bottom() - kLastItemFromBottom - itemFromBottom * kItemHeight));
  return true;
}

bool ChooseMenuItemFromBottom(const Display& display, const Velarim& velarim, const Window& main, int menuIndex,
                              int itemFromBottom) {
  return ChooseMenuItemFromBottom(display, velarim, MenuTitleOf(main, menuIndex), itemFromBottom);
}

QRect FolderListOf(const Window& main) { return kFolderListTop.translated(main.geometry.topLeft()); }
QRect PaintedTitleOf(const Window& main) { return kPaintedTitle.translated(main.geometry.topLeft()); }

bool ConfirmWithEnter(const Display& display, const Velarim& velarim, const Window& box) {
  if (!display.Focus(box)) return false;
  display.Key(QStringLiteral("Return"));
  return velarim.WaitForWindowGone(box.id);
}

void ExpectErrorReport(const Display& display, const Window& box, const QString& text) {
  ASSERT_TRUE(display.Focus(box));
  QImage shown = display.SettledScreenshot(box.geometry);
  const QImage expected = ReferenceMessageBox(display, QStringLiteral("Velarim"), text);
  ASSERT_FALSE(expected.isNull());
  // The first picture may show the box not yet painted on a busy machine, and the next
  // ones may catch the reference box going away over it.
  WaitUntil(
      [&] {
        if (DifferingPixels(shown, expected) == 0) return true;
        shown = display.Screenshot(box.geometry);
        return false;
      },
      5s);
  const qint64 differing = DifferingPixels(shown, expected);
  if (differing != 0) {
    shown.save(QDir::temp().filePath(QStringLiteral("velarim-error-box-shown.png")));
    expected.save(QDir::temp().filePath(QStringLiteral("velarim-error-box-expected.png")));
  }
  EXPECT_EQ(differing, 0) << "the error box does not read \"" << text.toStdString()
                          << "\"; both pictures are in " << QDir::tempPath().toStdString();
}

QPoint FileRowOf(const Window& main, int row) {
  return main.geometry.topLeft() + kFirstFileRow + QPoint(0, row * kFileRowHeight);
}

QPoint FolderRowOf(const Window& main, int row) {
  return main.geometry.topLeft() + kFirstFolderRow + QPoint(0, row * kFolderRowHeight);
}

QRect PreviewCanvasOf(const Window& main) { return kPreviewCanvasInWindow.translated(main.geometry.topLeft()); }

QRect QuadSplitOf(const Window& main) { return kQuadSplitInWindow.translated(main.geometry.topLeft()); }

bool PreviewFileRow(const Display& display, const Window& main, int row) {
  const QRect canvas = PreviewCanvasOf(main);
  const QImage before = display.Screenshot(canvas);
  display.Click(FileRowOf(main, row));
  return WaitUntil([&] { return DifferingPixels(display.Screenshot(canvas), before, 16) > canvas.width() * canvas.height() / 2; },
                   10s) &&
         !display.SettledScreenshot(canvas).isNull();
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
