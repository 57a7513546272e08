#include "browse/file_list.h"

#include "browse/file_icons.h"
#include "browse/key_hold.h"
#include "browse/list_pictures.h"
#include "framework/application_services.h"
#include "framework/drag_drop.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstdlib>

// The records as the view sees them; the list owns the records, the model only shows them.
class FileListModel : public QAbstractListModel {
 public:
  explicit FileListModel(const std::vector<TFileRecord>& records) : records_(records) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount(QModelIndex())) return QVariant();
    const TFileRecord& record = records_[static_cast<size_t>(index.row())];
    // Shown readably; the record keeps the name's own bytes for the system.
    if (role == Qt::DisplayRole) return platform::ReadableText(record.Name);
    if (role == Qt::DecorationRole) return record.Icon;
    return QVariant();
  }
  void BeginReset() { beginResetModel(); }
  void EndReset() { endResetModel(); }

 private:
  const std::vector<TFileRecord>& records_;
};

namespace {

// Item layout, from the item's left edge.
constexpr int kIconLeft = 4;
constexpr int kHighlightLeft = 24;
constexpr int kTextLeft = 26;
constexpr int kIconSize = 16;

// Draws an item: the icon (its selected state when selected), the highlight behind the
// name only, and the name.
class FileItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect item = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(item, palette.color(QPalette::Base));
    const QRect highlight(item.left() + kHighlightLeft, item.top(), item.width() - kHighlightLeft, item.height());
    if (selected) painter->fillRect(highlight, palette.color(QPalette::Highlight));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QRect iconRect(item.left() + kIconLeft, item.top() + (item.height() - kIconSize) / 2, kIconSize, kIconSize);
    icon.paint(painter, iconRect, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);
    painter->setFont(option.font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(highlight);
    DrawItemText(*painter, item, item.left() + kTextLeft, index.data(Qt::DisplayRole).toString());
    painter->setClipping(false);
    if (option.state & QStyle::State_HasFocus) {
      painter->setPen(QPen(palette.color(QPalette::Text), 1, Qt::DotLine));
      painter->drawRect(highlight.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }
};

// Restores the cursor however the reading ends.
class CursorGuard {
 public:
  ~CursorGuard() {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  void Busy() {
    if (busy_) return;
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }

 private:
  bool busy_ = false;
};

// Reading a large folder shows the hourglass from this many files on.
constexpr size_t kBusyCursorFrom = 101;

// Sorts directories first, then by name as CompareFileNames orders names; the sort
// keys are made once per name, not once per comparison.
void SortFound(std::vector<platform::TFoundName>& found) {
  struct Keyed {
    QCollatorSortKey key;
    platform::TFoundName* entry;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(found.size());
  for (platform::TFoundName& entry : found) keyed.push_back({platform::FoldedNameSortKey(entry.FoldedName), &entry});
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.entry->IsDirectory != b.entry->IsDirectory) return a.entry->IsDirectory;
    const int byKey = a.key.compare(b.key);
    return byKey != 0 ? byKey < 0 : a.entry->Name.compare(b.entry->Name, Qt::CaseSensitive) < 0;
  });
  std::vector<platform::TFoundName> sorted;
  sorted.reserve(found.size());
  for (Keyed& entry : keyed) sorted.push_back(std::move(*entry.entry));
  found = std::move(sorted);
}

}  // namespace

std::vector<platform::TFoundName> FindMatchingFiles(const QString& folder, const QString& mask,
                                                    const std::function<void(size_t)>& onFound) {
  const QStringList patterns = mask.split(QLatin1Char(';'));
  // One read of the folder lists each entry once, however many patterns it matches; names
  // that differ only in case are different files and stay apart.
  std::vector<platform::TFoundName> found = platform::FindNames(folder, patterns, platform::faNormalFiles);
  if (onFound) {
    for (size_t count = 1; count <= found.size(); ++count) onFound(count);
  }
  if (found.size() > 1) SortFound(found);
  return found;
}

// The view's mouse events reach its viewport, its key events the view itself; the list
// watches both.
class FileListInput : public QObject {
 public:
  FileListInput(TFileListBox* list, QObject* parent) : QObject(parent), list_(list) {}
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        list_->keyHold_->Pressed(key->isAutoRepeat(), key->timestamp());
        return false;
      }
      case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        list_->keyHold_->Released(key->isAutoRepeat(), key->timestamp());
        return false;
      }
      case QEvent::FocusOut:
        list_->keyHold_->End();
        return false;
      case QEvent::MouseButtonPress: {
        list_->keyHold_->End();
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) list_->mouseDown(mouse->position().toPoint());
        return false;
      }
      case QEvent::MouseMove: {
        // While the button is held the selection does not follow the mouse; a move of
        // 5 pixels begins the drag.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!list_->pressed_ || !(mouse->buttons() & Qt::LeftButton)) return false;
        list_->dragMove(mouse->position().toPoint());
        return true;
      }
      case QEvent::MouseButtonRelease:
        list_->pressed_ = false;
        return false;
      default:
        return false;
    }
  }

 private:
  TFileListBox* list_;
};

TFileListBox::TFileListBox(TComponent* AOwner) : TFileListBox(AOwner, MakeHost<QListView>(this)) {}

