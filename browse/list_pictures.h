#pragma once
// The pictures of the folder list and the drive selector, drawn by the program as
// 16-colour bitmaps whose bottom-left pixel gives the transparent colour, and the
// drawing rules the three browser lists share.

#include "platform/drives.h"

#include <QImage>
#include <QPixmap>

class QPainter;
class QFontMetrics;
class QRect;
class QString;

enum class FolderItemKind { OpenFolder, CurrentFolder, ClosedFolder };

// The bitmaps as stored: every pixel opaque, the background in the key colour.
[[nodiscard]] QImage FolderBitmap(FolderItemKind kind);
[[nodiscard]] QImage DriveBitmap(platform::DriveType type);

// The bitmap with every pixel of its bottom-left pixel's colour made transparent.
[[nodiscard]] QPixmap TransparentByBottomLeft(const QImage& bitmap);

// The cached, transparent pictures.
const QPixmap& FolderPicture(FolderItemKind kind);
const QPixmap& DrivePicture(platform::DriveType type);

// The top of a text line in an item, centred on the text height (that of "Pp").
[[nodiscard]] int CenteredTextTop(const QRect& item, const QFontMetrics& metrics);

// Draws text on one line from x, vertically centred as CenteredTextTop says; an
// ampersand is a plain character.
void DrawItemText(QPainter& painter, const QRect& item, int x, const QString& text);
