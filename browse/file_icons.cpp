#include "browse/file_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>

namespace {

QIcon LookUpIcon(const QString& fileName) {
  static const QMimeDatabase mimeTypes;
  const QMimeType type = mimeTypes.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  if (icon.isNull()) {
    static const QFileIconProvider provider;
    icon = provider.icon(QFileIconProvider::File);
  }
  return icon;
}

}  // namespace

QIcon FileIconFor(const QString& fileName) {
  static QHash<QString, QIcon> cache;
  const QString extension = QFileInfo(fileName).suffix().toLower();
  auto it = cache.find(extension);
  if (it == cache.end()) it = cache.insert(extension, LookUpIcon(fileName));
  return it.value();
}
