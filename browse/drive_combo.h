#pragma once
// The drive selector: one item per mounted drive. Choosing one runs OnChange, where the
// window takes the folder list to that drive's current folder.

#include "framework/control.h"
#include "platform/drives.h"

#include <QComboBox>

class QFontMetrics;

// The height of a drive item: the larger of the font's and the floppy picture's.
[[nodiscard]] int DriveItemHeight(const QFontMetrics& metrics);

class TDriveComboBox : public TWinControl {
 public:
  explicit TDriveComboBox(TComponent* AOwner);
  ~TDriveComboBox() override;
  QString ClassName() const override { return QStringLiteral("TDriveComboBox"); }

  // The root of the selected drive.
  const QString& Drive() const { return drive_; }
  // Shows the drive as selected, without running OnChange.
  void SelectDrive(const QString& root);
  void BuildList();

  // Runs when the user has chosen a drive; an error it raises reaches the error report.
  TNotifyEvent OnChange;

 private:
  TDriveComboBox(TComponent* AOwner, HostWidget<QComboBox>* combo);
  QComboBox* combo_;
  QString drive_;
  std::vector<platform::DriveInfo> drives_;
};

class TRzDriveComboBox : public TDriveComboBox {
 public:
  explicit TRzDriveComboBox(TComponent* AOwner) : TDriveComboBox(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TRzDriveComboBox"); }
};
