#include "read_only_program.h"

#include <QFile>

#include <unistd.h>

namespace e2e {
namespace {

QString ShellQuoted(QString text) { return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\''; }

}  // namespace

QString ReadOnlyProgramLauncher(const QString& scriptFolder, const QString& programDir, const QString& launcher) {
  // Without the superuser's rights a mount namespace needs a user namespace of its own.
  const QString unshare = ::geteuid() == 0 ? QStringLiteral("unshare --mount --propagation private")
                                           : QStringLiteral("unshare --map-root-user --mount --propagation private");
  const QString script = QStringLiteral("#!/bin/sh\nexec %1 sh -c 'mount --bind -o ro \"$1\" \"$1\" && exec \"$2\"' sh %2 %3\n")
                             .arg(unshare, ShellQuoted(programDir), ShellQuoted(launcher));
  const QString path = scriptFolder + QStringLiteral("/start-read-only");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(script.toUtf8()) < 0) return QString();
  file.close();
  if (!file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) return QString();
  return path;
}

}  // namespace e2e
