#include "platform/private_profile.h"
#include "platform/private_profile_file.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::profile_file::ReplaceStep;

ino_t Inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

bool Write(const QString& section, const QString& key, const QString& value, const QString& file) {
  return platform::WritePrivateProfileString(&section, &key, &value, file);
}

QString Read(const QString& section, const QString& key, const QString& file, int buffer = 2048) {
  return platform::GetPrivateProfileString(section, key, QStringLiteral("<default>"), buffer, file);
}

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("config")));
  }
  void TearDown() override {
    platform::profile_file::SetReplaceFailureForTesting(std::nullopt);
    if (hadConfigHome_) {
      qputenv("XDG_CONFIG_HOME", savedConfigHome_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList FolderEntries() const { return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

  QTemporaryDir dir_;
  bool hadConfigHome_ = false;
  QByteArray savedConfigHome_;
};

// ---- Reading ----

struct ReadCase {
  const char* name;
  QByteArray file;
  const char* section;
  const char* key;
  QString expected;
};

class ProfileReadTest : public ProfileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, FindsValue) {
  const ReadCase& c = GetParam();
  WriteBytes(Path("p.ini"), c.file);
  EXPECT_EQ(Read(QString::fromUtf8(c.section), QString::fromUtf8(c.key), Path("p.ini")), c.expected);
}

const QString kDefault = QStringLiteral("<default>");

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileReadTest,
    ::testing::Values(
        ReadCase{"Plain", "[S]\nk=v\n", "S", "k", "v"},
        ReadCase{"NamesIgnoreCase", "[Sect]\nKey=v\n", "sECT", "kEY", "v"},
        ReadCase{"BlanksAroundEverything", "  [ S ]  \n \t k  =  v w \t\n", " S ", " k\t", "v w"},
        ReadCase{"DoubleQuotesDropped", "[S]\nk= \"a b\" \n", "S", "k", "a b"},
        ReadCase{"SingleQuotesDropped", "[S]\nk='a'\n", "S", "k", "a"},
        ReadCase{"OnlyOnePairDropped", "[S]\nk=\"\"a\"\"\n", "S", "k", "\"a\""},
        ReadCase{"MismatchedQuotesKept", "[S]\nk=\"a'\n", "S", "k", "\"a'"},
        ReadCase{"LoneQuoteKept", "[S]\nk=\"\n", "S", "k", "\""},
        ReadCase{"FirstSectionWins", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "j", kDefault},
        ReadCase{"FirstKeyWins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        ReadCase{"CommentLineSkipped", "[S]\n ;k=1\nk=2\n", "S", "k", "2"},
        ReadCase{"NoInlineComment", "[S]\nk=v ;x\n", "S", "k", "v ;x"},
        ReadCase{"CrLf", "[S]\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"CrOnly", "[A]\rx=1\r[S]\rk=v\r", "S", "k", "v"},
        ReadCase{"NoFinalNewline", "[S]\nk=v", "S", "k", "v"},
        ReadCase{"RunsOfEmptyLines", "\n\r\n\r[A]\n\n\n[S]\r\n\r\n\r\r\n\nk=v\n\n", "S", "k", "v"},
        ReadCase{"BlanksBeforeHeaderAndKey", "x=1\n \t[S]\n\t k = v\n", "S", "k", "v"},
        ReadCase{"HeaderAfterEmptyLinesEndsSection", "[S]\n\n\n[T]\nk=v\n", "S", "k", kDefault},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
        ReadCase{"KeyOutsideSections", "k=v\n[S]\n", "S", "k", kDefault},
        ReadCase{"KeyOfAnotherSection", "[A]\nk=1\n[S]\nj=2\n", "S", "k", kDefault},
        ReadCase{"MissingSection", "[A]\nk=1\n", "S", "k", kDefault},
        ReadCase{"EmptyValueIsNotMissing", "[S]\nk=\n", "S", "k", ""},
        ReadCase{"EqualsInValue", "[S]\nk=a=b\n", "S", "k", "a=b"},
        ReadCase{"UnclosedHeaderOpensNothing", "[S\nk=v\n", "S", "k", kDefault},
        ReadCase{"LineWithNulIgnored", QByteArray("[S]\nk=\0v\nk=w\n", 13), "S", "k", "w"},
        ReadCase{"InvalidUtf8KeepsItsByte", "[S]\nk=a\xFF\n", "S", "k", QStringLiteral("a") + QChar(0xDCFF)},
        ReadCase{"Umlauts", "[Ordner]\nletztes=/home/j\xC3\xB6rg\n", "ordner", "LETZTES", QStringLiteral("/home/jörg")}),
    [](const auto& test) { return std::string(test.param.name); });

// A last folder whose name is Latin-1 (not UTF-8) is stored as its very bytes and read
// back as the same name, so the next start can enter it.
TEST_F(ProfileTest, ValueThatIsNotUtf8KeepsItsBytes) {
  const QString folder = QStringLiteral("/fotos/Gr") + QChar(0xDCFC) + QStringLiteral("n ") + QString::fromUtf8("\xC3\xBC");
  ASSERT_TRUE(Write("Verzeichnisse", "letztes", folder, Path("p.ini")));
  EXPECT_EQ(ReadBytes(Path("p.ini")), QByteArray("[Verzeichnisse]\nletztes=/fotos/Gr\xFCn \xC3\xBC\n"));
  EXPECT_EQ(Read("Verzeichnisse", "letztes", Path("p.ini")), folder);
}

// Only the file's own byte-order mark is skipped; U+FEFF inside is an ordinary character.
TEST_F(ProfileTest, ByteOrderMarkCharacterInsideKept) {
  WriteBytes(Path("p.ini"), "[S]\n\xEF\xBB\xBFk=\xEF\xBB\xBFv\n");
  EXPECT_EQ(Read("S", QStringLiteral("\uFEFFk"), Path("p.ini")), QStringLiteral("\uFEFFv"));
  ASSERT_TRUE(Write("S", QStringLiteral("\uFEFFj"), QStringLiteral("\uFEFFw"), Path("p.ini")));
  EXPECT_EQ(Read("S", QStringLiteral("\uFEFFj"), Path("p.ini")), QStringLiteral("\uFEFFw"));
}

TEST_F(ProfileTest, MissingFileGivesDefault) { EXPECT_EQ(Read("S", "k", Path("none.ini")), kDefault); }

TEST_F(ProfileTest, ValueAndDefaultAreCutToBuffer) {
  WriteBytes(Path("p.ini"), "[S]\nk=" + QByteArray(3000, 'x') + "\n");
  EXPECT_EQ(Read("S", "k", Path("p.ini")).size(), 2047);
  EXPECT_EQ(Read("S", "k", Path("p.ini"), 1), QString());
  EXPECT_EQ(Read("S", "k", Path("p.ini"), 0), QString());
  EXPECT_EQ(platform::GetPrivateProfileString("S", "none", "abcdef", 4, Path("p.ini")), "abc");
}

TEST_F(ProfileTest, CutNeverSplitsSurrogatePair) {
  WriteBytes(Path("p.ini"), "[S]\nk=ab\xF0\x9F\x98\x80\n");  // "ab" and one emoji (two UTF-16 units)
  EXPECT_EQ(Read("S", "k", Path("p.ini"), 4), "ab");
  EXPECT_EQ(Read("S", "k", Path("p.ini"), 5), QStringLiteral("ab\U0001F600"));
}

TEST_F(ProfileTest, HugeLineIsReadAndCut) {
  WriteBytes(Path("p.ini"), "[S]\nk=" + QByteArray(8 * 1024 * 1024, 'x'));
  EXPECT_EQ(Read("S", "k", Path("p.ini")).size(), 2047);
}

TEST_F(ProfileTest, FifoAndOversizedFileGiveDefaultAndRefuseWrites) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.ini")).constData(), 0600), 0);
  EXPECT_EQ(Read("S", "k", Path("fifo.ini")), kDefault);
  EXPECT_FALSE(Write("S", "k", "v", Path("fifo.ini")));
  WriteBytes(Path("big.ini"), "[S]\nk=v\n");
  ASSERT_EQ(::truncate(QFile::encodeName(Path("big.ini")).constData(), platform::profile_file::kMaxProfileFileSize + 1), 0);
  EXPECT_EQ(Read("S", "k", Path("big.ini")), kDefault);
  EXPECT_FALSE(Write("S", "k", "v", Path("big.ini")));
}

// ---- Writing ----

struct WriteCase {
  const char* name;
  QByteArray before;
  const char* section;
  const char* key;    // nullptr: remove the section
  const char* value;  // nullptr: remove the key
  QByteArray after;
};

class ProfileWriteTest : public ProfileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyTheOneLine) {
  const WriteCase& c = GetParam();
  if (!c.before.isNull()) {
    WriteBytes(Path("p.ini"), c.before);
  }
  const QString section = QString::fromUtf8(c.section);
  const QString key = QString::fromUtf8(c.key);
  const QString value = QString::fromUtf8(c.value);
  ASSERT_TRUE(platform::WritePrivateProfileString(&section, c.key ? &key : nullptr, c.value ? &value : nullptr, Path("p.ini")));
  EXPECT_EQ(ReadBytes(Path("p.ini")), c.after);
  if (c.key && c.value) {
    EXPECT_EQ(Read(section, key, Path("p.ini")), value.trimmed());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"CreatesFile", QByteArray(), "S", "k", "v", "[S]\nk=v\n"},
        WriteCase{"AppendsSectionAtEnd", "; top\n[A]\nx=1\n", "S", "k", "v", "; top\n[A]\nx=1\n[S]\nk=v\n"},
        WriteCase{"ClosesOpenLastLine", "[A]\nx=1", "S", "k", "v", "[A]\nx=1\n[S]\nk=v\n"},
        WriteCase{"CrLfFileKeepsCrLf", "[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
        WriteCase{"CrFileKeepsCr", "[S]\ra=1\r", "S", "k", "v", "[S]\ra=1\rk=v\r"},
        WriteCase{"NewKeyAfterLastEntryBeforeEmptyLines", "\r\n[S]\r\na=1\r\n\r\n\r\n[T]\r\n", "S", "k", "v",
                  "\r\n[S]\r\na=1\r\nk=v\r\n\r\n\r\n[T]\r\n"},
        WriteCase{"ReplacesValueKeepsStoredName", "[s]\r\n  KEY = old \r\n;c\r\n", "S", "key", "new",
                  "[s]\r\nKEY=new\r\n;c\r\n"},
        WriteCase{"InsertsAfterLastKey", "[S]\na=1\n;note\nb=2\n\n[T]\nc=3\n", "S", "k", "v",
                  "[S]\na=1\n;note\nb=2\nk=v\n\n[T]\nc=3\n"},
        WriteCase{"InsertsIntoEmptySection", "[S]", "S", "k", "v", "[S]\nk=v\n"},
        WriteCase{"WritesFirstOfDuplicates", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "3", "[S]\nk=3\n[S]\nk=2\n"},
        WriteCase{"KeepsByteOrderMark", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "2", "\xEF\xBB\xBF[S]\nk=2\n"},
        WriteCase{"KeepsOtherBytesVerbatim", "[A]\nx=\xFF\xFE\n[S]\nk=1\n", "S", "k", "2", "[A]\nx=\xFF\xFE\n[S]\nk=2\n"},
        WriteCase{"TrimsNamesNotValue", "", " S ", " k ", " v", "[S]\nk= v\n"},
        WriteCase{"RemovesKey", "[S]\na=1\nk=2\nb=3\n", "S", "k", nullptr, "[S]\na=1\nb=3\n"},
        WriteCase{"RemovesSection", "[A]\nx=1\n[S]\nk=2\n[B]\ny=3\n", "S", nullptr, nullptr, "[A]\nx=1\n[B]\ny=3\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ProfileTest, RemovalFromMissingFileCreatesNothing) {
  const QString section = "S";
  const QString key = "k";
  EXPECT_TRUE(platform::WritePrivateProfileString(&section, &key, nullptr, Path("p.ini")));
  EXPECT_FALSE(QFileInfo::exists(Path("p.ini")));
}

TEST_F(ProfileTest, FlushSucceeds) { EXPECT_TRUE(platform::WritePrivateProfileString(nullptr, nullptr, nullptr, Path("p.ini"))); }

TEST_F(ProfileTest, RefusesTextThatWouldBreakTheLineStructure) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  EXPECT_FALSE(Write("S", "k", "a\nb=c", Path("p.ini")));
  EXPECT_FALSE(Write("S", "k", "a\rb", Path("p.ini")));
  EXPECT_FALSE(Write("S", "a=b", "v", Path("p.ini")));
  EXPECT_FALSE(Write("S", ";k", "v", Path("p.ini")));
  EXPECT_FALSE(Write("S", "[k", "v", Path("p.ini")));
  EXPECT_FALSE(Write("S]x", "k", "v", Path("p.ini")));
  EXPECT_FALSE(Write("S", "k", QString(QChar(0)), Path("p.ini")));
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n");
}

class ProfileFailureTest : public ProfileTest, public ::testing::WithParamInterface<ReplaceStep> {};

TEST_P(ProfileFailureTest, FailedReplaceLeavesOldFileAndNoTemporary) {
  const QByteArray old = "; keep\r\n[S]\r\nk=old\r\n";
  WriteBytes(Path("p.ini"), old);
  platform::profile_file::SetReplaceFailureForTesting(GetParam());
  EXPECT_FALSE(Write("S", "k", "new", Path("p.ini")));
  EXPECT_EQ(FolderEntries(), QStringList{"p.ini"});
  // Once renamed the new content is in place; only its durability is unconfirmed.
  EXPECT_EQ(ReadBytes(Path("p.ini")), GetParam() == ReplaceStep::SyncFolder ? "; keep\r\n[S]\r\nk=new\r\n" : old);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, ProfileFailureTest,
                         ::testing::Values(ReplaceStep::CreateTemporary, ReplaceStep::WriteData, ReplaceStep::SyncData,
                                           ReplaceStep::Rename, ReplaceStep::SyncFolder));

TEST_F(ProfileTest, FolderThatIsAFileFailsTheWrite) {
  WriteBytes(Path("file"), "x");
  EXPECT_FALSE(Write("S", "k", "v", Path("file/p.ini")));
  EXPECT_EQ(ReadBytes(Path("file")), "x");
}

TEST_F(ProfileTest, ReadOnlyFileIsRefused) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  ASSERT_EQ(::chmod(QFile::encodeName(Path("p.ini")).constData(), 0444), 0);
  if (::access(QFile::encodeName(Path("p.ini")).constData(), W_OK) == 0) {
    GTEST_SKIP() << "permissions do not stop this user (root)";
  }
  EXPECT_FALSE(Write("S", "k", "2", Path("p.ini")));
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n");
}

TEST_F(ProfileTest, ReplaceKeepsPermissions) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  ASSERT_EQ(::chmod(QFile::encodeName(Path("p.ini")).constData(), 0640), 0);
  ASSERT_TRUE(Write("S", "k", "2", Path("p.ini")));
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(Path("p.ini")).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ProfileTest, SameValueLeavesFileAlone) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  const ino_t inode = Inode(Path("p.ini"));
  ASSERT_TRUE(Write("S", "K", "1", Path("p.ini")));
  EXPECT_EQ(Inode(Path("p.ini")), inode);
}

