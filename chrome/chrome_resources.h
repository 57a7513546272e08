#pragma once
// The resources compiled into the program, read through the program's own loaders:
// bitmaps in the BMP format, cursors in the CUR format.

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QString>

// A bitmap resource ("BACKGROUND"); a null image when it is missing or unreadable.
QImage LoadBitmapResource(const QString& name);
// A cursor resource ("RX_DRAGCUR"); the arrow when it is missing or unreadable.
QCursor LoadCursorResource(const QString& name);
// The cursor shown while the toolbar is being dragged.
QCursor DragCursor();
