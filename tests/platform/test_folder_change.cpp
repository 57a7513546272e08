#include "platform/folder_change.h"

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include "current_dir_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// A folder "start" to begin in, a folder "Bilder/2001" holding "pic.jpg", and a file
// "file.txt".
class FolderChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = QFileInfo(dir_.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("start")));
    ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("Bilder/2001")));
    Touch(QStringLiteral("Bilder/2001/pic.jpg"));
    Touch(QStringLiteral("file.txt"));
    SetCurrentDir(Path("start"));
  }

  QString Path(const char* relative) const { return root_ + QLatin1Char('/') + QLatin1String(relative); }

  void Touch(const QString& relative) const {
    QFile file(root_ + QLatin1Char('/') + relative);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }

  // The error code of the error raised, 0 when none.
  int FailureCode(const QString& value) const {
    try {
      ChangeToFolder(value);
    } catch (const EInOutError& error) {
      return error.ErrorCode();
    }
    return 0;
  }

  CurrentDirGuard cwdGuard_;
  QTemporaryDir dir_;
  QString root_;
};

TEST_F(FolderChangeTest, AbsoluteFolder) {
  EXPECT_EQ(ChangeToFolder(Path("Bilder/2001")), Path("Bilder/2001"));
  EXPECT_EQ(GetCurrentDir(), Path("Bilder/2001"));
}

TEST_F(FolderChangeTest, BracketsAreRemoved) {
  EXPECT_EQ(ChangeToFolder(QLatin1Char('[') + Path("Bilder") + QLatin1Char(']')), Path("Bilder"));
}

TEST_F(FolderChangeTest, RelativeToTheCurrentFolder) {
  EXPECT_EQ(ChangeToFolder(QStringLiteral("../Bilder/2001")), Path("Bilder/2001"));
  EXPECT_EQ(ChangeToFolder(QStringLiteral("..")), Path("Bilder"));
}

TEST_F(FolderChangeTest, FileNameOrMaskAtTheEndStaysInItsFolder) {
  EXPECT_EQ(ChangeToFolder(Path("Bilder/2001/pic.jpg")), Path("Bilder/2001"));
  EXPECT_EQ(ChangeToFolder(Path("Bilder/*.jpg")), Path("Bilder"));
  EXPECT_EQ(ChangeToFolder(Path("Bilder/2001/pic?.jpg")), Path("Bilder/2001"));
}

TEST_F(FolderChangeTest, TrailingSeparatorAndRoot) {
  EXPECT_EQ(ChangeToFolder(Path("Bilder/")), Path("Bilder"));
  EXPECT_EQ(ChangeToFolder(QStringLiteral("/")), QStringLiteral("/"));
}

TEST_F(FolderChangeTest, EmptyValueChangesNothing) {
  EXPECT_EQ(ChangeToFolder(QString()), Path("start"));
  EXPECT_EQ(GetCurrentDir(), Path("start"));
}

TEST_F(FolderChangeTest, ResultIsThePhysicalPath) {
  ASSERT_TRUE(QFile::link(Path("Bilder/2001"), Path("shortcut")));
  EXPECT_EQ(ChangeToFolder(Path("shortcut")), Path("Bilder/2001"));
}

TEST_F(FolderChangeTest, FailuresRaiseAndReturnToTheStartFolder) {
  EXPECT_EQ(FailureCode(Path("missing/deeper")), 2);
  EXPECT_EQ(GetCurrentDir(), Path("start"));
  // The folder part is entered before the last element fails: that must be undone too.
  EXPECT_EQ(FailureCode(Path("Bilder/missing")), 2);
  EXPECT_EQ(GetCurrentDir(), Path("start"));
  EXPECT_EQ(FailureCode(Path("file.txt/sub")), 3);
  EXPECT_EQ(GetCurrentDir(), Path("start"));
  EXPECT_EQ(FailureCode(Path("Bilder") + QChar(u'\0') + QStringLiteral("/2001")), 3);
  EXPECT_EQ(GetCurrentDir(), Path("start"));
}

TEST_F(FolderChangeTest, MissingFolderReportsDateiNichtGefunden) {
  try {
    ChangeToFolder(Path("missing"));
    FAIL() << "no error raised";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Datei nicht gefunden"));
  }
}

TEST_F(FolderChangeTest, ReturnsToTheStartFolderEvenAfterItWasRenamed) {
  ASSERT_TRUE(QDir(root_).rename(QStringLiteral("start"), QStringLiteral("renamed")));
  EXPECT_EQ(FailureCode(Path("Bilder/missing")), 2);
  EXPECT_EQ(GetCurrentDir(), Path("renamed"));
}

TEST_F(FolderChangeTest, DeniedFolderIsCode5) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may enter any folder";
  }
  ASSERT_EQ(chmod(QFile::encodeName(Path("Bilder/2001")).constData(), 0), 0);
  EXPECT_EQ(FailureCode(Path("Bilder/2001")), 5);
  EXPECT_EQ(GetCurrentDir(), Path("start"));
  chmod(QFile::encodeName(Path("Bilder/2001")).constData(), 0700);
}

TEST_F(FolderChangeTest, NearestExistingFolderWalksUp) {
  EXPECT_EQ(NearestExistingFolder(Path("Bilder/2001")), Path("Bilder/2001"));
  EXPECT_EQ(NearestExistingFolder(Path("Bilder/gone/deeper/still")), Path("Bilder"));
  EXPECT_EQ(NearestExistingFolder(Path("file.txt/x")), root_);
  EXPECT_EQ(NearestExistingFolder(QStringLiteral("gone/away")), Path("start"));
  EXPECT_EQ(NearestExistingFolder(QStringLiteral("/")), QStringLiteral("/"));
}

TEST_F(FolderChangeTest, NearestExistingFolderAfterTheListedOneWasRemoved) {
  ASSERT_TRUE(QDir(Path("Bilder")).removeRecursively());
  EXPECT_EQ(NearestExistingFolder(Path("Bilder/2001")), root_);
}

}  // namespace
