// The folder list's items, the file list's mask reading, selection and selected path,
// and the splitter's limits.
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "browse/key_hold.h"
#include "browse/splitter.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "tests/support/wait_until.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A press or release of the left button on the item in the given row.
void SendMouse(QAbstractItemView* view, QEvent::Type type, int row) {
  const QPoint onItem = view->visualRect(view->model()->index(row, 0)).center();
  QMouseEvent event(type, onItem, view->viewport()->mapToGlobal(onItem), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &event);
}

class ListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startDir_ = QDir::currentPath();
    ASSERT_TRUE(dir_.isValid());
    folder_ = QDir(dir_.path()).canonicalPath();
  }
  void TearDown() override { QDir::setCurrent(startDir_); }
  // A list of the folder's "*.jpg" files that notes the file of each click notification.
  std::unique_ptr<TFileListBox> clickRecordingList(QStringList& clicked) {
    auto list = std::make_unique<TFileListBox>(nullptr);
    list->SetBounds(0, 0, 300, 200);
    list->ApplyDirectory(folder_);
    list->SetMask(QStringLiteral("*.jpg"));
    list->OnClick = [&clicked, list = list.get()](TObject*) { clicked << QFileInfo(list->FileName()).fileName(); };
    return list;
  }
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
  EXPECT_EQ(list.FileName(), QString());
}

// Names that differ only in case are two files here: both are listed under a mask of
// several patterns (each matches both), and a file two patterns find is listed once.
TEST_F(ListsTest, CaseVariantsAreTwoFilesEachListedOnce) {
  touch(QStringLiteral("x.jpg"));
  touch(QStringLiteral("X.JPG"));
  touch(QStringLiteral("y.jpeg"));
  QFile::link(folder_ + QStringLiteral("/y.jpeg"), folder_ + QStringLiteral("/z_link.jpg"));
  QDir(folder_).mkdir(QStringLiteral("folder"));
  QFile::link(folder_ + QStringLiteral("/folder"), folder_ + QStringLiteral("/folder_link.jpg"));
  std::vector<size_t> counts;
  const auto found = FindMatchingFiles(folder_, QStringLiteral("*.jpg;*.jpeg;*.JPG"), [&](size_t count) { counts.push_back(count); });
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].Name, QStringLiteral("X.JPG"));
  EXPECT_EQ(found[1].Name, QStringLiteral("x.jpg"));
  EXPECT_EQ(found[2].Name, QStringLiteral("y.jpeg"));
  EXPECT_EQ(found[3].Name, QStringLiteral("z_link.jpg"));
  EXPECT_EQ(counts, (std::vector<size_t>{1, 2, 3, 4}));  // one report per listed name

  TFileListBox list(nullptr);
  list.ApplyDirectory(folder_);
  list.SetMask(QStringLiteral("*.jpg"));
  EXPECT_EQ(list.Items(), (QStringList{QStringLiteral("X.JPG"), QStringLiteral("x.jpg"), QStringLiteral("z_link.jpg")}));
}

TEST_F(ListsTest, BlankAfterSemicolonStaysInThePattern) {
  touch(QStringLiteral("a.jpg"));
  touch(QStringLiteral("b.jpeg"));
  touch(QStringLiteral(" c.jpeg"));
  TFileListBox list(nullptr);
  list.ApplyDirectory(folder_);
  list.SetMask(QStringLiteral("*.jpg; *.jpeg"));
  EXPECT_EQ(list.Items(), (QStringList{QStringLiteral(" c.jpeg"), QStringLiteral("a.jpg")}));
}

