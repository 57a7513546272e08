// Profile writes against the world outside one call: other processes writing the same
// file, a writer killed half-way, links in place of the file.
#include "platform/private_profile.h"
#include "platform/private_profile_file.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace profile_file = platform::profile_file;
using profile_file::ReplaceStep;

constexpr int kKeysPerWriter = 200;

bool Write(const QString& section, const QString& key, const QString& value, const QString& file) {
  return platform::WritePrivateProfileString(&section, &key, &value, file);
}

QString Read(const QString& section, const QString& key, const QString& file) {
  return platform::GetPrivateProfileString(section, key, QStringLiteral("<default>"), 2048, file);
}

// A child process running `work`; its exit status is work's result.
pid_t Spawn(const std::function<int()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::_exit(work());
  }
  return pid;
}

// The raw wait status of a child.
int WaitFor(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid ? status : -1;
}

class ProfileWritersTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void TearDown() override {
    profile_file::SetReplaceFailureForTesting(std::nullopt);
    profile_file::SetReplaceStepHookForTesting({});
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Entries() const {
    QStringList entries = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    entries.sort();
    return entries;
  }

  // Each writer sets its own keys, all of them released at one moment through a pipe.
  int SurvivingKeysOfTwoWriters() {
    int gate[2];
    EXPECT_EQ(::pipe(gate), 0);
    const auto writer = [&](const char* prefix) {
      return Spawn([&, prefix] {
        ::close(gate[1]);
        char go = 0;
        if (::read(gate[0], &go, 1) != 0) return 100;
        int failures = 0;
        for (int i = 0; i < kKeysPerWriter; ++i) {
          failures += Write("S", QString("%1%2").arg(prefix).arg(i), QString::number(i), Path("p.ini")) ? 0 : 1;
        }
        return std::min(failures, 99);
      });
    };
    const pid_t first = writer("a");
    const pid_t second = writer("b");
    ::close(gate[0]);
    ::close(gate[1]);  // both start now
    EXPECT_EQ(WaitFor(first), 0) << "failed writes of the first writer";
    EXPECT_EQ(WaitFor(second), 0) << "failed writes of the second writer";
    int surviving = 0;
    for (int i = 0; i < kKeysPerWriter; ++i) {
      for (const char* prefix : {"a", "b"}) {
        surviving += Read("S", QString("%1%2").arg(prefix).arg(i), Path("p.ini")) == QString::number(i) ? 1 : 0;
      }
    }
    return surviving;
  }

  QTemporaryDir dir_;
};

TEST_F(ProfileWritersTest, TwoProcessesWritingAtOnceLoseNoKey) {
  WriteBytes(Path("p.ini"), "; kept\n[Other]\nx=1\n");
  const int surviving = SurvivingKeysOfTwoWriters();
  std::printf("%d of %d keys survived two writers\n", surviving, 2 * kKeysPerWriter);
  EXPECT_EQ(surviving, 2 * kKeysPerWriter);
  EXPECT_EQ(Read("Other", "x", Path("p.ini")), "1");
  EXPECT_TRUE(ReadBytes(Path("p.ini")).startsWith("; kept\n[Other]\nx=1\n[S]\n"));
  EXPECT_EQ(Entries(), QStringList{"p.ini"});
}

// Two writers replace the same nine keys with their own values again and again while
// the file is read: every reading holds all nine keys, all from one writer.
TEST_F(ProfileWritersTest, SeveralKeysWrittenAtOnceAreNeverSeenMixedOrInPart) {
  const auto writer = [&](const QString& value) {
    return Spawn([&, value] {
      platform::ProfileEntries entries;
      for (int i = 0; i < 9; ++i) entries.emplace_back(QString("k%1").arg(i), value);
      int failures = 0;
      for (int round = 0; round < 60; ++round) {
        failures += platform::WritePrivateProfileStrings("S", entries, Path("p.ini")) ? 0 : 1;
      }
      return std::min(failures, 99);
    });
  };
  const pid_t writers[2] = {writer("a"), writer("b")};
  int statuses[2] = {-1, -1};
  int readings = 0;
  QList<QByteArray> mixed;
  const auto check = [&] {
    const QByteArray bytes = ReadBytes(Path("p.ini"));
    if (bytes == "<missing>") return;  // before the first write
    ++readings;
    const char value = bytes.at(bytes.indexOf('=') + 1);
    QByteArray whole = "[S]\n";
    for (int i = 0; i < 9; ++i) whole += "k" + QByteArray::number(i) + "=" + value + "\n";
    if (bytes != whole) mixed << bytes;
  };
  for (int i = 0; i < 2; ++i) {
    while (::waitpid(writers[i], &statuses[i], WNOHANG) == 0) check();
  }
  check();
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(statuses[1], 0);
  EXPECT_GT(readings, 0);
  EXPECT_TRUE(mixed.isEmpty()) << mixed.size() << " mixed readings, the first: " << mixed.value(0).constData();
}

