// The file list re-read for a change on the disk rather than a change of folder.
#include "browse/file_list.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>

#include <algorithm>

void TFileListBox::RereadKeepingSelection() {
  const int index = ItemIndex();
  const QString selected = index >= 0 ? records_[static_cast<size_t>(index)].Name : QString();
  const QModelIndex top = list_->indexAt(QPoint(0, 0));
  readFileNames();
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [&selected](const TFileRecord& record) { return record.Name == selected; });
  if (selected.isEmpty() || found == records_.end()) return;
  // The same file stays selected: nothing is notified, as nothing changed for it.
  reading_ = true;
  const QModelIndex again = list_->model()->index(static_cast<int>(found - records_.begin()), 0);
  list_->selectionModel()->setCurrentIndex(again, QItemSelectionModel::ClearAndSelect);
  if (top.isValid()) list_->scrollTo(list_->model()->index(std::min(top.row(), static_cast<int>(records_.size()) - 1), 0),
                                     QAbstractItemView::PositionAtTop);
  reading_ = false;
}