TEST_F(ProfileTest, LinkIsFollowedAndKept) {
  WriteBytes(Path("real.ini"), "[S]\nk=1\n");
  ASSERT_TRUE(QFile::link(Path("real.ini"), Path("link.ini")));
  ASSERT_TRUE(Write("S", "k", "2", Path("link.ini")));
  EXPECT_TRUE(QFileInfo(Path("link.ini")).isSymLink());
  EXPECT_EQ(ReadBytes(Path("real.ini")), "[S]\nk=2\n");
}

// ---- File names ----

TEST_F(ProfileTest, BareNameLivesInPrivateProfileDirectoryCreatedOnFirstWrite) {
  const QString folder = Path("config") + "/velarim";
  EXPECT_EQ(platform::ProfileDirectory(), folder);
  EXPECT_EQ(platform::ResolveProfileFileName("Velarim.INI"), folder + "/Velarim.INI");
  EXPECT_EQ(platform::ResolveProfileFileName("/etc/x.ini"), "/etc/x.ini");
  EXPECT_EQ(Read("TForm1", "Flags", "Velarim.INI"), kDefault);
  EXPECT_FALSE(QFileInfo::exists(folder));
  ASSERT_TRUE(Write("TForm1", "Flags", "0", "Velarim.INI"));
  EXPECT_EQ(ReadBytes(folder + "/Velarim.INI"), "[TForm1]\nFlags=0\n");
  EXPECT_EQ(QFileInfo(folder).permissions() & QFile::ReadOther, 0);
}

