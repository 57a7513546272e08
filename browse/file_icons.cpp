#include "browse/file_icons.h"

#include <QHash>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>

namespace {

const QMimeDatabase& mimeTypes() {
  static const QMimeDatabase database;
  return database;
}

QIcon themeIconFor(const QMimeType& type) {
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  return icon.isNull() ? DrawnFileIcon() : icon;
}

// What follows the last dot of the name, lower-cased (empty without a dot).
QString lowerExtension(const QString& fileName) {
  const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

}  // namespace

bool HasOwnIcon(const QString& fileName) {
  const QString extension = lowerExtension(fileName);
  return extension == QLatin1String("exe") || extension == QLatin1String("lnk") ||
         extension == QLatin1String("ico") || extension == QLatin1String("scr");
}

QIcon FileIconFor(const QString& fileName) {
  static QHash<QString, QIcon> cache;
  const QString extension = lowerExtension(fileName);
  auto it = cache.find(extension);
  if (it == cache.end()) {
    it = cache.insert(extension, themeIconFor(mimeTypes().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension)));
  }
  return it.value();
}

QIcon OwnFileIcon(const QString& path) {
  if (lowerExtension(path) == QLatin1String("ico")) {
    QImageReader reader(path);
    reader.setScaledSize(QSize(16, 16));
    const QImage picture = reader.read();
    if (!picture.isNull()) return QIcon(QPixmap::fromImage(picture));
  }
  return themeIconFor(mimeTypes().mimeTypeForFile(path, QMimeDatabase::MatchDefault));
}

QIcon DrawnFileIcon() {
  static const QIcon icon = [] {
    QPixmap sheet(16, 16);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    const QPoint outline[] = {QPoint(2, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 15), QPoint(2, 15)};
    p.drawPolygon(outline, 5);
    const QPoint fold[] = {QPoint(10, 0), QPoint(10, 3), QPoint(13, 3)};
    p.drawPolyline(fold, 3);
    return QIcon(sheet);
  }();
  return icon;
}
