#include "browse/list_pictures.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <array>

namespace {

// The colour the bitmaps leave around their pictures (read back from the bottom-left pixel).
const QColor kKeyColour(0x80, 0x80, 0x00);
const QColor kFolderYellow(0xFF, 0xFF, 0x00);
const QColor kFolderShade(0x80, 0x80, 0x00);
const QColor kLightGrey(0xC0, 0xC0, 0xC0);

QImage BlankBitmap(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kKeyColour);
  return image;
}

void DrawClosedFolder(QPainter& p) {
  p.setPen(Qt::black);
  p.setBrush(kFolderYellow);
  p.drawRect(1, 4, 13, 9);
  p.drawLine(2, 3, 6, 3);
  p.setPen(Qt::white);
  p.drawLine(2, 5, 13, 5);
}

void DrawOpenFolder(QPainter& p) {
  p.setPen(Qt::black);
  p.setBrush(kFolderShade);
  p.drawRect(1, 3, 12, 10);
  p.setBrush(kFolderYellow);
  const std::array<QPoint, 4> front{QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)};
  p.drawPolygon(front.data(), static_cast<int>(front.size()));
}

void DrawCurrentFolder(QPainter& p) {
  DrawOpenFolder(p);
  // A sheet standing in the open folder marks the folder whose files are listed.
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(6, 1, 6, 6);
}

void DrawDriveBody(QPainter& p, const QColor& light) {
  p.setPen(Qt::black);
  p.setBrush(light);
  p.drawRect(0, 5, 15, 6);
  p.setPen(QColor(0x00, 0xFF, 0x00));
  p.drawPoint(12, 9);
}

}  // namespace

QImage FolderBitmap(FolderItemKind kind) {
  QImage image = BlankBitmap(16, 15);
  QPainter p(&image);
  switch (kind) {
    case FolderItemKind::ClosedFolder: DrawClosedFolder(p); break;
    case FolderItemKind::OpenFolder: DrawOpenFolder(p); break;
    case FolderItemKind::CurrentFolder: DrawCurrentFolder(p); break;
  }
  return image;
}

QImage DriveBitmap(platform::DriveType type) {
  QImage image = BlankBitmap(16, 16);
  QPainter p(&image);
  switch (type) {
    case platform::DriveType::Removable:
      p.setPen(Qt::black);
      p.setBrush(Qt::black);
      p.drawRect(2, 2, 11, 12);
      p.setBrush(kLightGrey);
      p.drawRect(5, 2, 5, 4);
      p.setBrush(Qt::white);
      p.drawRect(4, 9, 7, 5);
      break;
    case platform::DriveType::Fixed: DrawDriveBody(p, kLightGrey); break;
    case platform::DriveType::Network:
      DrawDriveBody(p, kLightGrey);
      p.setPen(Qt::black);
      p.drawLine(7, 11, 7, 14);
      p.drawLine(2, 14, 13, 14);
      break;
    case platform::DriveType::CDROM:
      p.setPen(Qt::black);
      p.setBrush(Qt::white);
      p.drawEllipse(1, 1, 13, 13);
      p.setBrush(kLightGrey);
      p.drawEllipse(6, 6, 3, 3);
      break;
    case platform::DriveType::RAMDisk:
      p.setPen(Qt::black);
      p.setBrush(QColor(0x00, 0x80, 0x00));
      p.drawRect(0, 5, 15, 5);
      p.setPen(Qt::black);
      for (int x = 2; x < 15; x += 3) p.drawLine(x, 11, x, 13);
      break;
  }
  return image;
}

QPixmap TransparentByBottomLeft(const QImage& bitmap) {
  if (bitmap.isNull()) return QPixmap();
  const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
  QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((row[x] & 0x00FFFFFF) == (key & 0x00FFFFFF)) row[x] = 0;
    }
  }
  return QPixmap::fromImage(image);
}

// The transparent pictures of every kind of a bitmap function, in the kinds' order.
template <class Kind, size_t Count>
std::array<QPixmap, Count> picturesOf(QImage (*bitmap)(Kind)) {
  std::array<QPixmap, Count> pictures;
  for (size_t i = 0; i < Count; ++i) pictures[i] = TransparentByBottomLeft(bitmap(static_cast<Kind>(i)));
  return pictures;
}

const QPixmap& FolderPicture(FolderItemKind kind) {
  static const auto pictures = picturesOf<FolderItemKind, 3>(FolderBitmap);
  return pictures[static_cast<size_t>(kind)];
}

const QPixmap& DrivePicture(platform::DriveType type) {
  static const auto pictures = picturesOf<platform::DriveType, 5>(DriveBitmap);
  return pictures[static_cast<size_t>(type)];
}

int CenteredTextTop(const QRect& item, const QFontMetrics& metrics) {
  return item.top() + (item.height() - metrics.height()) / 2;
}

void DrawItemText(QPainter& painter, const QRect& item, int x, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  const int top = CenteredTextTop(item, metrics);
  painter.drawText(QPoint(x, top + metrics.ascent()), text);
}
