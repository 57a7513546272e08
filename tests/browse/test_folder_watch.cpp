// The lists following the disk: new and removed files and subfolders show without a
// click notification, and the selected file stays selected.
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "browse/folder_watch.h"
#include "platform/lossless_utf8.h"
#include "tests/support/wait_until.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class FolderWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startDir_ = QDir::currentPath();
    ASSERT_TRUE(dir_.isValid());
    parent_ = QDir(dir_.path()).canonicalPath();
    folder_ = parent_ + "/Urlaub";
    ASSERT_TRUE(QDir().mkdir(folder_));
    touch("b.jpg");
    folders_ = std::make_unique<TDirectoryListBox>(nullptr);
    files_ = std::make_unique<TFileListBox>(nullptr);
    files_->SetBounds(0, 0, 300, 200);
    folders_->SetFileList(files_.get());
    folders_->SetDirectory(folder_);
    files_->OnClick = [this](TObject*) { ++clicks_; };
    watch_ = std::make_unique<FolderWatch>(folders_.get(), files_.get(), [](const QString&) {});
  }
  void TearDown() override {
    watch_.reset();
    QDir::setCurrent(startDir_);
  }
  void touch(const QString& name) const {
    QFile file(folder_ + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  bool folderListed(const QString& name) const {
    for (const FolderItem& item : folders_->FolderItems()) {
      if (item.text == name) return true;
    }
    return false;
  }

  QTemporaryDir dir_;
  QString startDir_;
  QString parent_;
  QString folder_;
  std::unique_ptr<TDirectoryListBox> folders_;
  std::unique_ptr<TFileListBox> files_;
  std::unique_ptr<FolderWatch> watch_;
  int clicks_ = 0;
};

TEST_F(FolderWatchTest, ChangesShowWithTheSelectionKeptAndNothingNotified) {
  EXPECT_EQ(watch_->Watched(), folder_);
  files_->SetItemIndex(0);
  ASSERT_EQ(clicks_, 1);
  touch("a.jpg");
  touch("c.jpg");
  ASSERT_TRUE(QDir(folder_).mkdir("Neu"));
  ASSERT_TRUE(WaitUntil([&] { return files_->Items().size() == 3 && folderListed("Neu"); }, 5s))
      << files_->Items().join(u' ').toStdString();
  EXPECT_EQ(files_->Items()[files_->ItemIndex()], QStringLiteral("b.jpg")) << "the selection moved";
  ASSERT_TRUE(QFile::rename(folder_ + "/c.jpg", folder_ + "/d.jpg"));
  ASSERT_TRUE(QFile::remove(folder_ + "/b.jpg"));
  ASSERT_TRUE(WaitUntil([&] { return files_->Items() == QStringList{"a.jpg", "d.jpg"}; }, 5s))
      << files_->Items().join(u' ').toStdString();
  EXPECT_EQ(files_->ItemIndex(), -1) << "the removed file's selection went elsewhere";
  EXPECT_EQ(clicks_, 1) << "a change on the disk was notified as a click";
}

// Qt's watcher names folders in UTF-8; a shown folder whose name is not is still watched.
TEST_F(FolderWatchTest, AFolderNamedInLatin1IsWatchedToo) {
  const QByteArray latin1 = QFile::encodeName(parent_) + "/Alben \xE4";
  ASSERT_EQ(::mkdir(latin1.constData(), 0755), 0);
  folders_->SetDirectory(platform::DecodeUtf8Lossless(latin1));
  ASSERT_EQ(platform::EncodeUtf8Lossless(watch_->Watched()), latin1);
  const int fd = ::open((latin1 + "/neu.jpg").constData(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(WaitUntil([&] { return files_->Items() == QStringList{"neu.jpg"}; }, 5s));
  ::unlink((latin1 + "/neu.jpg").constData());
  folders_->SetDirectory(folder_);
  ::rmdir(latin1.constData());
}

}  // namespace