TEST_F(ListsTest, ManyNamesSortLikeTheFileNameOrderAndRefreshSeesNewFiles) {
  for (int i = 0; i < 150; ++i) touch(QStringLiteral("%1Bild%2.jpg").arg(i % 2 ? QStringLiteral("x") : QStringLiteral("X")).arg(i));
  TFileListBox list(nullptr);
  list.ApplyDirectory(folder_);
  list.SetMask(QStringLiteral("*.JPG;*.jpg"));
  const QStringList items = list.Items();
  ASSERT_EQ(items.size(), 150);
  for (qsizetype i = 1; i < items.size(); ++i) EXPECT_LT(platform::CompareFileNames(items[i - 1], items[i]), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone again

  list.SetItemIndex(3);
  touch(QStringLiteral("neu.jpg"));
  list.Refresh();
  EXPECT_EQ(list.Items().size(), 151);
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(ListsTest, EmptyFolderListsNothing) {
  TFileListBox list(nullptr);
  list.SetMask(QStringLiteral("*.*"));
  list.ApplyDirectory(folder_);
  EXPECT_TRUE(list.Items().isEmpty());
  EXPECT_EQ(list.FileName(), QString());
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
  // In a drive root the separator is not doubled.
  EXPECT_EQ(platform::JoinPath(QStringLiteral("/"), QStringLiteral("name.jpg")), QStringLiteral("/name.jpg"));
}

TEST_F(ListsTest, KeysAndMouseMoveTheSelectionAndNotifyEachTime) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) touch(QString::fromLatin1(name));
  QStringList clicked;
  const auto listed = clickRecordingList(clicked);
  TFileListBox& list = *listed;
  list.SetColumns(2);
  auto* view = static_cast<QAbstractItemView*>(list.Widget());
  list.SetItemIndex(0);
  auto key = [&](int code, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(view, &press);
  };
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  key(Qt::Key_Up);
  key(Qt::Key_D, QStringLiteral("d"));
  EXPECT_EQ(clicked, (QStringList{"a.jpg", "b.jpg", "c.jpg", "b.jpg", "d.jpg"}));

  // A press on an item selects it; a press on the selected item notifies again.
  for (int i = 0; i < 2; ++i) {
    SendMouse(view, QEvent::MouseButtonPress, 0);
    SendMouse(view, QEvent::MouseButtonRelease, 0);
  }
  EXPECT_EQ(clicked.mid(5), (QStringList{"a.jpg", "a.jpg"}));
}

// A held arrow key runs through the list; the files it passes are not notified, the one
// it stops on is, once the key is let go or its repeat pauses.
TEST_F(ListsTest, HeldKeyNotifiesOnlyWhereItStops) {
  for (int i = 0; i < 8; ++i) touch(QStringLiteral("%1.jpg").arg(i));
  QStringList clicked;
  const auto listed = clickRecordingList(clicked);
  TFileListBox& list = *listed;
  auto* view = static_cast<QAbstractItemView*>(list.Widget());
  list.SetItemIndex(0);
  quint64 now = 1000;
  auto send = [&](QEvent::Type type, bool autoRepeat) {
    QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), autoRepeat);
    event.setTimestamp(now);
    QCoreApplication::sendEvent(view, &event);
  };
  // X reports a repeat as a release and a press of one time stamp; Qt marks the pair
  // as a repeat, or sometimes not.
  auto repeat = [&](bool marked) {
    now += 40;
    send(QEvent::KeyRelease, marked);
    send(QEvent::KeyPress, marked);
  };
  auto release = [&] {
    now += 40;
    send(QEvent::KeyRelease, false);
  };
  send(QEvent::KeyPress, false);  // the first press notifies at once
  EXPECT_EQ(clicked, (QStringList{"0.jpg", "1.jpg"}));
  repeat(true);
  repeat(false);
  repeat(true);
  EXPECT_EQ(list.ItemIndex(), 4);
  EXPECT_EQ(clicked.size(), 2);
  release();
  EXPECT_EQ(clicked.size(), 2);  // the release waits a moment for a press of its time
  EXPECT_TRUE(WaitUntil([&] { return clicked.size() == 3; }, std::chrono::milliseconds(TKeyHold::kRepeatPauseMs * 10)));
  EXPECT_EQ(clicked.last(), QStringLiteral("4.jpg"));

  // A new press after the release is a press of its own.
  now += 200;
  send(QEvent::KeyPress, false);
  EXPECT_EQ(clicked.last(), QStringLiteral("5.jpg"));
  // Without a release the notification comes once the repeat has paused.
  repeat(true);
  EXPECT_EQ(clicked.size(), 4);
  EXPECT_TRUE(WaitUntil([&] { return clicked.size() == 5; }, std::chrono::milliseconds(TKeyHold::kRepeatPauseMs * 10)));
  EXPECT_EQ(clicked.last(), QStringLiteral("6.jpg"));
  // Repeats on the last item change nothing and notify nothing more.
  repeat(false);
  repeat(true);
  repeat(true);
  release();
  EXPECT_TRUE(WaitUntil([&] { return clicked.size() == 6; }, std::chrono::milliseconds(TKeyHold::kRepeatPauseMs * 10)));
  EXPECT_EQ(clicked.last(), QStringLiteral("7.jpg"));
  repeat(true);
  release();
  WaitUntil([] { return false; }, std::chrono::milliseconds(TKeyHold::kRepeatPauseMs * 2));
  EXPECT_EQ(clicked.size(), 6);

  // A click ends a hold whose release was lost, and notifies at once.
  list.SetItemIndex(3);
  clicked.clear();
  repeat(true);
  SendMouse(view, QEvent::MouseButtonPress, 0);
  EXPECT_EQ(clicked, (QStringList{"4.jpg", "0.jpg"}));
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

