#pragma once
// Small file icons from the desktop's icon theme by MIME type: fetched once per
// lower-case extension and kept for the life of the process. Executables, shortcuts,
// icon files and screen savers get an icon of their own file instead.

#include <QIcon>
#include <QString>

// The icon the file list shows for a file of folder: for executables, shortcuts, icon
// files and screen savers one of that very file, for every other file the cached icon
// of its lower-case extension.
QIcon ListedFileIcon(const QString& folder, const QString& fileName);
// The drawn icon used where the desktop has no icon theme: a sheet with a folded corner.
QIcon DrawnFileIcon();
