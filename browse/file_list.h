#pragma once
// The file list: the names of the listed folder's files that match the mask, in two
// columns, each with the small icon of its kind. A change of the selection runs the
// click notification, so the preview follows it; pressing an item and moving the mouse
// 5 pixels drags the file, with the list as the drag's source. While a held key
// repeats, the notification waits for the key's release (or a pause in the repeat), so
// holding an arrow key runs through the list without loading every file passed.

#include "framework/control.h"
#include "platform/file_system.h"

#include <QIcon>
#include <QListView>

#include <functional>
#include <vector>

class TKeyHold;
class FileListModel;

// One listed file: its name, whether it is a folder, and its icon. Size, time and
// attributes are not read for a listing; platform::FindFiles gives them for a name.
struct TFileRecord {
  QString Name;
  bool IsDirectory = false;
  QIcon Icon;
};

// The names in folder that match mask: the mask is split at each ";"
// (blanks kept, empty patterns find nothing); each file is listed once, however many
// patterns find it, and names that differ only in case are two files. Sorted with directories first, then as CompareFileNames orders
// names. Calls onFound with the running count after each name, so a reader can show it
// is busy.
[[nodiscard]] std::vector<platform::TFoundName> FindMatchingFiles(const QString& folder, const QString& mask,
                                                                  const std::function<void(size_t)>& onFound = {});

class TFileListBox : public TWinControl {
 public:
  explicit TFileListBox(TComponent* AOwner);
  ~TFileListBox() override;
  QString ClassName() const override { return QStringLiteral("TFileListBox"); }

  // The listed folder. Changing it enters the folder, so the process's current folder
  // (which a relative name and a program the opener starts go by) stays the listed one,
  // then re-reads the names.
  const QString& Directory() const { return directory_; }
  void ApplyDirectory(const QString& folder);
  const QString& Mask() const { return mask_; }
  // Stores a different mask (exact comparison) and re-reads the names.
  void SetMask(const QString& mask);
  // Re-reads the names of the listed folder with the current mask; the selection is lost.
  void Refresh() { readFileNames(); }
  // Re-reads the names and selects the selected file again where it is still listed
  // (the same name, letter case included), without a click notification.
  void RereadKeepingSelection();

  QStringList Items() const;
  int ItemIndex() const;
  // Selects the item (none for an index out of range) and runs the click notification.
  void SetItemIndex(int index);
  // The full path of the selected item; empty without a selection. The file is not
  // checked for existence.
  QString FileName() const;

  void SetColumns(int columns);
  // The item height: the larger of the designed one and the font's height less 3.
  void SetItemHeight(int height);
  int ItemHeight() const;

  static constexpr int kDragThreshold = 5;

 protected:
  void ApplyFrame(int border) override;
  bool PaintsDialogFrame() const override { return false; }
  void BoundsChanged() override;

 private:
  TFileListBox(TComponent* AOwner, HostWidget<QListView>* list);
  void readFileNames();
  void updateGrid();
  void selectionChanged();
  void notifySelection();
  friend class FileListInput;
  void mouseDown(const QPoint& pos);
  void dragMove(const QPoint& pos);
  void beginDrag();

  QListView* list_;
  FileListModel* model_;
  QString directory_;
  QString mask_ = QStringLiteral("*.*");
  std::vector<TFileRecord> records_;
  int columns_ = 1;
  int itemHeight_ = 18;
  bool reading_ = false;
  TKeyHold* keyHold_;
  bool pressed_ = false;
  bool dragging_ = false;
  QPoint pressPos_;
};

// The kind the main window uses.
class TRzFileListBox : public TFileListBox {
 public:
  explicit TRzFileListBox(TComponent* AOwner) : TFileListBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TRzFileListBox"); }
};
