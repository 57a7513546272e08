#include "platform/file_system.h"

#include "platform/entry_kind.h"
#include "platform/errors.h"
#include "platform/lossless_utf8.h"

#include <QCollator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Plain glob over folded code points; backtracks only to the most recent "*", which is
// enough because a later "*" can absorb anything an earlier one could.
template <class Char>
bool GlobMatches(std::basic_string_view<Char> name, std::basic_string_view<Char> pattern) {
  constexpr size_t kNoStar = std::basic_string_view<Char>::npos;
  size_t n = 0;
  size_t p = 0;
  size_t starAt = kNoStar;
  size_t nameAtStar = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == Char('*')) {
      starAt = p++;
      nameAtStar = n;
    } else if (p < pattern.size() && (pattern[p] == Char('?') || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (starAt != kNoStar) {
      p = starAt + 1;
      n = ++nameAtStar;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == Char('*')) {
    ++p;
  }
  return p == pattern.size();
}

std::u16string_view Utf16Of(QStringView text) { return {text.utf16(), static_cast<size_t>(text.size())}; }

bool HasSurrogates(QStringView text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// A pattern folded once, for matching many names.
class WildcardPattern {
 public:
  explicit WildcardPattern(const QString& pattern) {
    if (pattern.isEmpty()) {
      return;
    }
    QString alternative = pattern;
    add(alternative);
    // "name.*" also stands for "name" without any extension, which makes "*.*" match all.
    while (alternative.endsWith(QLatin1String(".*")) && alternative.size() > 2) {
      alternative.chop(2);
      add(alternative);
    }
  }
  // Whether the name, already case-folded, matches. A name of the basic plane is matched
  // as it is stored; only a name with characters beyond it is widened, so that "?" still
  // stands for one character.
  bool MatchesFolded(const QString& folded) const {
    if (alternatives_.empty()) {
      return false;
    }
    if (!HasSurrogates(folded)) {
      return std::any_of(alternatives_.begin(), alternatives_.end(), [&](const QString& alternative) {
        return GlobMatches(Utf16Of(folded), Utf16Of(alternative));
      });
    }
    const std::u32string wide = Widened(folded);
    return std::any_of(wideAlternatives_.begin(), wideAlternatives_.end(),
                       [&](const std::u32string& alternative) { return GlobMatches<char32_t>(wide, alternative); });
  }
  bool Matches(const QString& name) const { return MatchesFolded(name.toCaseFolded()); }

 private:
  static std::u32string Widened(const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    return std::u32string(codePoints.begin(), codePoints.end());
  }
  void add(const QString& alternative) {
    const QString folded = alternative.toCaseFolded();
    alternatives_.push_back(folded);
    wideAlternatives_.push_back(Widened(folded));
  }

  std::vector<QString> alternatives_;
  std::vector<std::u32string> wideAlternatives_;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The kind bits of what a status describes; without one (a broken link) a system file.
int KindOfStatus(const struct stat& info, bool resolved) {
  if (resolved && S_ISDIR(info.st_mode)) {
    return faDirectory;
  }
  return resolved && S_ISREG(info.st_mode) ? 0 : faSysFile;
}

int HiddenBit(const char* rawName) { return rawName[0] == '.' ? faHidden : 0; }

// In UTC: the same instant as in local time, without a time-zone lookup per file.
QDateTime ModificationTime(const struct stat& info) {
  return QDateTime::fromMSecsSinceEpoch(
      static_cast<qint64>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

// Describes one directory entry, following a link to what it points at; a broken link
// is described by the link itself.
TSearchRec DescribeEntry(int dirFd, const char* rawName, QString name) {
  struct stat info {};
  bool resolved = fstatat(dirFd, rawName, &info, 0) == 0;
  if (!resolved && fstatat(dirFd, rawName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    info = {};
  }
  TSearchRec record;
  record.Name = std::move(name);
  record.Attr = HiddenBit(rawName) | KindOfStatus(info, resolved);
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    record.Attr |= faReadOnly;
  }
  record.Time = ModificationTime(info);
  record.Size = (record.Attr & faDirectory) ? 0 : static_cast<qint64>(info.st_size);
  record.IsDirectory = (record.Attr & faDirectory) != 0;
  return record;
}

bool PassesFilter(int attributes, int attributeFilter) {
  constexpr int kSpecial = faHidden | faSysFile | faDirectory;
  return (attributes & kSpecial & ~attributeFilter) == 0;
}

// Calls onEntry(dirFd, entry, name) for every entry of folder (the current directory when
// empty) but "." and "..", in directory order. An unreadable folder has no entries.
template <class OnEntry>
void ForEachEntry(const QString& folder, OnEntry onEntry) {
  const auto native = NativePath(folder.isEmpty() ? QStringLiteral(".") : folder);
  if (!native) {
    return;
  }
  const DirHandle dir(opendir(native->constData()));
  if (!dir) {
    return;
  }
  while (const dirent* entry = readdir(dir.get())) {
    if (!IsDotOrDotDot(entry->d_name)) {
      onEntry(dirfd(dir.get()), *entry, DecodeUtf8Lossless(entry->d_name));
    }
  }
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

int EntryKind(int dirFd, const char* rawName, unsigned char type) {
  switch (type) {
    case DT_REG:
      return 0;
    case DT_DIR:
      return faDirectory;
    case DT_LNK:
    case DT_UNKNOWN: {
      struct stat info {};
      return KindOfStatus(info, fstatat(dirFd, rawName, &info, 0) == 0);
    }
    default:
      return faSysFile;
  }
}

QString GetCurrentDir() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return QString();
    }
    buffer.resize(buffer.size() * 2);
  }
  return DecodeUtf8Lossless(buffer.c_str());
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

std::vector<TSearchRec> FindFiles(const QString& folder, const QString& pattern, int attributeFilter) {
  std::vector<TSearchRec> found;
  if (pattern.isEmpty()) {
    return found;
  }
  const WildcardPattern matcher(pattern);
  ForEachEntry(folder, [&](int dirFd, const dirent& entry, QString name) {
    // The name is matched before the entry is looked at: a folder of many files is read
    // with one status call per match instead of one per entry.
    if (!matcher.Matches(name)) {
      return;
    }
    TSearchRec record = DescribeEntry(dirFd, entry.d_name, std::move(name));
    if (PassesFilter(record.Attr, attributeFilter)) {
      found.push_back(std::move(record));
    }
  });
  return found;
}

std::vector<TFoundName> FindNames(const QString& folder, const QStringList& patterns, int attributeFilter) {
  std::vector<TFoundName> found;
  std::vector<WildcardPattern> matchers;
  matchers.reserve(static_cast<size_t>(patterns.size()));
  for (const QString& pattern : patterns) {
    matchers.emplace_back(pattern);
  }
  ForEachEntry(folder, [&](int dirFd, const dirent& entry, QString name) {
    QString folded = name.toCaseFolded();
    if (std::none_of(matchers.begin(), matchers.end(),
                     [&](const WildcardPattern& matcher) { return matcher.MatchesFolded(folded); })) {
      return;
    }
    const int attributes = HiddenBit(entry.d_name) | EntryKind(dirFd, entry.d_name, entry.d_type);
    if (PassesFilter(attributes, attributeFilter)) {
      found.push_back({std::move(name), std::move(folded), (attributes & faDirectory) != 0});
    }
  });
  return found;
}

bool MatchesWildcard(const QString& name, const QString& pattern) { return WildcardPattern(pattern).Matches(name); }

QStringList ListSubfolders(const QString& folder) {
  QStringList names;
  // Kinds as the directory gives them: among many files, no file costs a status call.
  for (const TFoundName& entry : FindNames(folder, {QStringLiteral("*")}, faDirectory)) {
    if (entry.IsDirectory) names.append(entry.Name);
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareFileNames(a, b) < 0; });
  return names;
}

int CompareFileNames(const QString& a, const QString& b) {
  const int byLocale = FileNameCollator().compare(a, b);
  return byLocale != 0 ? byLocale : a.compare(b, Qt::CaseSensitive);
}

QCollatorSortKey FileNameSortKey(const QString& name) { return FoldedNameSortKey(name.toCaseFolded()); }

// Keys of folded names: the collator's keys ignore its case setting in some locales (C
// among them).
QCollatorSortKey FoldedNameSortKey(const QString& folded) { return FileNameCollator().sortKey(folded); }

bool DirectoryExists(const QString& path) {
  struct stat info {};
  return StatFollowingLinks(path, info) && S_ISDIR(info.st_mode);
}

bool FileExists(const QString& path) {
  struct stat info {};
  return StatFollowingLinks(path, info) && !S_ISDIR(info.st_mode);
}

int RenameEntry(const QString& folder, const QString& name, const QString& newName) {
  const bool single = !newName.isEmpty() && newName != QLatin1String(".") && newName != QLatin1String("..") &&
                      !newName.contains(QLatin1Char('/'));
  const auto from = NativePath(JoinPath(folder, name));
  const auto to = NativePath(JoinPath(folder, newName));
  if (!single || !from || !to) return EINVAL;
  if (::renameat2(AT_FDCWD, from->constData(), AT_FDCWD, to->constData(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL) return errno;
  // A file system that cannot promise to replace nothing: look first.
  struct stat info {};
  if (::lstat(to->constData(), &info) == 0) return EEXIST;
  return ::rename(from->constData(), to->constData()) == 0 ? 0 : errno;
}

int RemoveFile(const QString& path) {
  const auto native = NativePath(path);
  if (!native) return EINVAL;
  return ::unlink(native->constData()) == 0 ? 0 : errno;
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
  return EncodeUtf8Lossless(path);
}

QUrl LocalFileUrl(const QString& path) {
  // Built from the name's own bytes: a URL made from the text would spell a carried byte
  // as the UTF-8 of a replacement character and name another file.
  const auto native = NativePath(path);
  if (!native || !path.startsWith(QLatin1Char('/'))) {
    return QUrl();
  }
  if (*native == path.toUtf8()) {
    return QUrl::fromLocalFile(path);
  }
  return QUrl::fromEncoded("file://" + native->toPercentEncoding("/!$&'()*+,;=:@"), QUrl::StrictMode);
}

}  // namespace platform
