#pragma once
// Entering a folder named by the user or the settings file, and finding a folder to
// show when the one being shown has gone.

#include <QString>

namespace platform {

// Enters the folder that value names and returns the process's new current directory
// as the system reports it. A value in square brackets loses them; a relative value is
// taken from the current directory. The folder part of value is entered first, then its
// last element, unless that is an existing file or holds a "*" or "?" (a file name or a
// mask was given along with the folder). An empty value changes nothing. When any step
// fails the process is back in the folder it was in and EInOutError is raised.
QString ChangeToFolder(const QString& value);

// path itself when it is an existing folder, else its nearest existing ancestor; a
// relative path is taken from the current directory. Empty when nothing on the way
// exists.
QString NearestExistingFolder(const QString& path);

}  // namespace platform
