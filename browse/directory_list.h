#pragma once
// The folder list: the path from the drive root down to the listed folder, then that
// folder's subfolders. It feeds the file list; the window keeps the drive selector on
// its drive through OnDriveChange.

#include "browse/list_pictures.h"
#include "framework/control.h"

#include <QListWidget>

#include <functional>

class TFileListBox;

struct FolderItem {
  QString text;
  QString path;
  FolderItemKind kind;
};

// The items for a listed folder: the root and each folder on the path (open), the
// folder itself (current; a root is listed once) and its subfolders (closed).
[[nodiscard]] std::vector<FolderItem> FolderItemsFor(const QString& folder, const QStringList& subfolders);

// The indent of an item in pixels: the open and current folders step in by 4 pixels per
// position, the subfolders stand 4 pixels per separator of the listed folder's path, plus 6.
[[nodiscard]] int FolderItemIndent(const FolderItem& item, int position, const QString& listedFolder);

class TDirectoryListBox : public TWinControl {
 public:
  explicit TDirectoryListBox(TComponent* AOwner);
  ~TDirectoryListBox() override;
  QString ClassName() const override { return QStringLiteral("TDirectoryListBox"); }

  // The listed folder.
  const QString& Directory() const { return directory_; }
  // Enters the folder: empty text or the listed folder change nothing; a folder that
  // cannot be entered raises EInOutError and leaves both lists where they were.
  void SetDirectory(const QString& value);
  // Opens the item at index as a double-click does.
  void OpenItem(int index);

  const std::vector<FolderItem>& FolderItems() const { return items_; }
  TFileListBox* FileList() const { return fileList_; }
  void SetFileList(TFileListBox* list);
  void SetItemHeight(int height);

  // Rebuilds the items for the listed folder (moving up when it has gone).
  void BuildList();

  // Runs with the new drive's root when the listed folder moves to another drive,
  // before the list is rebuilt.
  std::function<void(const QString& root)> OnDriveChange;

 protected:
  void ApplyFrame(int border) override;
  bool PaintsDialogFrame() const override { return false; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TDirectoryListBox(TComponent* AOwner, HostWidget<QListWidget>* list);

  QListWidget* list_;
  TFileListBox* fileList_ = nullptr;
  QString directory_;
  std::vector<FolderItem> items_;
  int itemHeight_ = 17;
};

class TRzDirectoryListBox : public TDirectoryListBox {
 public:
  explicit TRzDirectoryListBox(TComponent* AOwner) : TDirectoryListBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TRzDirectoryListBox"); }
};