TEST_F(ListsTest, RootItemAndEnterOpenFolders) {
  QDir(folder_).mkpath(QStringLiteral("Bilder/2001"));
  touch(QStringLiteral("Bilder/2001/x.jpg"));
  TDirectoryListBox dirs(nullptr);
  TFileListBox files(nullptr);
  files.SetMask(QStringLiteral("*.jpg"));
  dirs.SetFileList(&files);
  dirs.SetDirectory(folder_ + QStringLiteral("/Bilder/2001"));
  EXPECT_EQ(files.Items(), QStringList{QStringLiteral("x.jpg")});

  dirs.OpenItem(0);  // the root item, as a double-click opens it
  EXPECT_EQ(dirs.Directory(), QStringLiteral("/"));
  EXPECT_EQ(files.Directory(), QStringLiteral("/"));
  EXPECT_EQ(dirs.FolderItems().front().kind, FolderItemKind::CurrentFolder);

  // Enter on a highlighted subfolder opens it.
  dirs.SetDirectory(folder_);
  auto* view = static_cast<QListWidget*>(dirs.Widget());
  const auto& items = dirs.FolderItems();
  const auto sub = std::find_if(items.begin(), items.end(), [](const FolderItem& item) {
    return item.kind == FolderItemKind::ClosedFolder && item.text == QStringLiteral("Bilder");
  });
  ASSERT_NE(sub, items.end());
  view->setCurrentRow(static_cast<int>(sub - items.begin()));
  EXPECT_EQ(dirs.Directory(), folder_);  // highlighting alone opens nothing
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &enter);
  EXPECT_EQ(dirs.Directory(), folder_ + QStringLiteral("/Bilder"));
}

TEST(FolderItems, IndentsByPositionAndByDepth) {
  const QString folder = QStringLiteral("/home/user");
  const auto items = FolderItemsFor(folder, {QStringLiteral("a")});
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(FolderItemIndent(items[0], 0, folder), 2);
  EXPECT_EQ(FolderItemIndent(items[2], 2, folder), 10);
  EXPECT_EQ(FolderItemIndent(items[3], 3, folder), 14);  // two separators: 4 x 2 + 6
  EXPECT_EQ(FolderItemIndent(FolderItemsFor(QStringLiteral("/"), {QStringLiteral("a")})[1], 1, QStringLiteral("/")),
            10);
}

TEST(ListPictures, BottomLeftColourIsTransparent) {
  for (FolderItemKind kind : {FolderItemKind::OpenFolder, FolderItemKind::CurrentFolder, FolderItemKind::ClosedFolder}) {
    const QImage bitmap = FolderBitmap(kind);
    EXPECT_EQ(bitmap.width(), 16);
    const QImage shown = FolderPicture(kind).toImage();
    EXPECT_EQ(qAlpha(shown.pixel(0, shown.height() - 1)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(8, 8)), 255);  // the folder itself stays
  }
  const QImage drive = DrivePicture(platform::DriveType::Fixed).toImage();
  EXPECT_EQ(qAlpha(drive.pixel(0, drive.height() - 1)), 0);
  EXPECT_EQ(qAlpha(drive.pixel(8, 8)), 255);
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
