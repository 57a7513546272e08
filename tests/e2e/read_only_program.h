#pragma once
// Velarim installed for everybody: its program directory read-only for the person who
// starts it, as /usr is. The superuser writes into any folder whatever its permission
// bits say, so the directory is bound read-only onto itself in a private mount
// namespace that only the started program sees.

#include <QString>

namespace e2e {

// Writes a script into scriptFolder that starts `launcher` with programDir mounted
// read-only, and returns its path (empty when it could not be written). The script
// hands its process on (exec) all the way, so the program keeps the script's process id.
QString ReadOnlyProgramLauncher(const QString& scriptFolder, const QString& programDir, const QString& launcher);

}  // namespace e2e
