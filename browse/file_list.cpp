#include "browse/file_list.h"

#include "browse/file_icons.h"
#include "framework/application.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>

namespace {

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

}  // namespace

TFileListBox::TFileListBox(TComponent* AOwner) : TFileListBox(AOwner, MakeHost<QListWidget>(this)) {}

TFileListBox::TFileListBox(TComponent* AOwner, HostWidget<QListWidget>* list)
    : TWinControl(AOwner, list, list), list_(list) {
  SetColor(clWindow);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  list_->setIconSize(QSize(16, 16));
  list_->setDragEnabled(true);
  list_->setDragDropMode(QAbstractItemView::DragOnly);
  directory_ = platform::GetCurrentDir();
  QObject::connect(list_, &QListWidget::currentRowChanged, [this](int) {
    try {
      Click();
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
  });
  SetBounds(0, 0, 145, 97);
}

TFileListBox::~TFileListBox() { BeginDestruction(); }

void TFileListBox::ApplyDirectory(const QString& folder) {
  if (platform::SameFileName(folder, directory_) && list_->count() > 0) return;
  try {
    platform::SetCurrentDir(folder);
  } catch (const EInOutError&) {
    // A folder that went away: the names come from wherever the process is.
  }
  const QString current = platform::GetCurrentDir();
  directory_ = current.isEmpty() ? folder : current;
  Update();
}

void TFileListBox::SetMask(const QString& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  Update();
}

void TFileListBox::Update() { readFileNames(); }

void TFileListBox::readFileNames() {
  try {
    platform::SetCurrentDir(directory_);
  } catch (const EInOutError&) {
    // The names are then read from the current directory, whatever it is.
  }
  const QSignalBlocker block(list_);
  list_->clear();
  CursorGuard cursor;
  const QStringList patterns = mask_.split(QLatin1Char(';'));
  const bool several = patterns.size() > 1;
  std::vector<platform::TSearchRec> found;
  QStringList names;
  for (const QString& pattern : patterns) {
    for (platform::TSearchRec& rec : platform::FindFiles(QString(), pattern, platform::faNormalFiles)) {
      if (several && std::any_of(names.cbegin(), names.cend(),
                                 [&](const QString& n) { return platform::SameFileName(n, rec.Name); })) {
        continue;
      }
      names << rec.Name;
      found.push_back(std::move(rec));
      if (found.size() == kBusyCursorFrom) cursor.Busy();
    }
  }
  std::sort(found.begin(), found.end(), [](const platform::TSearchRec& a, const platform::TSearchRec& b) {
    if (a.IsDirectory != b.IsDirectory) return a.IsDirectory;
    return platform::CompareFileNames(a.Name, b.Name) < 0;
  });
  for (const platform::TSearchRec& rec : found) {
    auto* item = new QListWidgetItem(FileIconFor(rec.Name), rec.Name);
    item->setSizeHint(QSize(std::max(1, list_->width() / std::max(1, columns_) - 4), itemHeight_));
    list_->addItem(item);
  }
  list_->setCurrentRow(-1);
  updateGrid();
}

QStringList TFileListBox::Items() const {
  QStringList items;
  items.reserve(list_->count());
  for (int i = 0; i < list_->count(); ++i) items << list_->item(i)->text();
  return items;
}

int TFileListBox::ItemIndex() const {
  const QListWidgetItem* item = list_->currentItem();
  return item && item->isSelected() ? list_->row(item) : -1;
}

void TFileListBox::SetItemIndex(int index) {
  if (index < 0 || index >= list_->count()) {
    list_->setCurrentRow(-1);
    list_->clearSelection();
    return;
  }
  list_->setCurrentRow(index);
}

QString TFileListBox::FileName() const {
  const int index = ItemIndex();
  if (index < 0) return QString();
  return platform::JoinPath(directory_, list_->item(index)->text());
}

void TFileListBox::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  list_->setFlow(QListView::TopToBottom);
  list_->setWrapping(columns_ > 1);
  list_->setResizeMode(QListView::Adjust);
  updateGrid();
}

void TFileListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  updateGrid();
}

void TFileListBox::updateGrid() {
  if (columns_ <= 1) return;
  const int width = std::max(1, list_->viewport()->width() / columns_);
  list_->setGridSize(QSize(width, itemHeight_));
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
