#include "actions/shell_opener.h"

#include "platform/file_system.h"
#include "platform/installed_service.h"
#include "platform/lossless_utf8.h"
#include "platform/private_profile_file.h"

#include <QDesktopServices>
#include <QRegularExpression>

namespace {

platform::InstalledService<ShellOpener, DesktopShellOpener> opener;

// Internet shortcuts are a few lines; a bigger file is not one.
constexpr qint64 kMaxShortcutSize = 64 * 1024;

bool IsInternetShortcut(const QString& path) {
  return path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive);
}

// A byte of the address that is not UTF-8 goes to the browser as itself ("%E4"), as the
// address meant it; a decoding would hand over a replacement character instead.
QUrl UrlOfTarget(const QString& target) {
  const QByteArray bytes = platform::EncodeUtf8Lossless(target);
  if (bytes == target.toUtf8()) return QUrl(target, QUrl::StrictMode);
  QByteArray encoded;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    encoded += byte < 0x80 ? QByteArray(1, c) : QByteArray(1, c).toPercentEncoding();
  }
  return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QUrl ShortcutUrl(const QString& path) {
  // Read by the name's bytes: the program folder's name need not be UTF-8.
  QByteArray text;
  if (platform::profile_file::ReadWholeFile(path, text) != platform::profile_file::ReadStatus::Read ||
      text.size() > kMaxShortcutSize) {
    return QUrl();
  }
  const QUrl url = UrlOfTarget(InternetShortcutTarget(text));
  // A relative target would be taken for a file of the current folder.
  return url.isValid() && !url.scheme().isEmpty() ? url : QUrl();
}

bool HasScheme(const QString& target) {
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
    return platform::DecodeUtf8Lossless(line.mid(equals + 1).trimmed());
  }
  return QString();
}

QUrl ShellTargetUrl(const QString& target) {
  if (target.trimmed().isEmpty()) return QUrl();
  const bool absolute = target.startsWith(QLatin1Char('/'));
  const bool exists = platform::FileExists(target) || platform::DirectoryExists(target);
  if (!absolute && !exists && HasScheme(target)) return QUrl(target, QUrl::TolerantMode);
  if (IsInternetShortcut(target) && (absolute || exists)) {
    return platform::FileExists(target) ? ShortcutUrl(target) : QUrl();
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
