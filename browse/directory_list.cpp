#include "browse/directory_list.h"

#include "browse/file_list.h"
#include "framework/application_services.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"
#include "platform/folder_change.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kPictureWidth = 16;
constexpr int kTextAfterPicture = 4;
constexpr int kKindRole = Qt::UserRole;
constexpr int kIndentRole = Qt::UserRole + 1;

// Draws a folder item: its picture at the item's indent, vertically centred, and the
// text 4 pixels after it; the highlight lies behind the text only.
class FolderItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect item = option.rect;
    const int indent = index.data(kIndentRole).toInt();
    const auto kind = static_cast<FolderItemKind>(index.data(kKindRole).toInt());
    const QPixmap& picture = FolderPicture(kind);
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(item, palette.color(QPalette::Base));
    painter->drawPixmap(item.left() + indent, item.top() + (item.height() - picture.height()) / 2, picture);
    const int textLeft = item.left() + indent + kPictureWidth + kTextAfterPicture;
    const QString text = index.data(Qt::DisplayRole).toString();
    painter->setFont(option.font);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
      const int width = painter->fontMetrics().horizontalAdvance(text) + 4;
      painter->fillRect(QRect(textLeft - 2, item.top(), width, item.height()), palette.color(QPalette::Highlight));
    }
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    DrawItemText(*painter, item, textLeft, text);
    painter->restore();
  }
};

// Enter opens the highlighted item, as a double-click does.
class EnterOpens : public QObject {
 public:
  EnterOpens(TDirectoryListBox* list, QListWidget* widget) : QObject(widget), list_(list), widget_(widget) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    try {
      list_->OpenItem(widget_->currentRow());
    } catch (const std::exception& error) {
      ReportHandlerError(error);
    }
    return true;
  }

 private:
  TDirectoryListBox* list_;
  QListWidget* widget_;
};

}  // namespace

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

int FolderItemIndent(const FolderItem& item, int position, const QString& listedFolder) {
  if (item.kind != FolderItemKind::ClosedFolder) return 4 * position + 2;
  return 4 * static_cast<int>(listedFolder.count(QLatin1Char('/'))) + 6;
}

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TDirectoryListBox(AOwner, MakeHost<QListWidget>(this)) {}

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner, HostWidget<QListWidget>* list)
    : TWinControl(AOwner, list, list), list_(list) {
  SetColor(clWindow);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setIconSize(QSize(16, 16));
  directory_ = platform::GetCurrentDir();
  list_->setItemDelegate(new FolderItemDelegate(list_));
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->installEventFilter(new EnterOpens(this, list_));
  QObject::connect(list_, &QListWidget::doubleClicked, [this](const QModelIndex& index) {
    try {
      OpenItem(index.row());
    } catch (const std::exception& error) {
      ReportHandlerError(error);
    }
  });
  SetBounds(0, 0, 145, 97);
  BuildList();
}

TDirectoryListBox::~TDirectoryListBox() { BeginDestruction(); }

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  fileList_ = list;
  if (!fileList_) return;
  FreeNotification(fileList_);
  fileList_->ApplyDirectory(directory_);
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == fileList_) fileList_ = nullptr;
}

void TDirectoryListBox::SetDirectory(const QString& value) {
  // File names on this system are case-sensitive, so the comparison is exact.
  if (value.isEmpty() || value == directory_) return;
  const QString resolved = platform::ChangeToFolder(value);
  const QString newRoot = platform::DriveRootOf(resolved);
  if (OnDriveChange && newRoot != platform::DriveRootOf(directory_)) OnDriveChange(newRoot);
  platform::NoteCurrentFolder(resolved);
  directory_ = resolved;
  BuildList();
  if (fileList_ && fileList_->Directory() != directory_) fileList_->ApplyDirectory(directory_);
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
  int current = -1;
  for (size_t i = 0; i < items_.size(); ++i) {
    const FolderItem& entry = items_[i];
    auto* item = new QListWidgetItem(platform::ReadableText(entry.text));
    item->setData(kKindRole, static_cast<int>(entry.kind));
    item->setData(kIndentRole, FolderItemIndent(entry, static_cast<int>(i), directory_));
    item->setSizeHint(QSize(0, itemHeight_));
    list_->addItem(item);
    if (entry.kind == FolderItemKind::CurrentFolder) current = static_cast<int>(i);
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
