#include "actions/file_copy.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

[[noreturn]] void cannotSave(const QString& target) {
  throw Exception(QStringLiteral("%1 kann nicht gespeichert werden").arg(target));
}

bool sameFile(const QString& a, const QString& b) {
  const QString canonicalA = QFileInfo(a).canonicalFilePath();
  return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

}  // namespace

void SaveCopyOfFile(const QString& source, const QString& target) {
  if (source.isEmpty() || target.isEmpty()) return;
  if (sameFile(source, target)) throw Exception(QStringLiteral("%1 kann nicht auf sich selbst kopiert werden").arg(target));
  QFile input(source);
  if (!input.open(QIODevice::ReadOnly)) cannotSave(target);
  QSaveFile output(target);
  if (!output.open(QIODevice::WriteOnly)) cannotSave(target);
  constexpr qint64 kChunk = 1 << 20;
  while (!input.atEnd()) {
    const QByteArray chunk = input.read(kChunk);
    if (chunk.isEmpty() && input.error() != QFileDevice::NoError) break;
    if (output.write(chunk) != chunk.size()) break;
  }
  if (!input.atEnd() || !output.commit()) cannotSave(target);
}
