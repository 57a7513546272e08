#include "browse/drive_combo.h"

#include "browse/directory_list.h"
#include "framework/application.h"
#include "platform/file_system.h"

#include <QStyle>

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TDriveComboBox(AOwner, MakeHost<QComboBox>(this)) {}

TDriveComboBox::TDriveComboBox(TComponent* AOwner, HostWidget<QComboBox>* combo)
    : TWinControl(AOwner, combo, combo), combo_(combo) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  drive_ = platform::DriveRootOf(platform::GetCurrentDir());
  BuildList();
  QObject::connect(combo_, &QComboBox::activated, [this](int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size())) return;
    try {
      SelectDrive(drives_[static_cast<size_t>(index)].root, true);
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
  });
}

TDriveComboBox::~TDriveComboBox() { BeginDestruction(); }

void TDriveComboBox::BuildList() {
  drives_ = platform::GetDrives();
  const QSignalBlocker block(combo_);
  combo_->clear();
  const QIcon icon = combo_->style()->standardIcon(QStyle::SP_DriveHDIcon);
  for (const platform::DriveInfo& drive : drives_) combo_->addItem(icon, platform::DriveItemText(drive));
  SelectDrive(drive_, false);
}

void TDriveComboBox::SelectDrive(const QString& root, bool followFolderList) {
  drive_ = root;
  for (size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i].root == root) {
      const QSignalBlocker block(combo_);
      combo_->setCurrentIndex(static_cast<int>(i));
    }
  }
  if (followFolderList && dirList_) dirList_->SetDirectory(platform::DriveCurrentFolder(root));
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
  dirList_ = list;
  if (!dirList_) return;
  dirList_->SetDriveCombo(this);
  FreeNotification(dirList_);
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == dirList_) dirList_ = nullptr;
}
