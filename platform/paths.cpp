#include "platform/paths.h"

#include "platform/lossless_utf8.h"

#include <QCoreApplication>

#include <string>
#include <unistd.h>

namespace platform {

namespace {

QString FileNameOf(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

// Length of the first character, so a surrogate pair is never split.
qsizetype FirstCharacterLength(const QString& text) {
  if (text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate()) {
    return 2;
  }
  return text.isEmpty() ? 0 : 1;
}

}  // namespace

QString ProgramDirectoryFromExecutable(const QString& exePath) {
  const qsizetype slash = exePath.lastIndexOf(u'/');
  QString folder = exePath.left(slash + 1);
  // The folder part as the path spells it, ending in one "/" of its own: the root keeps its
  // "/", and a "/" the path doubles before the name stays as written, since the program
  // directory is never rewritten, only given its one closing "/".
  if (slash > 0 && exePath[slash - 1] != u'/') {
    folder.chop(1);
  }
  if (!folder.endsWith(u'/')) {
    folder += u'/';
  }
  return folder;
}

QString ExecutablePath() {
  // Read as bytes: the program may sit in a folder whose name is not UTF-8, and its
  // settings file beside it must be found under that very name.
  std::string target(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
  if (length > 0 && static_cast<size_t>(length) < target.size()) {
    return DecodeUtf8Lossless(QByteArrayView(target.data(), length));
  }
  return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

QString ApplicationTitleFromExecutable(const QString& exePath) {
  QString name = FileNameOf(exePath);
  const qsizetype dot = name.indexOf(u'.');
  if (dot >= 0) {
    name.truncate(dot);
  }
  const qsizetype first = FirstCharacterLength(name);
  return name.left(first) + name.mid(first).toLower();
}

QString PlacementFileNameFromExecutable(const QString& exePath) {
  QString name = FileNameOf(exePath);
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot >= 0) {
    name.truncate(dot);
  }
  return name + QStringLiteral(".INI");
}

}  // namespace platform
