#pragma once
// Private-profile (INI) functions: every call reads the file afresh and every write
// replaces it atomically, so a crash never loses what was written, there is no cache
// to keep consistent and nothing to save later. The file rules themselves are described in
// platform/private_profile_text.h.

#include <QString>

#include <utility>
#include <vector>

namespace platform {

// Where profile files named without a folder live: $XDG_CONFIG_HOME/velarim, or
// ~/.config/velarim when that variable is unset, empty or not an absolute path.
QString ProfileDirectory();

// The folder of a program's own settings file, with one trailing "/": its program
// directory when the person running it may write there (a build folder, a copy in the
// home folder), else the profile directory beside the placement file, created when
// missing, as for a copy installed system-wide that only the superuser may change.
QString SettingsDirectory(const QString& programDirectory);

// A bare file name (no "/") goes to the profile directory; any other name is used as
// it is, relative names against the current folder.
QString ResolveProfileFileName(const QString& fileName);

// The value of section/key, or defaultValue when the file, section or key is missing
// or the file cannot be read. The result is cut to bufferSize - 1 characters (never
// in the middle of a surrogate pair); a bufferSize below 1 gives empty text.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& fileName);

// One write to a profile file:
//  - section, key and value given: set the value (file, section and key are created
//    as needed; the profile directory too, for a bare file name);
//  - value null: remove the key; key null: remove the whole section;
//  - section null: flush. Nothing is cached, so this only succeeds.
// Returns false when the file cannot be written, the old file being left untouched,
// and when the text cannot be stored on one profile line (a line break or NUL, "]"
// in a section name, "=" in a key, a key starting with ";" or "["). A write that
// changes nothing leaves the file alone and succeeds.
bool WritePrivateProfileString(const QString* section, const QString* key, const QString* value,
                               const QString& fileName);

// Key and value pairs of one section.
using ProfileEntries = std::vector<std::pair<QString, QString>>;

// Sets several keys of one section, in their order, in a single replacement of the
// file: a reader, a kill or another writer sees either all of them or none. Fails as
// a whole, the old file untouched, when the file cannot be written or any one pair
// cannot be stored (as above).
bool WritePrivateProfileStrings(const QString& section, const ProfileEntries& entries, const QString& fileName);

}  // namespace platform
