#include "chrome/chrome_resources.h"

#include "picture/dib_format.h"
#include "picture/icon.h"
#include "platform/errors.h"

#include <QFile>
#include <QPixmap>

namespace {

QByteArray ResourceFile(const QString& name, const QString& extension) {
  QFile file(QStringLiteral(":/resources/") + name + extension);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const uint8_t* Bytes(const QByteArray& data) { return reinterpret_cast<const uint8_t*>(data.constData()); }

}  // namespace

QImage LoadBitmapResource(const QString& name) {
  const QByteArray data = ResourceFile(name, QStringLiteral(".bmp"));
  if (data.isEmpty()) return QImage();
  try {
    return ReadBitmapFile(Bytes(data), static_cast<size_t>(data.size()));
  } catch (const Exception&) {
    return QImage();
  }
}

QCursor LoadCursorResource(const QString& name) {
  const QByteArray data = ResourceFile(name, QStringLiteral(".cur"));
  if (data.isEmpty()) return QCursor(Qt::ArrowCursor);
  try {
    const CursorImage cursor = ReadCursorFile(Bytes(data), static_cast<size_t>(data.size()));
    return QCursor(QPixmap::fromImage(cursor.image), cursor.hotSpot.x(), cursor.hotSpot.y());
  } catch (const Exception&) {
    return QCursor(Qt::ArrowCursor);
  }
}

QCursor DragCursor() { return LoadCursorResource(QStringLiteral("RX_DRAGCUR")); }