TEST_F(ProfileWritersTest, AnEntryThatCannotBeStoredRefusesTheWholeWrite) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  const platform::ProfileEntries entries{{"k", "2"}, {"j", "a\nb"}};
  EXPECT_FALSE(platform::WritePrivateProfileStrings("S", entries, Path("p.ini")));
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n");
}

TEST_F(ProfileWritersTest, LockHeldElsewhereFailsTheWriteAfterAWhileAndTheNextWriteWorks) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  const int folder = ::open(QFile::encodeName(dir_.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(folder, LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Write("S", "k", "2", Path("p.ini")));
  EXPECT_GE(std::chrono::steady_clock::now() - start, profile_file::kFolderLockWait);
  ::close(folder);
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n");
  EXPECT_TRUE(Write("S", "k", "2", Path("p.ini")));
}

// A writer killed between writing its temporary file and the rename leaves that file
// and its lock behind; the next write removes the one and is not stopped by the other.
TEST_F(ProfileWritersTest, WriterKilledBeforeTheRenameLeavesTheOldFileAndTheNextWriteCleansUp) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  const pid_t killed = Spawn([&] {
    profile_file::SetReplaceStepHookForTesting([](ReplaceStep step) {
      if (step == ReplaceStep::Rename) ::raise(SIGKILL);
    });
    return Write("S", "k", "2", Path("p.ini")) ? 1 : 2;
  });
  const int status = WaitFor(killed);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n");
  const QStringList left = Entries();
  ASSERT_EQ(left.size(), 2) << left.join(' ').toStdString();
  EXPECT_TRUE(left[0].startsWith(".p.ini.tmp-")) << left[0].toStdString();

  EXPECT_TRUE(Write("T", "k", "3", Path("p.ini")));
  EXPECT_EQ(Entries(), QStringList{"p.ini"});
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=1\n[T]\nk=3\n");
}

TEST_F(ProfileWritersTest, OnlyTemporaryFilesOfTheFilesOwnNamingAreRemoved) {
  WriteBytes(Path("p.ini"), "[S]\nk=1\n");
  const QStringList stale{".p.ini.tmp-0", ".p.ini.tmp-1a2b3c4d"};
  const QStringList others{".p.ini.tmp-",       ".p.ini.tmp-1A",  ".p.ini.tmp-123456789", ".p.ini.tmp-xyz",
                           ".p.ini.tmp-12.bak", ".q.ini.tmp-12", "p.ini.tmp-12"};
  for (const QString& name : stale + others) WriteBytes(Path(name), "x");
  ASSERT_TRUE(QDir(dir_.path()).mkdir(".p.ini.tmp-ab"));  // not a file of ours
  ASSERT_TRUE(QFile::link(Path("p.ini"), Path(".p.ini.tmp-cd")));

  EXPECT_TRUE(Write("S", "k", "2", Path("p.ini")));
  QStringList expected = others;
  expected << ".p.ini.tmp-ab" << ".p.ini.tmp-cd" << "p.ini";
  expected.sort();
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(ReadBytes(Path("p.ini")), "[S]\nk=2\n");
}

TEST_F(ProfileWritersTest, DanglingLinksAreFollowedToTheFileTheyName) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("real"));
  ASSERT_EQ(::symlink("real/p.ini", QFile::encodeName(Path("middle.ini")).constData()), 0);
  ASSERT_EQ(::symlink("middle.ini", QFile::encodeName(Path("link.ini")).constData()), 0);
  ASSERT_TRUE(Write("S", "k", "1", Path("link.ini")));
  ASSERT_TRUE(Write("S", "j", "2", Path("link.ini")));
  EXPECT_TRUE(QFileInfo(Path("link.ini")).isSymLink());
  EXPECT_TRUE(QFileInfo(Path("middle.ini")).isSymLink());
  EXPECT_EQ(ReadBytes(Path("real/p.ini")), "[S]\nk=1\nj=2\n");
  EXPECT_EQ(Read("S", "j", Path("link.ini")), "2");
}

TEST_F(ProfileWritersTest, LinkLoopFailsTheWriteAndChangesNothing) {
  ASSERT_EQ(::symlink("b.ini", QFile::encodeName(Path("a.ini")).constData()), 0);
  ASSERT_EQ(::symlink("a.ini", QFile::encodeName(Path("b.ini")).constData()), 0);
  EXPECT_FALSE(Write("S", "k", "1", Path("a.ini")));
  EXPECT_EQ(Entries(), (QStringList{"a.ini", "b.ini"}));
  EXPECT_TRUE(QFileInfo(Path("a.ini")).isSymLink());
}

}  // namespace
