#pragma once
// Names between the program and Qt's own file and print dialogs. Those dialogs take and
// give UTF-8 text and reach the disk through it, so a folder or file whose name is not
// UTF-8 (see lossless_utf8.h) is handed to them in a form they can use, and what they
// give back is mapped to the very bytes it stands for.

#include <QString>

namespace platform {

// A folder as a dialog can open it. A folder whose path is UTF-8 is given as it is; any
// other is reached through the descriptor link /proc/self/fd/N of the folder held open,
// a UTF-8 path that leads to it by its bytes for as long as this object lives.
class DialogFolder {
 public:
  explicit DialogFolder(const QString& folder);
  ~DialogFolder();
  DialogFolder(const DialogFolder&) = delete;
  DialogFolder& operator=(const DialogFolder&) = delete;

  // The path the dialog is given for the folder.
  const QString& Shown() const { return shown_; }

  // The file a dialog answered with, by its bytes: the folder link back to the folder,
  // and each element of the path that names an entry only as the dialog shows it (as
  // Qt decodes it, or readably as ShownName gives it) mapped to that entry. A last
  // element shown as ShownName(presetName) is presetName itself, in whatever folder the
  // person chose. Elements that name nothing are new names and stay as typed.
  QString Resolve(const QString& answered, const QString& presetName = QString()) const;

 private:
  QString folder_;
  QString shown_;
  int fd_ = -1;
};

// Whether the bytes of path are UTF-8, so that Qt's dialogs can name it as it is.
bool IsUtf8Path(const QString& path);

// A file name as a dialog shows it: readable, each byte that is not UTF-8 as the
// character it stands for in a Latin-1 name.
QString ShownName(const QString& name);

// How Qt lists a name that the system gives as bytes: UTF-8 decoded, each byte that is
// not UTF-8 as a replacement character.
QString QtListedName(const QString& name);

}  // namespace platform
