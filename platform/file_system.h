#pragma once
// Folders and files as the program sees them: the process's current directory, a
// wildcard search with the attribute rules the file lists rely on, and file-name
// comparison. Paths use "/" as the separator.

#include <QByteArray>
#include <QCollatorSortKey>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace platform {

// Attribute bits of a search record. A search lists an entry that carries faHidden,
// faSysFile or faDirectory only when the filter asks for that bit; everything else
// (plain files, readable or not) is always listed.
enum FileAttribute : int {
  faReadOnly = 0x01,   // nobody may write it (no write permission bit set)
  faHidden = 0x02,     // the name starts with "."
  faSysFile = 0x04,    // neither a regular file nor a folder: device, pipe, socket, broken link
  faDirectory = 0x10,  // a folder, or a link to one
};
inline constexpr int faNormalFiles = 0;  // the filter of the file list: plain files only

struct TSearchRec {
  QString Name;  // name and extension, without a path
  int Attr = 0;
  QDateTime Time;  // last modification
  qint64 Size = 0;
  bool IsDirectory = false;
};

// The process's current directory as the system reports it; empty when it cannot be
// named any more (for example after it was removed).
QString GetCurrentDir();

// Changes the process's current directory (SetCurrentDir in drives.h also notes it as its
// drive's current folder). Raises EInOutError with the error code of the failure (2
// missing, 3 not a folder or bad name, 5 access denied, else the negated errno).
void EnterFolder(const QString& path);

// The entries of folder (the current directory when empty) whose names match pattern,
// filtered by attributeFilter as described at FileAttribute, in directory order.
// "." and ".." are never listed. An unreadable folder gives no entries.
std::vector<TSearchRec> FindFiles(const QString& folder, const QString& pattern, int attributeFilter);

// A name found by FindNames, with its kind as the directory gave it.
struct TFoundName {
  QString Name;
  QString FoldedName;  // Name case-folded, as it was matched; for comparisons ignoring case
  bool IsDirectory = false;
};

// The entries of folder (the current directory when empty) whose names match any of the
// patterns, each listed once, filtered by attributeFilter as FindFiles filters, in
// directory order. One read of the folder for all patterns; the kind of an entry comes
// from the directory itself, and only links (which count as what they point at) and
// entries of unknown kind are looked up. Empty patterns match nothing.
std::vector<TFoundName> FindNames(const QString& folder, const QStringList& patterns, int attributeFilter);

// Whether name matches the wildcard pattern: case-insensitive, "*" any run of
// characters, "?" exactly one, and a trailing ".*" also matches a name that has
// nothing left at that point, so "*.*" matches every name. An empty pattern matches nothing.
bool MatchesWildcard(const QString& name, const QString& pattern);

// The visible subfolders of folder (links to folders included, "." and ".." and hidden
// ones left out), sorted as CompareFileNames orders them.
QStringList ListSubfolders(const QString& folder);

// Orders file names case-insensitively by the user's locale; names that differ only in
// case are ordered case-sensitively, so the order is total. Negative, 0 or positive.
int CompareFileNames(const QString& a, const QString& b);

// A key per name for sorting many names: keys compare as CompareFileNames compares up to
// letter case; names whose keys are equal are then ordered case-sensitively.
QCollatorSortKey FileNameSortKey(const QString& name);
// The same key for a name already case-folded (as TFoundName::FoldedName).
QCollatorSortKey FoldedNameSortKey(const QString& folded);

bool DirectoryExists(const QString& path);

// Whether something other than a folder exists at path (following links).
bool FileExists(const QString& path);

// Gives the entry `name` of `folder` the name `newName`, both by their bytes, and never
// in place of another entry. 0 when done, else the errno: EEXIST when newName is taken,
// EINVAL when newName names no single entry ("", ".", "..", or one holding a "/").
int RenameEntry(const QString& folder, const QString& name, const QString& newName);

// Removes the file at path by its bytes: 0 when done, else the errno.
int RemoveFile(const QString& path);

// The folder that holds path: "/a/b" -> "/a", "/a" -> "/", "/" -> "" (none),
// "a/b" -> "a", "a" -> "" (none). Trailing separators are ignored.
QString ParentOfPath(const QString& path);

// folder and name with exactly one "/" between them (none added after a trailing "/").
QString JoinPath(const QString& folder, const QString& name);

// The system's bytes for path, or nothing when path holds a NUL character: the system
// would silently cut the path short there and act on a different file. Names the system
// gave as bytes that are not UTF-8 come back as those very bytes (see lossless_utf8.h).
std::optional<QByteArray> NativePath(const QString& path);

// The file URL of an absolute path, percent-encoded from the path's system bytes, for
// the desktop's opener and for other programs a file is dragged to; empty for a relative
// path or one NativePath refuses.
QUrl LocalFileUrl(const QString& path);

}  // namespace platform
