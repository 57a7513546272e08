#include "platform/private_profile.h"

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/lossless_utf8.h"
#include "platform/private_profile_file.h"
#include "platform/private_profile_text.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

#include <unistd.h>

namespace platform {

namespace {

bool IsBareFileName(const QString& fileName) { return !fileName.contains(u'/'); }

QString CutToBuffer(const QString& text, int bufferSize) {
  if (bufferSize <= 0) {
    return QString();
  }
  const qsizetype room = bufferSize - 1;
  if (text.size() <= room) {
    return text;
  }
  QString cut = text.first(room);
  if (!cut.isEmpty() && cut.back().isHighSurrogate()) {
    cut.chop(1);
  }
  return cut;
}

}  // namespace

QString ProfileDirectory() {
  // Both by their bytes: a home whose name is not UTF-8 is still the home.
  const char* variable = std::getenv("XDG_CONFIG_HOME");
  const QString configured = variable ? DecodeUtf8Lossless(variable) : QString();
  const QString base = configured.startsWith(QLatin1Char('/')) ? configured : HomeFolder() + QStringLiteral("/.config");
  return QDir::cleanPath(base + QStringLiteral("/velarim"));
}

QString SettingsDirectory(const QString& programDirectory) {
  // access() asks the kernel itself, so a read-only mount counts even for the superuser.
  const std::optional<QByteArray> native = NativePath(programDirectory);
  if (native && ::access(native->constData(), W_OK) == 0) {
    return programDirectory;
  }
  const QString folder = platform::ProfileDirectory();
  // A folder that cannot be made shows at the first write, as the settings file's error.
  profile_file::MakePrivateFolder(folder);
  return folder + u'/';
}

QString ResolveProfileFileName(const QString& fileName) {
  if (fileName.isEmpty() || !IsBareFileName(fileName)) {
    return fileName;
  }
  return platform::ProfileDirectory() + u'/' + fileName;
}

namespace {

// One whole change of the profile file; a bare name's folder is made when missing.
bool UpdateProfile(const QString& fileName, const profile_file::ContentChange& change) {
  const QString path = platform::ResolveProfileFileName(fileName);
  if (path.isEmpty()) {
    return false;
  }
  return profile_file::UpdateFile(path, change,
                                  IsBareFileName(fileName) ? profile_file::MissingFolder::CreatePrivate
                                                           : profile_file::MissingFolder::Fail);
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& fileName) {
  QByteArray bytes;
  const QString path = platform::ResolveProfileFileName(fileName);
  if (path.isEmpty() || profile_file::ReadWholeFile(path, bytes) != profile_file::ReadStatus::Read) {
    return CutToBuffer(defaultValue, bufferSize);
  }
  const std::optional<QString> value = profile_text::FindValue(bytes, section, key);
  return CutToBuffer(value.value_or(defaultValue), bufferSize);
}

bool WritePrivateProfileString(const QString* section, const QString* key, const QString* value,
                               const QString& fileName) {
  if (!section) {
    return true;
  }
  const auto change = [&](const QByteArray& old) { return profile_text::ApplyWrite(old, *section, key, value); };
  return UpdateProfile(fileName, change);
}

bool WritePrivateProfileStrings(const QString& section, const ProfileEntries& entries, const QString& fileName) {
  const auto change = [&](const QByteArray& old) -> std::optional<QByteArray> {
    std::optional<QByteArray> bytes = old;
    for (auto entry = entries.begin(); bytes && entry != entries.end(); ++entry) {
      bytes = profile_text::ApplyWrite(*bytes, section, &entry->first, &entry->second);
    }
    return bytes;
  };
  return UpdateProfile(fileName, change);
}

}  // namespace platform
