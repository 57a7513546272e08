#include "browse/directory_list.h"

#include "browse/drive_combo.h"
#include "browse/file_list.h"
#include "framework/application.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/folder_change.h"

#include <QStyle>

std::vector<FolderItem> FolderItemsFor(const QString& folder, const QStringList& subfolders) {
  std::vector<FolderItem> items;
  const QString root = platform::DriveRootOf(folder);
  QStringList parts = folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  if (parts.isEmpty()) {
    items.push_back({root, root, FolderItemKind::CurrentFolder});
  } else {
    items.push_back({root, root, FolderItemKind::OpenFolder});
    QString path = root;
    for (qsizetype i = 0; i < parts.size(); ++i) {
      path = platform::JoinPath(path, parts[i]);
      const bool last = i + 1 == parts.size();
      items.push_back({parts[i], path, last ? FolderItemKind::CurrentFolder : FolderItemKind::OpenFolder});
    }
  }
  for (const QString& sub : subfolders) {
    items.push_back({sub, platform::JoinPath(folder, sub), FolderItemKind::ClosedFolder});
  }
  return items;
}

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TDirectoryListBox(AOwner, MakeHost<QListWidget>(this)) {}

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner, HostWidget<QListWidget>* list)
    : TWinControl(AOwner, list, list), list_(list) {
  SetColor(clWindow);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setIconSize(QSize(16, 16));
  directory_ = platform::GetCurrentDir();
  QObject::connect(list_, &QListWidget::itemActivated, [this](QListWidgetItem* item) {
    try {
      OpenItem(list_->row(item));
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
  });
  SetBounds(0, 0, 145, 97);
  BuildList();
}

TDirectoryListBox::~TDirectoryListBox() { BeginDestruction(); }

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  if (fileList_) fileList_->SetDirList(nullptr);
  fileList_ = list;
  if (!fileList_) return;
  fileList_->SetDirList(this);
  FreeNotification(fileList_);
  fileList_->ApplyDirectory(directory_);
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == fileList_) fileList_ = nullptr;
  if (AComponent == driveCombo_) driveCombo_ = nullptr;
}

void TDirectoryListBox::SetDirectory(const QString& value) {
  // File names on this system are case-sensitive, so the comparison is exact.
  if (value.isEmpty() || value == directory_) return;
  const QString resolved = platform::ChangeToFolder(value);
  const QString newRoot = platform::DriveRootOf(resolved);
  if (driveCombo_ && newRoot != platform::DriveRootOf(directory_)) driveCombo_->SelectDrive(newRoot, false);
  platform::NoteCurrentFolder(resolved);
  directory_ = resolved;
  BuildList();
  if (fileList_ && !platform::SameFileName(fileList_->Directory(), directory_)) fileList_->ApplyDirectory(directory_);
}

void TDirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  SetDirectory(items_[static_cast<size_t>(index)].path);
}

void TDirectoryListBox::BuildList() {
  const QString existing = platform::NearestExistingFolder(directory_);
  if (!existing.isEmpty()) directory_ = existing;
  items_ = FolderItemsFor(directory_, platform::ListSubfolders(directory_));
  const QSignalBlocker block(list_);
  list_->clear();
  const QStyle* style = list_->style();
  const QIcon openIcon = style->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style->standardIcon(QStyle::SP_DirClosedIcon);
  int current = -1;
  int depth = 0;
  for (const FolderItem& entry : items_) {
    const bool open = entry.kind != FolderItemKind::ClosedFolder;
    auto* item = new QListWidgetItem(open ? openIcon : closedIcon, entry.text);
    // Open folders step in by depth; the subfolders stand one step further in.
    const int indent = open ? depth++ : depth;
    item->setText(QString(indent * 2, QLatin1Char(' ')) + entry.text);
    item->setSizeHint(QSize(0, itemHeight_));
    list_->addItem(item);
    if (entry.kind == FolderItemKind::CurrentFolder) current = list_->count() - 1;
  }
  list_->setCurrentRow(current);
}

void TDirectoryListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  BuildList();
}

void TDirectoryListBox::ApplyFrame(int border) {
  list_->setFrameStyle(border > 0 ? (QFrame::Panel | QFrame::Raised) : (QFrame::StyledPanel | QFrame::Sunken));
  if (border > 0) list_->setLineWidth(border);
}
