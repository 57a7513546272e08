#pragma once
// Window messages: every windowed control turns its Qt events into these records and
// passes them through its window procedure, which components may replace and chain.

#include <QPoint>

#include <cstdint>
#include <functional>

class QEvent;

struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
  // The Qt event the message was made from (null for messages sent by the program);
  // the default handling hands it back to Qt.
  QEvent* Event = nullptr;
};

using TWndMethod = std::function<void(TMessage&)>;

// A point packed into one message parameter: x in the low and y in the high 16 bits,
// each a signed 16-bit value, so points left of or above a window survive the packing.
inline intptr_t PointToLParam(const QPoint& p) {
  return static_cast<intptr_t>((static_cast<uint32_t>(p.y() & 0xFFFF) << 16) | static_cast<uint32_t>(p.x() & 0xFFFF));
}

inline QPoint LParamToPoint(intptr_t lParam) {
  return QPoint(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

// Message numbers. The window-message hook and the gradient caption recognise messages by
// these fixed numbers, so they never change.
enum : uint32_t {
  WM_NULL = 0x0000,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_SHOWWINDOW = 0x0018,
  WM_NCPAINT = 0x0085,
  WM_NCACTIVATE = 0x0086,
  WM_NCMOUSEMOVE = 0x00A0,
  WM_NCLBUTTONDOWN = 0x00A1,
  WM_NCLBUTTONUP = 0x00A2,
  WM_NCLBUTTONDBLCLK = 0x00A3,
  WM_NCRBUTTONDOWN = 0x00A4,
  WM_NCRBUTTONUP = 0x00A5,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_SYSCOMMAND = 0x0112,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MOUSEWHEEL = 0x020A,
  WM_USER = 0x0400,
};

// Hit-test codes for the non-client area.
enum : int {
  HTNOWHERE = 0,
  HTCLIENT = 1,
  HTCAPTION = 2,
  HTSYSMENU = 3,
  HTMENU = 5,
  HTMINBUTTON = 8,
  HTMAXBUTTON = 9,
  HTLEFT = 10,
  HTRIGHT = 11,
  HTTOP = 12,
  HTTOPLEFT = 13,
  HTTOPRIGHT = 14,
  HTBOTTOM = 15,
  HTBOTTOMLEFT = 16,
  HTBOTTOMRIGHT = 17,
  HTCLOSE = 20,
};

// Window style bits.
enum : uint32_t {
  WS_BORDER = 0x00800000,
  WS_DLGFRAME = 0x00400000,
};

// Show commands: how a window is shown. The window placement stores them in its file,
// so the numbers never change.
enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_SHOWMINNOACTIVE = 7,
  SW_RESTORE = 9,
};
