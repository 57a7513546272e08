#include "platform/dialog_names.h"

#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool EntryExists(const QString& path) {
  const std::optional<QByteArray> native = NativePath(path);
  struct stat info {};
  return native && ::lstat(native->constData(), &info) == 0;
}

// The entry of folder that a dialog shows as `shown`; empty when there is none.
QString EntryShownAs(const QString& folder, const QString& shown) {
  constexpr int kEveryEntry = faHidden | faSysFile | faDirectory;
  for (const TFoundName& entry : FindNames(folder, {QStringLiteral("*")}, kEveryEntry)) {
    if (QtListedName(entry.Name) == shown || ShownName(entry.Name) == shown) return entry.Name;
  }
  return QString();
}

// The descriptor link's prefix in the forms a dialog may give it back: as handed over,
// or with the process's own number in place of "self".
bool StripLink(QString& path, int fd) {
  const QString number = QString::number(fd);
  for (const QString& link : {QStringLiteral("/proc/self/fd/") + number,
                              QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(number)}) {
    if (path == link || path.startsWith(link + QLatin1Char('/'))) {
      path.remove(0, link.size());
      return true;
    }
  }
  return false;
}

}  // namespace

DialogFolder::DialogFolder(const QString& folder) : folder_(folder), shown_(folder) {
  if (folder.isEmpty() || IsUtf8Path(folder)) return;
  const std::optional<QByteArray> native = NativePath(folder);
  if (native) fd_ = ::open(native->constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ >= 0) shown_ = QStringLiteral("/proc/self/fd/%1").arg(fd_);
}

DialogFolder::~DialogFolder() {
  if (fd_ >= 0) ::close(fd_);
}

QString DialogFolder::Resolve(const QString& answered, const QString& presetName) const {
  QString path = answered;
  if (fd_ >= 0 && StripLink(path, fd_)) path.prepend(folder_);
  if (!path.startsWith(QLatin1Char('/')) || EntryExists(path)) return path;
  QStringList elements = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  const bool presetIsShownOtherwise = !presetName.isEmpty() && ShownName(presetName) != presetName;
  const bool presetKept = presetIsShownOtherwise && !elements.isEmpty() && elements.last() == ShownName(presetName);
  if (presetKept) elements.last() = presetName;
  QString mapped = QStringLiteral("/");
  for (qsizetype i = 0; i < elements.size(); ++i) {
    const QString& element = elements[i];
    if (presetKept && i + 1 == elements.size()) return JoinPath(mapped, element);
    if (EntryExists(JoinPath(mapped, element))) {
      mapped = JoinPath(mapped, element);
      continue;
    }
    const QString entry = EntryShownAs(mapped, element);
    if (entry.isEmpty()) return JoinPath(mapped, elements.mid(i).join(QLatin1Char('/')));  // a new name
    mapped = JoinPath(mapped, entry);
  }
  return mapped;
}

bool IsUtf8Path(const QString& path) {
  const std::optional<QByteArray> native = NativePath(path);
  return native && *native == path.toUtf8();
}

QString ShownName(const QString& name) { return ReadableText(name); }

QString QtListedName(const QString& name) { return QFile::decodeName(EncodeUtf8Lossless(name)); }

}  // namespace platform
