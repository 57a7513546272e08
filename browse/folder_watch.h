#pragma once
// The lists follow the disk: the folder the file list shows is watched (inotify, through
// Qt's watcher), and a burst of changes in it (a camera's photos copied in, files
// deleted or renamed elsewhere, a subfolder made) re-reads both lists once, keeping the
// selected file selected where it still exists, without a click notification, so the
// preview and the slides stay as they are. A shown folder that vanishes (an unplugged
// stick, a folder deleted or moved away) is handed to onLost. Nothing runs while
// nothing changes.

#include <QFileSystemWatcher>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TDirectoryListBox;
class TFileListBox;

namespace platform {
class DialogFolder;
}

class FolderWatch : public QObject {
 public:
  // How long the watch waits after a change for more before it re-reads; never less
  // than the last re-read took, so that a huge folder that keeps changing leaves the
  // program at least half of its time.
  static constexpr int kSettleMilliseconds = 150;
  // A burst that goes on is still shown this often.
  static constexpr int kLongestBurstMilliseconds = 1000;

  FolderWatch(TDirectoryListBox* folders, TFileListBox* files, std::function<void(const QString& lost)> onLost);
  ~FolderWatch() override;

  // The folder being watched; empty while none is.
  const QString& Watched() const { return watched_; }

 private:
  void follow();
  void changed();
  void settle();

  TDirectoryListBox* folders_;
  TFileListBox* files_;
  std::function<void(const QString&)> onLost_;
  QFileSystemWatcher watcher_;
  QTimer settleTimer_;
  QElapsedTimer burst_;
  QString watched_;
  std::unique_ptr<platform::DialogFolder> reach_;  // keeps a folder Qt cannot name reachable
};
