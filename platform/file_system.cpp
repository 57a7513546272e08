#include "platform/file_system.h"

#include "platform/drives.h"
#include "platform/errors.h"

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Folds case per code point, so that "?" still stands for one character afterwards.
std::u32string Folded(const QString& text) {
  const QList<uint> codePoints = text.toCaseFolded().toUcs4();
  return std::u32string(codePoints.begin(), codePoints.end());
}

// Plain glob over folded text; backtracks only to the most recent "*", which is enough
// because a later "*" can absorb anything an earlier one could.
bool GlobMatches(const std::u32string& name, const std::u32string& pattern) {
  constexpr size_t kNoStar = std::u32string::npos;
  size_t n = 0;
  size_t p = 0;
  size_t starAt = kNoStar;
  size_t nameAtStar = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == U'*') {
      starAt = p++;
      nameAtStar = n;
    } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (starAt != kNoStar) {
      p = starAt + 1;
      n = ++nameAtStar;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*') {
    ++p;
  }
  return p == pattern.size();
}

// A pattern folded once, for matching many names.
class WildcardPattern {
 public:
  explicit WildcardPattern(const QString& pattern) {
    if (pattern.isEmpty()) {
      return;
    }
    QString alternative = pattern;
    alternatives_.push_back(Folded(alternative));
    // "name.*" also stands for "name" without any extension, which makes "*.*" match all.
    while (alternative.endsWith(QLatin1String(".*")) && alternative.size() > 2) {
      alternative.chop(2);
      alternatives_.push_back(Folded(alternative));
    }
  }
  bool Matches(const QString& name) const {
    if (alternatives_.empty()) {
      return false;
    }
    const std::u32string folded = Folded(name);
    return std::any_of(alternatives_.begin(), alternatives_.end(),
                       [&](const std::u32string& alternative) { return GlobMatches(folded, alternative); });
  }

 private:
  std::vector<std::u32string> alternatives_;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int AttributesOf(const QString& name, const struct stat& info, bool resolved) {
  int attributes = 0;
  if (name.startsWith(QLatin1Char('.'))) {
    attributes |= faHidden;
  }
  if (resolved && S_ISDIR(info.st_mode)) {
    attributes |= faDirectory;
  } else if (!resolved || !S_ISREG(info.st_mode)) {
    attributes |= faSysFile;
  }
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    attributes |= faReadOnly;
  }
  return attributes;
}

// In UTC: the same instant as in local time, without a time-zone lookup per file.
QDateTime ModificationTime(const struct stat& info) {
  return QDateTime::fromMSecsSinceEpoch(
      static_cast<qint64>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

// Describes one directory entry, following a link to what it points at; a broken link
// is described by the link itself.
TSearchRec DescribeEntry(int dirFd, const char* rawName) {
  struct stat info {};
  bool resolved = fstatat(dirFd, rawName, &info, 0) == 0;
  if (!resolved && fstatat(dirFd, rawName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    info = {};
  }
  TSearchRec record;
  record.Name = QFile::decodeName(rawName);
  record.Attr = AttributesOf(record.Name, info, resolved);
  record.Time = ModificationTime(info);
  record.Size = (record.Attr & faDirectory) ? 0 : static_cast<qint64>(info.st_size);
  record.IsDirectory = (record.Attr & faDirectory) != 0;
  return record;
}

bool PassesFilter(int attributes, int attributeFilter) {
  constexpr int kSpecial = faHidden | faSysFile | faDirectory;
  return (attributes & kSpecial & ~attributeFilter) == 0;
}

bool StatFollowingLinks(const QString& path, struct stat& info) {
  const auto native = NativePath(path);
  return native && stat(native->constData(), &info) == 0;
}

QString WithoutTrailingSeparators(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
    path.chop(1);
  }
  return path;
}

const QCollator& FileNameCollator() {
  static const QCollator collator = [] {
    QCollator c{QLocale()};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  return collator;
}

}  // namespace

QString GetCurrentDir() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return QString();
    }
    buffer.resize(buffer.size() * 2);
  }
  return QFile::decodeName(buffer.c_str());
}

void EnterFolder(const QString& path) {
  const auto native = NativePath(path);
  if (!native) {
    throw EInOutError(platform::PlatformErrorCodeFromErrno(EINVAL));
  }
  if (chdir(native->constData()) != 0) {
    throw EInOutError(platform::PlatformErrorCodeFromErrno(errno));
  }
}

void SetCurrentDir(const QString& path) {
  EnterFolder(path);
  NoteCurrentFolder(GetCurrentDir());
}

std::vector<TSearchRec> FindFiles(const QString& folder, const QString& pattern, int attributeFilter) {
  std::vector<TSearchRec> found;
  const auto native = NativePath(folder.isEmpty() ? QStringLiteral(".") : folder);
  if (pattern.isEmpty() || !native) {
    return found;
  }
  const DirHandle dir(opendir(native->constData()));
  if (!dir) {
    return found;
  }
  const WildcardPattern matcher(pattern);
  while (const dirent* entry = readdir(dir.get())) {
    if (IsDotOrDotDot(entry->d_name)) {
      continue;
    }
    // The name is matched before the entry is looked at: a folder of many files is
    // read with one status call per match instead of one per entry.
    if (!matcher.Matches(QFile::decodeName(entry->d_name))) {
      continue;
    }
    TSearchRec record = DescribeEntry(dirfd(dir.get()), entry->d_name);
    if (PassesFilter(record.Attr, attributeFilter)) {
      found.push_back(std::move(record));
    }
  }
  return found;
}

bool MatchesWildcard(const QString& name, const QString& pattern) { return WildcardPattern(pattern).Matches(name); }

QStringList ListSubfolders(const QString& folder) {
  QStringList names;
  for (const TSearchRec& record : FindFiles(folder, QStringLiteral("*"), faDirectory)) {
    if (record.IsDirectory) {
      names.append(record.Name);
    }
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareFileNames(a, b) < 0; });
  return names;
}

bool SameFileName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int CompareFileNames(const QString& a, const QString& b) {
  const int byLocale = FileNameCollator().compare(a, b);
  return byLocale != 0 ? byLocale : a.compare(b, Qt::CaseSensitive);
}

// Folded first: the collator's keys ignore its case setting in some locales (C among them).
QCollatorSortKey FileNameSortKey(const QString& name) { return FileNameCollator().sortKey(name.toCaseFolded()); }

bool DirectoryExists(const QString& path) {
  struct stat info {};
  return StatFollowingLinks(path, info) && S_ISDIR(info.st_mode);
}

bool FileExists(const QString& path) {
  struct stat info {};
  return StatFollowingLinks(path, info) && !S_ISDIR(info.st_mode);
}

QString ParentOfPath(const QString& path) {
  const QString trimmed = WithoutTrailingSeparators(path);
  const qsizetype separator = trimmed.lastIndexOf(QLatin1Char('/'));
  if (trimmed == QLatin1String("/") || separator < 0) {
    return QString();
  }
  return separator == 0 ? QStringLiteral("/") : WithoutTrailingSeparators(trimmed.left(separator));
}

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) {
    return folder + name;
  }
  return folder + QLatin1Char('/') + name;
}

std::optional<QByteArray> NativePath(const QString& path) {
  if (path.contains(QChar(u'\0'))) {
    return std::nullopt;
  }
  return QFile::encodeName(path);
}

}  // namespace platform
