#include "platform/file_system.h"

#include "platform/drives.h"
#include "platform/entry_kind.h"
#include "platform/errors.h"

#include "current_dir_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

struct WildcardCase {
  const char* name;
  const char* pattern;
  bool matches;
};

void PrintTo(const WildcardCase& c, std::ostream* os) { *os << '"' << c.name << "\" ~ \"" << c.pattern << '"'; }

class Wildcard : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcard, MatchesLikeTheWindowsSearch) {
  const WildcardCase& c = GetParam();
  EXPECT_EQ(MatchesWildcard(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcard,
    ::testing::Values(WildcardCase{"a.jpg", "*.jpg", true}, WildcardCase{"B.JPEG", "*.jpeg", true},
                      WildcardCase{"mixed.Jpg", "*.JPG", true}, WildcardCase{"c.bmp", "*.jpg", false},
                      WildcardCase{"photo.jpg.bak", "*.jpg", false}, WildcardCase{"x.jpeg", "*.jpg", false},
                      // "*.*" is every name, with or without a dot
                      WildcardCase{"README", "*.*", true}, WildcardCase{".profile", "*.*", true},
                      WildcardCase{"abc", "abc.*", true}, WildcardCase{"abc.d", "abc.*", true},
                      WildcardCase{"abcd", "abc.*", false}, WildcardCase{".x", ".*", true},
                      WildcardCase{"x", ".*", false},
                      // "?" is exactly one character, also one outside the basic plane
                      WildcardCase{"abc", "?bc", true}, WildcardCase{"bc", "?bc", false},
                      WildcardCase{"ab", "a?", true}, WildcardCase{"a", "a?", false},
                      WildcardCase{"\xF0\x9F\x98\x80.jpg", "?.jpg", true},
                      // "*" needs backtracking
                      WildcardCase{"aaab", "*a*b", true}, WildcardCase{"aaa", "*a*b", false},
                      WildcardCase{"abXcdYcd", "ab*cd", true}, WildcardCase{"abcdX", "ab*cd", false},
                      // blanks belong to the pattern
                      WildcardCase{"x.jpeg", " *.jpeg", false}, WildcardCase{" x.jpeg", " *.jpeg", true},
                      // letter case beyond ASCII
                      WildcardCase{"\xC3\x84rger.JPG", "\xC3\xA4*.jpg", true},
                      // nothing matches an empty pattern; a folder in the pattern never matches a name
                      WildcardCase{"a.jpg", "", false}, WildcardCase{"x.jpg", "sub/*.jpg", false}));

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = QFileInfo(dir_.path()).canonicalFilePath();
  }

  QString PathOf(const QString& name) const { return root_ + QLatin1Char('/') + name; }

