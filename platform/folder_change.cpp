#include "platform/folder_change.h"

#include "platform/drives.h"
#include "platform/file_system.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Takes the process back to the directory it was in when created, unless dismissed.
// It holds the directory open rather than by name, so it finds its way back even when
// that directory was renamed or its name cannot be read.
class CurrentDirectoryRestorer {
 public:
  CurrentDirectoryRestorer() : fd_(open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
  ~CurrentDirectoryRestorer() {
    if (fd_ >= 0) {
      if (!dismissed_) {
        [[maybe_unused]] const int ignored = fchdir(fd_);  // nothing better to do if it fails
      }
      close(fd_);
    }
  }
  CurrentDirectoryRestorer(const CurrentDirectoryRestorer&) = delete;
  CurrentDirectoryRestorer& operator=(const CurrentDirectoryRestorer&) = delete;

  void Dismiss() { dismissed_ = true; }

 private:
  int fd_;
  bool dismissed_ = false;
};

QString WithoutBrackets(const QString& value) {
  if (value.size() >= 2 && value.startsWith(QLatin1Char('[')) && value.endsWith(QLatin1Char(']'))) {
    return value.mid(1, value.size() - 2);
  }
  return value;
}

struct SplitPath {
  QString folderPart;  // empty when the path has no separator
  QString lastElement;
};

SplitPath SplitAtLastSeparator(const QString& path) {
  const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
  if (separator < 0) {
    return {QString(), path};
  }
  return {separator == 0 ? QStringLiteral("/") : path.left(separator), path.mid(separator + 1)};
}

bool NamesFolderToEnter(const QString& lastElement) {
  return !lastElement.isEmpty() && !lastElement.contains(QLatin1Char('*')) &&
         !lastElement.contains(QLatin1Char('?')) && !FileExists(lastElement);
}

}  // namespace

QString ChangeToFolder(const QString& value) {
  const SplitPath parts = SplitAtLastSeparator(WithoutBrackets(value));
  CurrentDirectoryRestorer restorer;
  if (!parts.folderPart.isEmpty()) {
    EnterFolder(parts.folderPart);
  }
  if (NamesFolderToEnter(parts.lastElement)) {
    EnterFolder(parts.lastElement);
  }
  restorer.Dismiss();
  const QString resolved = GetCurrentDir();
  NoteCurrentFolder(resolved);
  return resolved;
}

QString NearestExistingFolder(const QString& path) {
  QString folder = path.startsWith(QLatin1Char('/')) ? path : JoinPath(GetCurrentDir(), path);
  while (!folder.isEmpty() && !DirectoryExists(folder)) {
    folder = ParentOfPath(folder);
  }
  return folder;
}

}  // namespace platform
