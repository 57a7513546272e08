#include "browse/drive_combo.h"

#include "framework/application_services.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include "browse/list_pictures.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kPictureLeft = 2;
constexpr int kTextAfterPicture = 6;
constexpr int kTypeRole = Qt::UserRole;

// Draws a drive item: the picture 2 pixels from the left, vertically centred, and the
// text 6 pixels after it on one line.
class DriveItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect item = option.rect;
    const bool selected = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(item, palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QPixmap& picture = DrivePicture(static_cast<platform::DriveType>(index.data(kTypeRole).toInt()));
    painter->drawPixmap(item.left() + kPictureLeft, item.top() + (item.height() - picture.height()) / 2, picture);
    painter->setFont(option.font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    DrawItemText(*painter, item, item.left() + kPictureLeft + picture.width() + kTextAfterPicture,
                 index.data(Qt::DisplayRole).toString());
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), DriveItemHeight(option.fontMetrics));
  }
};

}  // namespace

int DriveItemHeight(const QFontMetrics& metrics) {
  return std::max(metrics.height(), DrivePicture(platform::DriveType::Removable).height());
}

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TDriveComboBox(AOwner, MakeHost<QComboBox>(this)) {}

TDriveComboBox::TDriveComboBox(TComponent* AOwner, HostWidget<QComboBox>* combo)
    : TWinControl(AOwner, combo, combo), combo_(combo) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  drive_ = platform::DriveRootOf(platform::GetCurrentDir());
  combo_->setItemDelegate(new DriveItemDelegate(combo_));
  BuildList();
  QObject::connect(combo_, &QComboBox::activated, [this](int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size())) return;
    try {
      SelectDrive(drives_[static_cast<size_t>(index)].root);
      if (OnChange) OnChange(this);
    } catch (const std::exception& error) {
      ReportHandlerError(error);
    }
  });
}

TDriveComboBox::~TDriveComboBox() { BeginDestruction(); }

void TDriveComboBox::BuildList() {
  drives_ = platform::GetDrives();
  const QSignalBlocker block(combo_);
  combo_->clear();
  for (const platform::DriveInfo& drive : drives_) {
    combo_->addItem(QIcon(DrivePicture(drive.type)), platform::ReadableText(platform::DriveItemText(drive)), static_cast<int>(drive.type));
  }
  SelectDrive(drive_);
}

void TDriveComboBox::SelectDrive(const QString& root) {
  drive_ = root;
  for (size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i].root == root) {
      const QSignalBlocker block(combo_);
      combo_->setCurrentIndex(static_cast<int>(i));
    }
  }
}