TEST_F(ProfileTest, RelativeOrEmptyConfigHomeFallsBackToHome) {
  for (const char* configHome : {"relative/dir", ""}) {
    qputenv("XDG_CONFIG_HOME", configHome);
    EXPECT_EQ(platform::ProfileDirectory(), QDir::homePath() + "/.config/velarim") << configHome;
  }
}


// ---- Where the program's own settings file lives ----

TEST_F(ProfileTest, WritableProgramDirectoryKeepsTheSettingsAndCreatesNoProfileFolder) {
  const QString program = Path("program") + u'/';
  ASSERT_TRUE(QDir().mkpath(program));
  EXPECT_EQ(platform::SettingsDirectory(program), program);
  EXPECT_FALSE(QFileInfo::exists(Path("config")));
}

// /proc/self refuses writes to everyone, the superuser too, as a system-wide install's
// folder does to the person running the program; a folder that is gone is no better.
TEST_F(ProfileTest, UnwritableProgramDirectoryMovesTheSettingsToTheCreatedProfileFolder) {
  const QString profile = Path("config") + "/velarim";
  for (const QString& program : {QStringLiteral("/proc/self/"), Path("gone") + u'/'}) {
    EXPECT_EQ(platform::SettingsDirectory(program), profile + u'/') << program.toStdString();
    EXPECT_TRUE(QFileInfo(profile).isDir());
    EXPECT_EQ(QFileInfo(profile).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup), 0);
    ASSERT_TRUE(QDir(profile).removeRecursively());
  }
  if (::geteuid() != 0) {
    const QString program = Path("readonly");
    ASSERT_TRUE(QDir().mkpath(program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(platform::SettingsDirectory(program + u'/'), profile + u'/');
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

TEST_F(ProfileTest, ProfileFolderThatCannotBeMadeIsStillNamedSoTheWriteReportsIt) {
  qputenv("XDG_CONFIG_HOME", "/proc/self/no-config");
  EXPECT_EQ(platform::SettingsDirectory(QStringLiteral("/proc/self/")), QStringLiteral("/proc/self/no-config/velarim/"));
  EXPECT_FALSE(Write("Verzeichnisse", "letztes", "/", "/proc/self/no-config/velarim/velarim.ini"));
}

}  // namespace
