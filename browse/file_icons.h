#pragma once
// Small file icons from the desktop's icon theme by MIME type: fetched once per
// lower-case extension and kept for the life of the process. Executables, shortcuts,
// icon files and screen savers get an icon of their own file instead.

#include <QIcon>
#include <QString>

// Whether the file (by its extension) gets an icon of its own rather than the cached one.
[[nodiscard]] bool HasOwnIcon(const QString& fileName);
// The cached icon of the file's lower-case extension.
QIcon FileIconFor(const QString& fileName);
// The icon of this very file (its picture for an icon file, else by its content's type).
QIcon OwnFileIcon(const QString& path);
// The drawn icon used where the desktop has no icon theme: a sheet with a folded corner.
QIcon DrawnFileIcon();
