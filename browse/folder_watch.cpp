#include "browse/folder_watch.h"

#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "platform/dialog_names.h"
#include "platform/file_system.h"

#include <QAbstractItemModel>
#include <QListView>

FolderWatch::FolderWatch(TDirectoryListBox* folders, TFileListBox* files,
                         std::function<void(const QString& lost)> onLost)
    : folders_(folders), files_(files), onLost_(std::move(onLost)) {
  settleTimer_.setSingleShot(true);
  settleTimer_.setInterval(kSettleMilliseconds);
  connect(&settleTimer_, &QTimer::timeout, this, [this] { settle(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { changed(); });
  // The file list reads its names whenever its folder changes, whoever changed it; the
  // watch then moves to that folder.
  if (auto* view = qobject_cast<QListView*>(files_->Widget())) {
    connect(view->model(), &QAbstractItemModel::modelReset, this, [this] { follow(); });
  }
  follow();
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::follow() {
  const QString folder = files_->Directory();
  if (folder == watched_ && !watcher_.directories().isEmpty()) return;
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  watched_ = folder;
  if (folder.isEmpty()) return;
  // Qt's watcher names folders in UTF-8; one whose name is not is watched through its
  // descriptor link.
  reach_ = std::make_unique<platform::DialogFolder>(folder);
  watcher_.addPath(reach_->Shown());
}

// Only the first change of a burst starts the timer, so a folder that keeps changing is
// still re-read once per settle interval, never once per change.
void FolderWatch::changed() {
  if (!settleTimer_.isActive()) settleTimer_.start();
}

void FolderWatch::settle() {
  if (watched_.isEmpty()) return;
  if (platform::DirectoryExists(watched_) && files_->Directory() == watched_) {
    folders_->BuildList();
    files_->RereadKeepingSelection();
    return;
  }
  const QString lost = watched_;
  watcher_.removePaths(watcher_.directories());
  watched_.clear();
  onLost_(lost);
}
