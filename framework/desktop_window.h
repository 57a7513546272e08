#pragma once
// What the desktop's window system knows of the program's windows beyond what Qt asks
// of it: which window belongs to which, and whether the mouse button is down right now.

#include <QPoint>
#include <Qt>

class QWidget;

// Makes the shown top-level `window` belong to the top-level `owner`: the window
// manager keeps it above its owner and raises it together with the owner (also when
// the owner's dialogs come up). On the X11 desktop this is the window's
// WM_TRANSIENT_FOR; the window keeps its own kind, frame and buttons. Elsewhere nothing
// changes. Qt clears the property whenever it maps a plain window, so this is called
// after each show.
void KeepAboveOwner(QWidget* window, QWidget* owner);

// Hands the window to the window manager for a move (no edges) or a resize by the
// edges, the drag going on from the pointer at `pointer` on the screen with the left
// button held (_NET_WM_MOVERESIZE). Qt's own request names the pointer by its last
// place inside the window, which is wrong once the window has just been moved. False
// where there is no X11 connection.
bool StartWindowManagerDrag(QWidget* window, Qt::Edges edges, QPoint pointer);

// Ends a drag handed to the window manager that the program has seen the release of: the
// button came up before the window manager took the pointer over, and it would wait for
// that release forever, the window stuck to the pointer.
void CancelWindowManagerDrag(QWidget* window);

// Whether the left mouse button is held at this moment, as the window system has it
// now (Qt's own idea lags behind the events it has not handled yet).
bool LeftButtonHeldNow();
