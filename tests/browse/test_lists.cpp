// The folder list's items, the file list's mask reading and selected path, and the
// splitter's limits.
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "browse/splitter.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startDir_ = QDir::currentPath();
    ASSERT_TRUE(dir_.isValid());
    folder_ = QDir(dir_.path()).canonicalPath();
  }
  void TearDown() override { QDir::setCurrent(startDir_); }
  void touch(const QString& name) {
    QFile file(folder_ + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }

  QTemporaryDir dir_;
  QString folder_;
  QString startDir_;
};

TEST_F(ListsTest, MaskListsMatchingFilesOnceSortedCaseInsensitively) {
  touch(QStringLiteral("a.jpg"));
  touch(QStringLiteral("B.JPEG"));
  touch(QStringLiteral("c.bmp"));
  touch(QStringLiteral(".hidden.jpg"));
  QDir(folder_).mkdir(QStringLiteral("sub.jpg"));
  TFileListBox list(nullptr);
  list.ApplyDirectory(folder_);
  list.SetMask(QStringLiteral("*.jpg;*.jpeg"));
  EXPECT_EQ(list.Items(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("B.JPEG")}));
  list.SetMask(QStringLiteral("*.jpg;*.JPG"));
  EXPECT_EQ(list.Items(), QStringList{QStringLiteral("a.jpg")});
  list.SetMask(QString());
  EXPECT_TRUE(list.Items().isEmpty());
}

TEST_F(ListsTest, SelectedPathJoinsFolderAndName) {
  touch(QStringLiteral("name.jpg"));
  TFileListBox list(nullptr);
  list.ApplyDirectory(folder_);
  list.SetMask(QStringLiteral("*.jpg"));
  EXPECT_EQ(list.FileName(), QString());
  int clicks = 0;
  list.OnClick = [&](TObject*) { ++clicks; };
  list.SetItemIndex(0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list.FileName(), folder_ + QStringLiteral("/name.jpg"));
}

TEST_F(ListsTest, FolderChangeUpdatesFileListAndRefusesMissingFolder) {
  touch(QStringLiteral("x.jpg"));
  QDir(folder_).mkdir(QStringLiteral("Bilder"));
  TDirectoryListBox dirs(nullptr);
  TFileListBox files(nullptr);
  files.SetMask(QStringLiteral("*.jpg"));
  dirs.SetFileList(&files);
  dirs.SetDirectory(folder_);
  EXPECT_EQ(files.Directory(), folder_);
  EXPECT_EQ(files.Items(), QStringList{QStringLiteral("x.jpg")});
  EXPECT_EQ(dirs.FolderItems().back().text, QStringLiteral("Bilder"));
  EXPECT_EQ(dirs.FolderItems().back().kind, FolderItemKind::ClosedFolder);

  try {
    dirs.SetDirectory(folder_ + QStringLiteral("/gone"));
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode(), 2);
  }
  EXPECT_EQ(dirs.Directory(), folder_);
  EXPECT_EQ(files.Directory(), folder_);
  dirs.SetDirectory(QString());
  EXPECT_EQ(dirs.Directory(), folder_);
}

TEST(FolderItems, PathFromRootThenSubfolders) {
  const auto items = FolderItemsFor(QStringLiteral("/home/user"), {QStringLiteral("a"), QStringLiteral("b")});
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(items.front().kind, FolderItemKind::OpenFolder);
  EXPECT_EQ(items[items.size() - 3].text, QStringLiteral("user"));
  EXPECT_EQ(items[items.size() - 3].kind, FolderItemKind::CurrentFolder);
  EXPECT_EQ(items.back().path, QStringLiteral("/home/user/b"));

  const auto root = FolderItemsFor(QStringLiteral("/"), {});
  ASSERT_EQ(root.size(), 1u);
  EXPECT_EQ(root[0].kind, FolderItemKind::CurrentFolder);
}

TEST(Splitter, DragStopsTwentyPixelsFromEitherEdge) {
  EXPECT_EQ(TRxSplitter::DraggedWidth(185, -500, 185, 700), 20);
  EXPECT_EQ(TRxSplitter::DraggedWidth(185, 1000, 185, 700), 680);
  EXPECT_EQ(TRxSplitter::DraggedWidth(185, 15, 185, 700), 200);
}

}  // namespace
