#pragma once
// Names the program derives from its own executable: the program directory, the
// application title and the placement file name.

#include <QString>

namespace platform {

// The folder of the executable with exactly one trailing "/": the path up to its last
// "/", that "/" dropped unless it is the root or follows another "/", then a "/"
// appended unless there is one. "/opt/velarim/Velarim" gives "/opt/velarim/",
// "/Velarim" gives "/".
QString ProgramDirectoryFromExecutable(const QString& exePath);

// The full path of the running executable.
QString ExecutablePath();

// The file name without folder, cut at its first ".", every character after the
// first lower-cased: "FOTODRUCK.EXE" gives "Fotodruck".
QString ApplicationTitleFromExecutable(const QString& exePath);

// The file name without folder with its extension (from the last ".") replaced by
// ".INI", or ".INI" appended when it has none: "FOTO.EXE" gives "FOTO.INI".
QString PlacementFileNameFromExecutable(const QString& exePath);

}  // namespace platform
