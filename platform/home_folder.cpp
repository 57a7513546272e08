#include "platform/home_folder.h"

#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace platform {
namespace {

std::optional<QByteArray> HomeVariable() {
  const char* value = std::getenv("HOME");
  return value ? std::optional<QByteArray>(QByteArray(value)) : std::nullopt;
}

// The account's home from the user database, whatever size its entry needs.
std::optional<QByteArray> AccountHome() {
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 4096);
  for (;;) {
    passwd entry {};
    passwd* found = nullptr;
    const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0 || !found || !found->pw_dir) return std::nullopt;
    return QByteArray(found->pw_dir);
  }
}

bool IsAbsolute(const std::optional<QByteArray>& path) { return path && path->startsWith('/'); }

}  // namespace

QString HomeFolderFrom(const std::optional<QByteArray>& homeVariable, const std::optional<QByteArray>& accountHome) {
  if (IsAbsolute(homeVariable)) return DecodeUtf8Lossless(*homeVariable);
  if (IsAbsolute(accountHome)) return DecodeUtf8Lossless(*accountHome);
  return QStringLiteral("/");
}

QString HomeFolder() {
  const std::optional<QByteArray> variable = HomeVariable();
  return HomeFolderFrom(variable, IsAbsolute(variable) ? std::nullopt : AccountHome());
}

QString DocumentsUnderHome(const QString& qtDocuments, const QString& qtHome, const QString& home) {
  if (qtDocuments.isEmpty()) return QString();
  if (qtHome != QLatin1String("/") && !qtHome.isEmpty() && (qtDocuments == qtHome || qtDocuments.startsWith(qtHome + QLatin1Char('/')))) {
    return home + qtDocuments.mid(qtHome.size());
  }
  // Elsewhere a replacement character stands for bytes that are lost.
  return qtDocuments.contains(QChar(QChar::ReplacementCharacter)) ? QString() : qtDocuments;
}

QString DocumentsFolder() {
  const QString home = HomeFolder();
  const QString documents = DocumentsUnderHome(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                               QDir::homePath(), home);
  return !documents.isEmpty() && DirectoryExists(documents) ? documents : home;
}

}  // namespace platform