TFileListBox::TFileListBox(TComponent* AOwner, HostWidget<QListView>* list)
    : TWinControl(AOwner, list, list), list_(list), model_(new FileListModel(records_)) {
  SetColor(clWindow);
  model_->setParent(list_);
  list_->setModel(model_);
  list_->setItemDelegate(new FileItemDelegate(list_));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setUniformItemSizes(true);
  list_->setIconSize(QSize(kIconSize, kIconSize));
  list_->setMovement(QListView::Static);
  directory_ = platform::GetCurrentDir();
  // The selection, not the current item: a mouse press moves the current item before it
  // selects it.
  QObject::connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged,
                   [this](const QItemSelection&, const QItemSelection&) {
                     if (ItemIndex() >= 0) selectionChanged();
                   });
  auto* input = new FileListInput(this, list_);
  list_->installEventFilter(input);
  list_->viewport()->installEventFilter(input);
  keyHold_ = new TKeyHold(list_, [this] {
    if (!reading_ && ItemIndex() >= 0) notifySelection();
  });
  SetBounds(0, 0, 145, 97);
  updateGrid();
}

TFileListBox::~TFileListBox() { BeginDestruction(); }

void TFileListBox::ApplyDirectory(const QString& folder) {
  if (folder == directory_ && !records_.empty()) return;
  try {
    platform::SetCurrentDir(folder);
  } catch (const EInOutError&) {
    // A folder that went away: the names come from wherever the process is.
  }
  const QString current = platform::GetCurrentDir();
  directory_ = current.isEmpty() ? folder : current;
  readFileNames();
}

void TFileListBox::SetMask(const QString& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  readFileNames();
}

// The names are read from the listed folder by its path; a folder that went away lists
// nothing.
void TFileListBox::readFileNames() {
  reading_ = true;
  keyHold_->Forget();  // the selection is lost with the names
  model_->BeginReset();
  records_.clear();
  struct EndReset {
    TFileListBox* list;
    ~EndReset() {
      list->model_->EndReset();
      list->reading_ = false;
    }
  } endReset{this};
  CursorGuard cursor;
  std::vector<platform::TFoundName> found = FindMatchingFiles(directory_, mask_, [&cursor](size_t count) {
    if (count == kBusyCursorFrom) cursor.Busy();
  });
  records_.reserve(found.size());
  for (platform::TFoundName& entry : found) {
    QIcon icon = ListedFileIcon(directory_, entry.Name);
    records_.push_back({std::move(entry.Name), entry.IsDirectory, std::move(icon)});
  }
}

QStringList TFileListBox::Items() const {
  QStringList items;
  items.reserve(static_cast<qsizetype>(records_.size()));
  for (const TFileRecord& record : records_) items << record.Name;
  return items;
}

int TFileListBox::ItemIndex() const {
  const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.front().row();
}

void TFileListBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(records_.size())) {
    list_->selectionModel()->clear();
    return;
  }
  const QModelIndex target = model_->index(index, 0);
  if (ItemIndex() == index) {
    selectionChanged();
    return;
  }
  list_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  list_->scrollTo(target);
}

QString TFileListBox::FileName() const {
  const int index = ItemIndex();
  if (index < 0) return QString();
  return platform::JoinPath(directory_, records_[static_cast<size_t>(index)].Name);
}

void TFileListBox::selectionChanged() {
  if (reading_) return;
  if (keyHold_->Repeating()) {
    keyHold_->HoldBack();
    return;
  }
  notifySelection();
}

void TFileListBox::notifySelection() {
  try {
    Click();
  } catch (const std::exception& error) {
    ReportHandlerError(error);
  }
}

void TFileListBox::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  list_->setFlow(columns_ > 1 ? QListView::TopToBottom : QListView::LeftToRight);
  list_->setWrapping(columns_ > 1);
  list_->setResizeMode(QListView::Adjust);
  updateGrid();
}

void TFileListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  updateGrid();
}

int TFileListBox::ItemHeight() const { return std::max(itemHeight_, QFontMetrics(Font()).height() - 3); }

void TFileListBox::updateGrid() {
  const int width = std::max(1, list_->viewport()->width() / columns_);
  list_->setGridSize(QSize(width, ItemHeight()));
}

void TFileListBox::BoundsChanged() {
  TWinControl::BoundsChanged();
  updateGrid();
}

void TFileListBox::ApplyFrame(int border) {
  list_->setFrameStyle(border > 0 ? (QFrame::Panel | QFrame::Raised) : (QFrame::StyledPanel | QFrame::Sunken));
  if (border > 0) list_->setLineWidth(border);
  updateGrid();
}

void TFileListBox::mouseDown(const QPoint& pos) {
  const QModelIndex pressed = list_->indexAt(pos);
  pressed_ = pressed.isValid();
  pressPos_ = pos;
  // A press on the selected item changes no selection but notifies all the same.
  if (pressed_ && pressed.row() == ItemIndex()) selectionChanged();
}

void TFileListBox::dragMove(const QPoint& pos) {
  const QPoint moved = pos - pressPos_;
  if (dragging_ || std::max(std::abs(moved.x()), std::abs(moved.y())) < kDragThreshold) return;
  beginDrag();
}

void TFileListBox::beginDrag() {
  pressed_ = false;
  const QString path = FileName();
  if (path.isEmpty()) return;
  dragging_ = true;
  // The drag carries the file list itself as its source; the path also travels as a
  // file URL for other programs.
  BeginDrag(this, {platform::LocalFileUrl(path)});
  dragging_ = false;
}
