#pragma once
// The drive selector: one item per mounted drive; choosing one takes the folder list
// to that drive's current folder.

#include "framework/control.h"
#include "platform/drives.h"

#include <QComboBox>

class QFontMetrics;
class TDirectoryListBox;

// The height of a drive item: the larger of the font's and the floppy picture's.
[[nodiscard]] int DriveItemHeight(const QFontMetrics& metrics);

class TDriveComboBox : public TWinControl {
 public:
  explicit TDriveComboBox(TComponent* AOwner);
  ~TDriveComboBox() override;
  QString ClassName() const override { return QStringLiteral("TDriveComboBox"); }

  // Selects the drive; with followFolderList the folder list changes to the drive's
  // current folder (raising EInOutError when it cannot be entered).
  void SelectDrive(const QString& root, bool followFolderList);
  void SetDirList(TDirectoryListBox* list);
  void BuildList();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TDriveComboBox(TComponent* AOwner, HostWidget<QComboBox>* combo);
  QComboBox* combo_;
  TDirectoryListBox* dirList_ = nullptr;
  QString drive_;
  std::vector<platform::DriveInfo> drives_;
};

class TRzDriveComboBox : public TDriveComboBox {
 public:
  explicit TRzDriveComboBox(TComponent* AOwner) : TDriveComboBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TRzDriveComboBox"); }
};
