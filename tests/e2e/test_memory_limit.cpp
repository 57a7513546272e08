// A picture that does not fit in the memory the program may use: under a memory limit of
// the test's own, a slide filled with a small file whose header claims 18900 x 18900
// pixels (1 GB of bitmap) brings the designed shortage of memory, and the program goes on
// and saves its settings at the close, instead of being killed by the kernel. The limit
// is a control group that the test makes below its own (which needs the right to write
// there, usually root's); without one the case is skipped and says why.
#include "main_window.h"
#include "sample_looks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

namespace e2e {
namespace {

constexpr qint64 kLimitBytes = qint64{700} << 20;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush();
}

// A memory control group below the test's own with a limit; removed at the end, once
// the processes put into it have ended.
class MemoryLimit {
 public:
  explicit MemoryLimit(qint64 bytes) {
    const QString name = QStringLiteral("/velarim-e2e-%1").arg(::getpid());
    for (const QByteArray& line : ReadFile(QStringLiteral("/proc/self/cgroup")).split('\n')) {
      const QList<QByteArray> fields = line.split(':');
      if (fields.size() < 3) continue;
      if (fields[0] == "0" && fields[1].isEmpty()) {
        for (const char* mount : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
          if (tryGroup(QString::fromUtf8(mount) + QString::fromUtf8(fields[2]) + name, "memory.max", bytes)) return;
        }
      } else if (fields[1].split(',').contains("memory")) {
        if (tryGroup(QStringLiteral("/sys/fs/cgroup/memory") + QString::fromUtf8(fields[2]) + name,
                     "memory.limit_in_bytes", bytes)) {
          return;
        }
      }
    }
    if (failure_.empty()) failure_ = "no memory control group in /proc/self/cgroup";
  }
  ~MemoryLimit() {
    if (!folder_.isEmpty()) QDir().rmdir(folder_);
  }
  MemoryLimit(const MemoryLimit&) = delete;
  MemoryLimit& operator=(const MemoryLimit&) = delete;

  bool Ready() const { return !folder_.isEmpty(); }
  const std::string& Failure() const { return failure_; }
  bool Add(qint64 pid) const { return WriteFile(folder_ + QStringLiteral("/cgroup.procs"), QByteArray::number(pid)); }

 private:
  bool tryGroup(const QString& folder, const char* limitFile, qint64 bytes) {
    if (!QDir().mkdir(folder)) {
      failure_ = "cannot make the control group " + folder.toStdString();
      return false;
    }
    if (!WriteFile(folder + u'/' + QLatin1String(limitFile), QByteArray::number(bytes))) {
      failure_ = "cannot set " + std::string(limitFile) + " in " + folder.toStdString();
      QDir().rmdir(folder);
      return false;
    }
    folder_ = folder;
    return true;
  }

  QString folder_;
  std::string failure_;
};

// A baseline file of a few hundred bytes whose frame header claims the given size.
std::vector<uint8_t> ClaimingSize(int width, int height) {
  SampleJpegOptions small;
  small.width = 16;
  small.height = 16;
  std::vector<uint8_t> bytes = MakeSampleJpeg(small);
  for (size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = static_cast<uint8_t>(height >> 8);
      bytes[i + 6] = static_cast<uint8_t>(height);
      bytes[i + 7] = static_cast<uint8_t>(width >> 8);
      bytes[i + 8] = static_cast<uint8_t>(width);
      break;
    }
  }
  return bytes;
}

TEST(MemoryLimitTest, PictureBeyondTheLimitIsReportedAndTheProgramGoesOnAndSaves) {
  const MemoryLimit limit(kLimitBytes);
  if (!limit.Ready()) GTEST_SKIP() << "no memory limit can be made here: " << limit.Failure();
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  ASSERT_TRUE(WriteBytes(pictures.filePath(QStringLiteral("riesig.jpg")), ClaimingSize(18900, 18900)));

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(pictures.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(limit.Add(velarim.Pid()));

  const QRect split = kFirstSheet.split.translated(main->geometry.topLeft());
  display.Drag(FileRowOf(*main, 0), kFirstSheet.panes[0].translated(split.topLeft()).center());
  const std::optional<Window> box = velarim.WaitForWindow(QStringLiteral("Velarim"), QStringLiteral("dialog"), 60s);
  ASSERT_TRUE(box) << "no error report; " << velarim.Log().toStdString();
  ExpectErrorReport(display, *box, QStringLiteral("Zu wenig Arbeitsspeicher."));
  ASSERT_TRUE(ConfirmWithEnter(display, velarim, *box));
  EXPECT_TRUE(velarim.Running());

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
  // The close writes the hint switch beside the folder the program started with.
  EXPECT_EQ(velarim.Settings(), LastFolderSettings(pictures.path()) + "[OnlineHilfe]\nStatus=1\n")
      << "settings not saved at the close";
}

}  // namespace
}  // namespace e2e
