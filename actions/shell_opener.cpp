#include "actions/shell_opener.h"

#include "platform/file_system.h"
#include "platform/installed_service.h"

#include <QDesktopServices>
#include <QFile>
#include <QRegularExpression>

namespace {

platform::InstalledService<ShellOpener, DesktopShellOpener> opener;

// Internet shortcuts are a few lines; a bigger file is not one.
constexpr qint64 kMaxShortcutSize = 64 * 1024;

bool isInternetShortcut(const QString& path) {
  return path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive);
}

QUrl shortcutUrl(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxShortcutSize) return QUrl();
  const QUrl url(InternetShortcutTarget(file.read(kMaxShortcutSize)), QUrl::StrictMode);
  // A relative target would be taken for a file of the current folder.
  return url.isValid() && !url.scheme().isEmpty() ? url : QUrl();
}

bool hasScheme(const QString& target) {
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  return scheme.match(target).hasMatch();
}

}  // namespace

bool DesktopShellOpener::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

namespace platform {

ShellOpener& Shell() { return opener.Get(); }

ShellOpener* SetShellOpener(ShellOpener* replacement) { return opener.Install(replacement); }

}  // namespace platform

QString InternetShortcutTarget(const QByteArray& text) {
  bool inShortcutSection = false;
  for (QByteArray line : text.split('\n')) {
    line = line.trimmed();
    if (line.startsWith('[')) {
      inShortcutSection = line.compare("[InternetShortcut]", Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inShortcutSection) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || line.left(equals).trimmed().compare("URL", Qt::CaseInsensitive) != 0) continue;
    return QString::fromUtf8(line.mid(equals + 1).trimmed());
  }
  return QString();
}

QUrl ShellTargetUrl(const QString& target) {
  if (target.trimmed().isEmpty()) return QUrl();
  const bool absolute = target.startsWith(QLatin1Char('/'));
  const bool exists = platform::FileExists(target) || platform::DirectoryExists(target);
  if (!absolute && !exists && hasScheme(target)) return QUrl(target, QUrl::TolerantMode);
  if (isInternetShortcut(target) && (absolute || exists)) {
    return platform::FileExists(target) ? shortcutUrl(target) : QUrl();
  }
  // The URL is made from the name's bytes, so a name that is not UTF-8 reaches the
  // opener as the file it is.
  return platform::LocalFileUrl(absolute ? target : platform::JoinPath(platform::GetCurrentDir(), target));
}

bool ShellExecute(QWidget*, const QString&, const QString& target) {
  const QUrl url = ShellTargetUrl(target);
  if (!url.isValid() || url.isEmpty()) return false;
  return platform::Shell().OpenUrl(url);
}
