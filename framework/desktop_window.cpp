#include "framework/desktop_window.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_connection_t* X11Connection() {
  const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
  return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// The direction codes of _NET_WM_MOVERESIZE.
uint32_t MoveResizeDirection(Qt::Edges edges) {
  const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
  const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
  if (top) return left ? 0 : right ? 2 : 1;
  if (bottom) return left ? 6 : right ? 4 : 5;
  if (right) return 3;
  if (left) return 7;
  return 8;  // move
}

// Sends _NET_WM_MOVERESIZE for the window to the window manager.
void SendMoveResize(xcb_connection_t* connection, QWidget* window, QPoint pointer, uint32_t direction) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  window->winId();
  message.window = static_cast<xcb_window_t>(window->windowHandle()->winId());
  message.type = Atom(connection, "_NET_WM_MOVERESIZE");
  message.data.data32[0] = static_cast<uint32_t>(pointer.x());
  message.data.data32[1] = static_cast<uint32_t>(pointer.y());
  message.data.data32[2] = direction;
  message.data.data32[3] = XCB_BUTTON_INDEX_1;
  message.data.data32[4] = 1;  // asked for by a program on a person's behalf
  xcb_send_event(connection, 0, RootWindow(connection),
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
}

}  // namespace

void KeepAboveOwner(QWidget* window, QWidget* owner) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || !window || !owner || !window->isWindow() || !owner->isWindow()) return;
  window->winId();
  owner->winId();
  // The native window's own id: Qt may have made the window anew on showing it, and the
  // widget's id can still name the old one.
  const auto windowId = static_cast<xcb_window_t>(window->windowHandle()->winId());
  const auto ownerId = static_cast<xcb_window_t>(owner->windowHandle()->winId());
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, windowId, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                      &ownerId);
  xcb_flush(connection);
}

bool StartWindowManagerDrag(QWidget* window, Qt::Edges edges, QPoint pointer) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || !window) return false;
  // The window manager takes the pointer over from the program's own press.
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  SendMoveResize(connection, window, pointer, MoveResizeDirection(edges));
  return true;
}

void CancelWindowManagerDrag(QWidget* window) {
  constexpr uint32_t kCancel = 11;
  if (xcb_connection_t* connection = X11Connection(); connection && window) {
    SendMoveResize(connection, window, QPoint(), kCancel);
  }
}

bool LeftButtonHeldNow() {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
  xcb_query_pointer_reply_t* reply =
      xcb_query_pointer_reply(connection, xcb_query_pointer(connection, RootWindow(connection)), nullptr);
  const bool held = reply && (reply->mask & XCB_BUTTON_MASK_1);
  std::free(reply);
  return held;
}
