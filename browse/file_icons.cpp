#include "browse/file_icons.h"

#include "platform/file_system.h"

#include <QHash>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>

#include <utility>
#include <vector>

namespace {

const QMimeDatabase& MimeTypes() {
  static const QMimeDatabase database;
  return database;
}

QIcon ThemeIconFor(const QMimeType& type) {
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  return icon.isNull() ? DrawnFileIcon() : icon;
}

// What follows the last dot of the name (empty without a dot), as it is spelt.
QStringView ExtensionOf(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QStringView() : QStringView(fileName).sliced(dot + 1);
}

bool HasOwnIcon(const QString& extension) {
  return extension == QLatin1String("exe") || extension == QLatin1String("lnk") ||
         extension == QLatin1String("ico") || extension == QLatin1String("scr");
}

// The icon of this very file (its picture for an icon file, else by its content's type).
QIcon OwnFileIcon(const QString& path, const QString& extension) {
  if (extension == QLatin1String("ico")) {
    QImageReader reader(path);
    reader.setScaledSize(QSize(16, 16));
    const QImage picture = reader.read();
    if (!picture.isNull()) return QIcon(QPixmap::fromImage(picture));
  }
  return ThemeIconFor(MimeTypes().mimeTypeForFile(path, QMimeDatabase::MatchDefault));
}

QIcon CachedIconOf(const QString& extension, const QString& fileName) {
  static QHash<QString, QIcon> cache;
  auto it = cache.find(extension);
  if (it == cache.end()) {
    it = cache.insert(extension, ThemeIconFor(MimeTypes().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension)));
  }
  return it.value();
}

}  // namespace

QIcon ListedFileIcon(const QString& folder, const QString& fileName) {
  // The spellings of extensions met so far with the icon of their kind: a folder of many
  // files has few of them, and a look here costs no lower-casing and no allocation.
  static std::vector<std::pair<QString, QIcon>> bySpelling;
  constexpr size_t kSpellingsKept = 32;
  const QStringView spelling = ExtensionOf(fileName);
  for (const auto& [known, icon] : bySpelling) {
    if (known == spelling) return icon;
  }
  const QString extension = spelling.toString().toLower();
  if (HasOwnIcon(extension)) return OwnFileIcon(platform::JoinPath(folder, fileName), extension);
  QIcon icon = CachedIconOf(extension, fileName);
  if (bySpelling.size() < kSpellingsKept) bySpelling.emplace_back(spelling.toString(), icon);
  return icon;
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
