#pragma once
// Reads the pixels of an X server's screen directly, which is many times faster than
// starting a screenshot tool for every picture a test waits on.

#include <QImage>
#include <QRect>
#include <QString>

namespace e2e {

// The area of the screen of the display with this name (":201"), or the whole screen
// for an empty area; a null picture when the display cannot be read.
QImage CaptureScreen(const QString& displayName, const QRect& area = QRect());

}  // namespace e2e
