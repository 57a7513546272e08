#include "browse/folder_watch.h"

#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "platform/dialog_names.h"
#include "platform/file_system.h"

#include <QAbstractItemModel>
#include <QListView>

#include <algorithm>

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

// Each change of a burst puts the re-read off a little, so a burst is read once when it
// ends; one that goes on is still read once every kLongestBurstMilliseconds.
void FolderWatch::changed() {
  if (!settleTimer_.isActive()) {
    burst_.start();
    settleTimer_.start();
  } else if (burst_.elapsed() < kLongestBurstMilliseconds) {
    settleTimer_.start();
  }
}

void FolderWatch::settle() {
  if (watched_.isEmpty()) return;
  if (platform::DirectoryExists(watched_) && files_->Directory() == watched_) {
    QElapsedTimer reading;
    reading.start();
    folders_->BuildList();
    files_->RereadKeepingSelection();
    settleTimer_.setInterval(std::max<int>(kSettleMilliseconds, static_cast<int>(reading.elapsed())));
    return;
  }
  const QString lost = watched_;
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  watched_.clear();
  reach_.reset();
  onLost_(lost);
}
