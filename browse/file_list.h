#pragma once
// The file list: the names of the listed folder's files that match the mask, in two
// columns, each with the small icon of its kind. A change of the selection runs the
// click notification, so the preview follows it.

#include "framework/control.h"

#include <QListWidget>

class TDirectoryListBox;

class TFileListBox : public TWinControl {
 public:
  explicit TFileListBox(TComponent* AOwner);
  ~TFileListBox() override;
  QString ClassName() const override { return QStringLiteral("TFileListBox"); }

  // The listed folder; changing it re-reads the names.
  const QString& Directory() const { return directory_; }
  void ApplyDirectory(const QString& folder);
  const QString& Mask() const { return mask_; }
  // Stores a different mask (exact comparison) and re-reads the names.
  void SetMask(const QString& mask);
  // Re-reads the names of the listed folder with the current mask.
  void Update();

  QStringList Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The full path of the selected item; empty without a selection.
  QString FileName() const;

  void SetColumns(int columns);
  void SetItemHeight(int height);

  // The folder list that feeds this list (set by the folder list).
  void SetDirList(TDirectoryListBox* list) { dirList_ = list; }

 protected:
  void ApplyFrame(int border) override;
  bool PaintsDialogFrame() const override { return false; }
  void BoundsChanged() override;

 private:
  TFileListBox(TComponent* AOwner, HostWidget<QListWidget>* list);
  void readFileNames();
  void updateGrid();

  QListWidget* list_;
  TDirectoryListBox* dirList_ = nullptr;
  QString directory_;
  QString mask_ = QStringLiteral("*.*");
  int columns_ = 1;
  int itemHeight_ = 18;
};

// The kind the main window uses.
class TRzFileListBox : public TFileListBox {
 public:
  explicit TRzFileListBox(TComponent* AOwner) : TFileListBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TRzFileListBox"); }
};