  void MakeFile(const QString& name, const QByteArray& content = "x") const {
    QFile file(PathOf(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  void MakeFolder(const QString& name) const { ASSERT_TRUE(QDir(root_).mkpath(name)); }

  void MakeLink(const QString& target, const QString& name) const {
    ASSERT_TRUE(QFile::link(target, PathOf(name)));
  }

  QStringList Names(const std::vector<TSearchRec>& records) const {
    QStringList names;
    for (const TSearchRec& record : records) {
      names.append(record.Name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareFileNames(a, b) < 0; });
    return names;
  }

  // The file list's way of reading a mask: each ";"-separated pattern in turn, a file
  // found twice listed once.
  QStringList SearchMask(const QString& mask) const {
    std::vector<TSearchRec> all;
    for (const QString& pattern : mask.split(QLatin1Char(';'))) {
      for (TSearchRec& record : FindFiles(root_, pattern, faNormalFiles)) {
        const bool known = std::any_of(all.begin(), all.end(), [&](const TSearchRec& r) { return r.Name == record.Name; });
        if (!known) {
          all.push_back(std::move(record));
        }
      }
    }
    return Names(all);
  }

  const TSearchRec* Find(const std::vector<TSearchRec>& records, const QString& name) const {
    const auto it = std::find_if(records.begin(), records.end(), [&](const TSearchRec& r) { return r.Name == name; });
    return it == records.end() ? nullptr : &*it;
  }

  QTemporaryDir dir_;
  QString root_;
  CurrentDirGuard cwdGuard_;
};

TEST_F(FileSystemTest, MaskListsMatchingFilesSorted) {
  MakeFile(QStringLiteral("a.jpg"));
  MakeFile(QStringLiteral("B.JPEG"));
  MakeFile(QStringLiteral("c.bmp"));
  EXPECT_EQ(SearchMask(QStringLiteral("*.jpg;*.jpeg")), QStringList({QStringLiteral("a.jpg"), QStringLiteral("B.JPEG")}));
}

TEST_F(FileSystemTest, SamePatternTwiceInOtherCaseListsEachFileOnce) {
  MakeFile(QStringLiteral("a.jpg"));
  MakeFile(QStringLiteral("b.JPG"));
  EXPECT_EQ(SearchMask(QStringLiteral("*.jpg;*.JPG")), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.JPG")}));
}

TEST_F(FileSystemTest, BlankAfterSemicolonIsPartOfThePattern) {
  MakeFile(QStringLiteral("a.jpg"));
  MakeFile(QStringLiteral("b.jpeg"));
  MakeFile(QStringLiteral(" blank.jpeg"));
  EXPECT_EQ(SearchMask(QStringLiteral("*.jpg; *.jpeg")), QStringList({QStringLiteral(" blank.jpeg"), QStringLiteral("a.jpg")}));
}

TEST_F(FileSystemTest, HiddenFilesOnlyWhenAskedFor) {
  MakeFile(QStringLiteral(".secret.jpg"));
  MakeFile(QStringLiteral("shown.jpg"));
  EXPECT_EQ(Names(FindFiles(root_, QStringLiteral("*.jpg"), faNormalFiles)), QStringList{QStringLiteral("shown.jpg")});
  const auto withHidden = FindFiles(root_, QStringLiteral("*.jpg"), faHidden);
  ASSERT_NE(Find(withHidden, QStringLiteral(".secret.jpg")), nullptr);
  EXPECT_TRUE(Find(withHidden, QStringLiteral(".secret.jpg"))->Attr & faHidden);
}

TEST_F(FileSystemTest, FoldersAreNotFilesButListedWhenAskedFor) {
  MakeFolder(QStringLiteral("album.jpg"));
  EXPECT_TRUE(FindFiles(root_, QStringLiteral("*.jpg"), faNormalFiles).empty());
  const auto withFolders = FindFiles(root_, QStringLiteral("*.jpg"), faDirectory);
  ASSERT_EQ(withFolders.size(), 1u);
  EXPECT_TRUE(withFolders[0].IsDirectory);
  EXPECT_TRUE(withFolders[0].Attr & faDirectory);
}

TEST_F(FileSystemTest, LinksCountAsWhatTheyPointAt) {
  MakeFile(QStringLiteral("target.bin"), "12345");
  MakeFolder(QStringLiteral("folder"));
  MakeLink(PathOf(QStringLiteral("target.bin")), QStringLiteral("to_file.jpg"));
  MakeLink(PathOf(QStringLiteral("folder")), QStringLiteral("to_folder.jpg"));
  MakeLink(PathOf(QStringLiteral("gone")), QStringLiteral("broken.jpg"));

  const auto normal = FindFiles(root_, QStringLiteral("*.jpg"), faNormalFiles);
  EXPECT_EQ(Names(normal), QStringList{QStringLiteral("to_file.jpg")});
  EXPECT_EQ(normal[0].Size, 5);

  const auto everything = FindFiles(root_, QStringLiteral("*.jpg"), faDirectory | faSysFile);
  ASSERT_EQ(everything.size(), 3u);
  EXPECT_TRUE(Find(everything, QStringLiteral("to_folder.jpg"))->IsDirectory);
  EXPECT_TRUE(Find(everything, QStringLiteral("broken.jpg"))->Attr & faSysFile);
}

TEST_F(FileSystemTest, PipesAreSystemFiles) {
  ASSERT_EQ(mkfifo(QFile::encodeName(PathOf(QStringLiteral("pipe.jpg"))).constData(), 0600), 0);
  EXPECT_TRUE(FindFiles(root_, QStringLiteral("*"), faNormalFiles).empty());
  const auto withSystem = FindFiles(root_, QStringLiteral("*"), faSysFile);
  ASSERT_EQ(withSystem.size(), 1u);
  EXPECT_TRUE(withSystem[0].Attr & faSysFile);
}

TEST_F(FileSystemTest, RecordCarriesSizeTimeAndReadOnly) {
  MakeFile(QStringLiteral("photo.jpg"), QByteArray(1000, 'x'));
  const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1000000000);
  QFile file(PathOf(QStringLiteral("photo.jpg")));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
  file.close();
  ASSERT_EQ(chmod(QFile::encodeName(file.fileName()).constData(), 0444), 0);

  const auto found = FindFiles(root_, QStringLiteral("photo.jpg"), faNormalFiles);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Name, QStringLiteral("photo.jpg"));
  EXPECT_EQ(found[0].Size, 1000);
  EXPECT_EQ(found[0].Time, stamp);
  EXPECT_EQ(found[0].Attr, faReadOnly);
  EXPECT_FALSE(found[0].IsDirectory);
}

// A folder with an entry of every kind: plain and read-only files, hidden ones, a folder,
// links to each, a broken link, a pipe, and names that differ only in case.
class MixedFolderTest : public FileSystemTest {
 protected:
  void SetUp() override {
    FileSystemTest::SetUp();
    for (const char* name : {"a.jpg", "B.JPEG", "b.jpeg", "c.bmp", ".hidden.jpg", " blank.jpeg", "\xF0\x9F\x98\x80.jpg"}) {
      MakeFile(QString::fromUtf8(name));
    }
    ASSERT_EQ(chmod(QFile::encodeName(PathOf(QStringLiteral("a.jpg"))).constData(), 0444), 0);
    MakeFolder(QStringLiteral("album.jpg"));
    MakeLink(PathOf(QStringLiteral("c.bmp")), QStringLiteral("to_file.jpg"));
    MakeLink(PathOf(QStringLiteral("album.jpg")), QStringLiteral("to_folder.jpeg"));
    MakeLink(PathOf(QStringLiteral("gone")), QStringLiteral("broken.jpg"));
    ASSERT_EQ(mkfifo(QFile::encodeName(PathOf(QStringLiteral("pipe.jpg"))).constData(), 0600), 0);
  }
  static QStringList NamesOf(const std::vector<TFoundName>& found) {
    QStringList names;
    for (const TFoundName& entry : found) names.append(entry.Name);
    return names;
  }
};

TEST_F(MixedFolderTest, OneReadForAllPatternsFindsWhatASearchPerPatternFinds) {
  const QStringList masks = {QStringLiteral("*.jpg;*.jpeg"), QStringLiteral("*.JPG;*.jpg"), QStringLiteral("*.jpg; *.jpeg"),
                             QStringLiteral("*.*"), QStringLiteral("?.jpg"), QStringLiteral(";"), QString()};
  for (const int filter : {int{faNormalFiles}, int{faDirectory}, int{faHidden}, int{faSysFile}, faDirectory | faHidden | faSysFile}) {
    for (const QString& mask : masks) {
      const QStringList patterns = mask.split(QLatin1Char(';'));
      QStringList perPattern;
      for (const QString& pattern : patterns) {
        for (const TSearchRec& record : FindFiles(root_, pattern, filter)) {
          if (!perPattern.contains(record.Name)) perPattern.append(record.Name);
        }
      }
      const std::vector<TFoundName> found = FindNames(root_, patterns, filter);
      QStringList names = NamesOf(found);
      names.sort();
      perPattern.sort();
      EXPECT_EQ(names, perPattern) << "mask \"" << mask.toStdString() << "\", filter " << filter;
      for (const TFoundName& entry : found) {
        EXPECT_EQ(entry.FoldedName, entry.Name.toCaseFolded());
        const std::vector<TSearchRec> described = FindFiles(root_, entry.Name, filter);
        const TSearchRec* record = Find(described, entry.Name);
        ASSERT_NE(record, nullptr) << entry.Name.toStdString();
        EXPECT_EQ(entry.IsDirectory, record->IsDirectory) << entry.Name.toStdString();
      }
    }
  }
}

TEST_F(MixedFolderTest, PlainFilesAndLinksToThemAreTheNormalFiles) {
  const std::vector<TFoundName> found = FindNames(root_, {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, faNormalFiles);
  QStringList names = NamesOf(found);
  names.sort();
  EXPECT_EQ(names, (QStringList{QStringLiteral(" blank.jpeg"), QStringLiteral("B.JPEG"), QStringLiteral("a.jpg"),
                                QStringLiteral("b.jpeg"), QStringLiteral("to_file.jpg"), QString::fromUtf8("\xF0\x9F\x98\x80.jpg")}));
  const auto folders = FindNames(root_, {QStringLiteral("*.jpeg"), QStringLiteral("album.*")}, faDirectory);
  QStringList folderNames;
  for (const TFoundName& entry : folders) {
    if (entry.IsDirectory) folderNames.append(entry.Name);
  }
  folderNames.sort();
  EXPECT_EQ(folderNames, (QStringList{QStringLiteral("album.jpg"), QStringLiteral("to_folder.jpeg")}));
}

// Some file systems report no types at all; then every entry is looked up, and links
// still count as what they point at.
TEST_F(MixedFolderTest, EntriesOfUnknownTypeAreLookedUp) {
  const int dir = open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(dir, 0);
  const auto kindOf = [&](const char* name, unsigned char type) { return EntryKind(dir, name, type); };
  EXPECT_EQ(kindOf("a.jpg", DT_UNKNOWN), 0);
  EXPECT_EQ(kindOf("album.jpg", DT_UNKNOWN), faDirectory);
  EXPECT_EQ(kindOf("to_file.jpg", DT_UNKNOWN), 0);
  EXPECT_EQ(kindOf("to_folder.jpeg", DT_UNKNOWN), faDirectory);
  EXPECT_EQ(kindOf("broken.jpg", DT_UNKNOWN), faSysFile);
  EXPECT_EQ(kindOf("pipe.jpg", DT_UNKNOWN), faSysFile);
  EXPECT_EQ(kindOf("removed meanwhile", DT_UNKNOWN), faSysFile);
  // Links are looked up whatever their target; other types are taken as reported.
  EXPECT_EQ(kindOf("to_file.jpg", DT_LNK), 0);
  EXPECT_EQ(kindOf("to_folder.jpeg", DT_LNK), faDirectory);
  EXPECT_EQ(kindOf("broken.jpg", DT_LNK), faSysFile);
  EXPECT_EQ(kindOf("pipe.jpg", DT_FIFO), faSysFile);
  EXPECT_EQ(kindOf("anything", DT_REG), 0);
  EXPECT_EQ(kindOf("anything", DT_DIR), faDirectory);
  close(dir);
}

TEST_F(FileSystemTest, EmptyFolderMeansCurrentDirectory) {
  MakeFile(QStringLiteral("here.jpg"));
  SetCurrentDir(root_);
  EXPECT_EQ(Names(FindFiles(QString(), QStringLiteral("*.jpg"), faNormalFiles)), QStringList{QStringLiteral("here.jpg")});
}

TEST_F(FileSystemTest, UnreadableFolderGivesNothing) {
  EXPECT_TRUE(FindFiles(PathOf(QStringLiteral("missing")), QStringLiteral("*"), faNormalFiles).empty());
  EXPECT_TRUE(FindFiles(root_ + QChar(u'\0') + QStringLiteral("x"), QStringLiteral("*"), faNormalFiles).empty());
}

TEST_F(FileSystemTest, SubfoldersSortedWithoutHiddenOnes) {
  for (const char* name : {"b", "A", "c", ".hidden"}) {
    MakeFolder(QString::fromLatin1(name));
  }
  MakeFile(QStringLiteral("d.txt"));
  MakeLink(PathOf(QStringLiteral("b")), QStringLiteral("E"));
  EXPECT_EQ(ListSubfolders(root_), QStringList({QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("E")}));
}

TEST(FileNames, CompareIgnoresCaseButOrdersTotally) {
  EXPECT_LT(CompareFileNames(QStringLiteral("a.jpg"), QStringLiteral("B.JPEG")), 0);
  EXPECT_GT(CompareFileNames(QStringLiteral("B.JPEG"), QStringLiteral("a.jpg")), 0);
  const int upperFirst = CompareFileNames(QStringLiteral("A.jpg"), QStringLiteral("a.jpg"));
  EXPECT_NE(upperFirst, 0);
  EXPECT_EQ(upperFirst > 0, CompareFileNames(QStringLiteral("a.jpg"), QStringLiteral("A.jpg")) < 0);
  EXPECT_EQ(CompareFileNames(QStringLiteral("same"), QStringLiteral("same")), 0);
}

struct PathCase {
  const char* input;
  const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << '"' << c.input << '"'; }

class ParentOfPathTable : public ::testing::TestWithParam<PathCase> {};

TEST_P(ParentOfPathTable, GoesUpOneLevel) {
  EXPECT_EQ(ParentOfPath(QString::fromUtf8(GetParam().input)), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, ParentOfPathTable,
                         ::testing::Values(PathCase{"/a/b", "/a"}, PathCase{"/a/b/", "/a"}, PathCase{"/a", "/"},
                                           PathCase{"/", ""}, PathCase{"//", ""}, PathCase{"//a", "/"},
                                           PathCase{"/a//b", "/a"}, PathCase{"a/b", "a"}, PathCase{"a", ""},
                                           PathCase{"", ""}));

TEST(JoinPath, AddsOneSeparator) {
  EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("name.jpg")), QStringLiteral("/name.jpg"));
  EXPECT_EQ(JoinPath(QStringLiteral("/Bilder"), QStringLiteral("name.jpg")), QStringLiteral("/Bilder/name.jpg"));
  EXPECT_EQ(JoinPath(QStringLiteral("/Bilder/"), QStringLiteral("name.jpg")), QStringLiteral("/Bilder/name.jpg"));
}

TEST_F(FileSystemTest, ExistenceChecks) {
  MakeFile(QStringLiteral("file"));
  MakeFolder(QStringLiteral("folder"));
  MakeLink(PathOf(QStringLiteral("folder")), QStringLiteral("folder_link"));
  EXPECT_TRUE(DirectoryExists(PathOf(QStringLiteral("folder"))));
  EXPECT_TRUE(DirectoryExists(PathOf(QStringLiteral("folder_link"))));
  EXPECT_FALSE(DirectoryExists(PathOf(QStringLiteral("file"))));
  EXPECT_FALSE(DirectoryExists(PathOf(QStringLiteral("missing"))));
  EXPECT_TRUE(FileExists(PathOf(QStringLiteral("file"))));
  EXPECT_FALSE(FileExists(PathOf(QStringLiteral("folder"))));
  EXPECT_FALSE(FileExists(PathOf(QStringLiteral("missing"))));
  // A NUL would cut the path short at "folder" on its way to the system.
  EXPECT_FALSE(DirectoryExists(PathOf(QStringLiteral("folder")) + QChar(u'\0') + QStringLiteral("/x")));
}

int ErrorCodeOfEntering(const QString& path) {
  try {
    SetCurrentDir(path);
  } catch (const EInOutError& error) {
    return error.ErrorCode();
  }
  return 0;
}

TEST_F(FileSystemTest, SetCurrentDirReportsPlatformCodes) {
  MakeFile(QStringLiteral("file.txt"));
  const QString before = GetCurrentDir();
  EXPECT_EQ(ErrorCodeOfEntering(PathOf(QStringLiteral("missing"))), 2);
  EXPECT_EQ(ErrorCodeOfEntering(PathOf(QStringLiteral("file.txt"))), 3);
  EXPECT_EQ(ErrorCodeOfEntering(PathOf(QStringLiteral("file.txt/sub"))), 3);
  EXPECT_EQ(ErrorCodeOfEntering(root_ + QChar(u'\0') + QStringLiteral("/missing")), 3);
  EXPECT_EQ(GetCurrentDir(), before);
}

TEST_F(FileSystemTest, SetCurrentDirDeniedIsCode5) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may enter any folder";
  }
  MakeFolder(QStringLiteral("locked"));
  ASSERT_EQ(chmod(QFile::encodeName(PathOf(QStringLiteral("locked"))).constData(), 0), 0);
  EXPECT_EQ(ErrorCodeOfEntering(PathOf(QStringLiteral("locked"))), 5);
  chmod(QFile::encodeName(PathOf(QStringLiteral("locked"))).constData(), 0700);
}

}  // namespace
