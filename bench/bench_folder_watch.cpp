// The lists following a shown folder of 100,000 files while files are created and
// removed in it from another thread, as a camera's copy or a clean-up would: how often
// the lists are re-read during a short burst, a long one and a quiet spell, and how
// long one re-read of both lists takes.
//
// Usage: bench_folder_watch [files]   (100,000 when not given)
// Goal: one re-read per burst; a burst longer than a second is still shown about once a
// second; nothing while nothing changes.

#include "bench/bench_timing.h"
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "browse/folder_watch.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDefaultFiles = 100000;
constexpr int kRounds = 5;
// After a burst, the lists count as settled when this long (and at least three re-reads'
// time, since the watch waits longer after a long re-read) passes without a re-read.
constexpr int kQuietMilliseconds = 1500;

QByteArray NameOf(const QByteArray& folder, const char* prefix, int i) {
  return folder + "/" + prefix + QByteArray::number(i).rightJustified(6, '0') + ".jpg";
}

qsizetype FilesOnDisk(const QByteArray& folder) {
  qsizetype count = 0;
  DIR* dir = ::opendir(folder.constData());
  if (!dir) std::abort();
  while (const dirent* entry = ::readdir(dir)) count += entry->d_type == DT_REG ? 1 : 0;
  ::closedir(dir);
  return count;
}

void Touch(const QByteArray& path) {
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) std::abort();
  ::close(fd);
}

// The times (ms after the burst began) at which the file list was read again.
struct Burst {
  double seconds = 0;  // how long the changes went on
  std::vector<qint64> rereads;
};

// Runs `changes` on another thread while the event loop runs here, and counts re-reads
// until the lists have been quiet for quietMilliseconds after the changes ended.
Burst Measure(QAbstractItemModel* files, qint64 quietMilliseconds, const std::function<void()>& changes) {
  Burst burst;
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  const auto counter = QObject::connect(files, &QAbstractItemModel::modelReset, &loop,
                                        [&] { burst.rereads.push_back(clock.elapsed()); });
  std::atomic<bool> done{false};
  std::thread worker([&] {
    burst.seconds = SecondsOf(changes);
    done = true;
  });
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    const qint64 last = burst.rereads.empty() ? 0 : burst.rereads.back();
    if (done && clock.elapsed() - std::max<qint64>(last, static_cast<qint64>(burst.seconds * 1e3)) > quietMilliseconds) {
      loop.quit();
    }
  });
  check.start(20);
  loop.exec();
  worker.join();
  QObject::disconnect(counter);
  return burst;
}

void Print(const char* what, const Burst& burst, int goal) {
  std::printf("%-44s %6.2f s of changes, %2zu re-reads (goal <= %d) at ms:", what, burst.seconds,
              burst.rereads.size(), goal);
  for (const qint64 at : burst.rereads) std::printf(" %lld", static_cast<long long>(at));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultFiles;
  // In memory where there is a memory file system: making the files is not measured.
  QTemporaryDir made(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/bench_folder_watch-XXXXXX")
                                                                : QDir::tempPath() + QStringLiteral("/bench_folder_watch-XXXXXX"));
  const QByteArray folder = QFile::encodeName(made.path());
  const double making = SecondsOf([&] {
    for (int i = 0; i < count; ++i) Touch(NameOf(folder, "Bild_", i));
  });

  TDirectoryListBox folders(nullptr);
  TFileListBox files(nullptr);
  files.SetBounds(0, 0, 528, 197);
  files.SetColumns(2);
  files.SetMask(QStringLiteral("*.jpg;*.jpeg"));
  folders.SetFileList(&files);
  folders.SetDirectory(made.path());
  FolderWatch watch(&folders, &files, [](const QString&) { std::abort(); });
  files.SetItemIndex(count / 2);

  // One re-read as the watch does it: both lists, the selection kept.
  std::vector<double> folderTimes;
  std::vector<double> fileTimes;
  for (int round = 0; round < kRounds; ++round) {
    folderTimes.push_back(SecondsOf([&] { folders.BuildList(); }));
    fileTimes.push_back(SecondsOf([&] { files.RereadKeepingSelection(); }));
  }
  QAbstractItemModel* model = static_cast<QListView*>(files.Widget())->model();
  const qint64 reread = static_cast<qint64>((Median(folderTimes) + Median(fileTimes)) * 1e3);
  const qint64 quietMilliseconds = std::max<qint64>(kQuietMilliseconds, 3 * reread);

  const Burst quiet = Measure(model, quietMilliseconds, [] {});
  const Burst shortBurst = Measure(model, quietMilliseconds, [&] {
    for (int i = 0; i < 2000; ++i) Touch(NameOf(folder, "Neu_", i));
    for (int i = 0; i < 2000; i += 2) ::unlink(NameOf(folder, "Neu_", i).constData());
  });
  const Burst longBurst = Measure(model, quietMilliseconds, [&] {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; clock.elapsed() < 3000; ++i) {
      Touch(NameOf(folder, "Lang_", i));
      if (i % 2 == 1) ::unlink(NameOf(folder, "Lang_", i - 1).constData());
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });

  std::printf("folder: %s, %d files (made in %.2f s)\n", folder.constData(), count, making);
  std::printf("after the bursts: %lld listed of %lld on the disk, selection %s\n",
              static_cast<long long>(files.Items().size()), static_cast<long long>(FilesOnDisk(folder)),
              files.ItemIndex() >= 0 ? files.Items()[files.ItemIndex()].toLocal8Bit().constData() : "lost");
  std::printf("one re-read: folder list %.1f ms + file list %.1f ms (medians of %d)\n", Median(folderTimes) * 1e3,
              Median(fileTimes) * 1e3, kRounds);
  Print("quiet (nothing changes):", quiet, 0);
  Print("short burst (2,000 made, 1,000 removed):", shortBurst, 1);
  Print("long burst (a file made/removed every 2 ms):", longBurst,
        1 + static_cast<int>(longBurst.seconds * 1e3) / FolderWatch::kLongestBurstMilliseconds);
  return 0;
}
