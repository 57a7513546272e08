// Holding the down arrow through a folder of large pictures on a real desktop: the
// selection runs with the keyboard's own repeat to the last file, the last file's
// picture appears soon after the key is let go, and the program spends no decoding on
// the pictures it passed: its processor time over the whole run stays within a few
// times that of one decode, measured in the same run.
#include "key_repeat.h"
#include "main_window.h"
#include "sample_looks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

namespace e2e {
namespace {

constexpr int kFiles = 50;
constexpr int kPictureWidth = 6000;  // 24 megapixels
constexpr int kPictureHeight = 4000;
// The keyboard's repeat: the first repeat after this delay, then one per interval.
constexpr int kRepeatDelayMs = 250;
constexpr int kRepeatIntervalMs = 50;

std::vector<uint8_t> LargePicture(SampleColorModel model) {
  SampleJpegOptions options;
  options.width = kPictureWidth;
  options.height = kPictureHeight;
  options.model = model;
  options.quality = 75;
  return MakeSampleJpeg(options);
}

QString FileName(int index) { return QStringLiteral("bild_%1.jpg").arg(index, 2, 10, QLatin1Char('0')); }

// Fifty files of one picture in colour (hard links, so the folder costs the disk one
// picture) and, last, a grey one.
bool MakeFolder(const QString& folder) {
  const QString first = folder + QLatin1Char('/') + FileName(0);
  if (!WriteBytes(first, LargePicture(SampleColorModel::Color))) return false;
  for (int i = 1; i < kFiles - 1; ++i) {
    const QString path = folder + QLatin1Char('/') + FileName(i);
    if (link(QFile::encodeName(first).constData(), QFile::encodeName(path).constData()) != 0) return false;
  }
  return WriteBytes(folder + QLatin1Char('/') + FileName(kFiles - 1), LargePicture(SampleColorModel::Grayscale));
}

// The processor time the process has used so far, user and system, in seconds.
double ProcessorSeconds(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  // The fields after the command name (which may hold blanks) start behind its ")".
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  constexpr int kUserTime = 11;  // utime and stime are fields 14 and 15 of the line
  if (fields.size() <= kUserTime + 1) return -1;
  return static_cast<double>(fields[kUserTime].toLongLong() + fields[kUserTime + 1].toLongLong()) /
         static_cast<double>(sysconf(_SC_CLK_TCK));
}

TEST(BrowseKeysE2E, HoldingDownRunsToTheLastFileWithoutDecodingThePicturesPassed) {
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  const QString folder = QDir(pictures.path()).canonicalPath();
  ASSERT_TRUE(MakeFolder(folder));
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  ASSERT_TRUE(SetKeyRepeat(display.Name(), kRepeatDelayMs, kRepeatIntervalMs));
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + folder.toUtf8() + "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QRect canvas = PreviewCanvasOf(*main);
  const auto waitForCanvasUntil = [&](const std::function<bool(const QImage&)>& shows, Milliseconds timeout) {
    return WaitUntil([&] { return shows(display.Screenshot(canvas)); }, timeout);
  };

  // What one decode costs here and now: the click on the first file until its picture shows.
  const double beforeClick = ProcessorSeconds(velarim.Pid());
  QElapsedTimer clock;
  clock.start();
  display.Click(FileRowOf(*main, 0));
  ASSERT_TRUE(waitForCanvasUntil(ShowsColourPattern, 40s)) << "the first file is not shown";
  const double oneDecodeSeconds = clock.elapsed() / 1000.0;
  const double oneDecodeProcessor = ProcessorSeconds(velarim.Pid()) - beforeClick;

  // Held long enough for the repeat to reach the last file, and a second longer; the
  // last picture may show while the key is still down, once the list stands still.
  const int repeatsNeededMs = kRepeatDelayMs + (kFiles - 2) * kRepeatIntervalMs;
  const Milliseconds hold(repeatsNeededMs + 1000);
  const double beforeHold = ProcessorSeconds(velarim.Pid());
  clock.restart();
  display.Xdotool({QStringLiteral("keydown"), QStringLiteral("Down")});
  bool shown = waitForCanvasUntil(ShowsGrey, hold);
  double seenAt = clock.elapsed() / 1000.0;
  std::this_thread::sleep_for(std::max(Milliseconds(0), hold - Milliseconds(clock.elapsed())));  // the rest of the hold
  display.Xdotool({QStringLiteral("keyup"), QStringLiteral("Down")});
  const double releasedAt = clock.elapsed() / 1000.0;
  if (!shown) {
    shown = waitForCanvasUntil(ShowsGrey, 40s);
    seenAt = clock.elapsed() / 1000.0;
  }
  ASSERT_TRUE(shown) << "the last file is not shown";
  const double holdProcessor = ProcessorSeconds(velarim.Pid()) - beforeHold;
  std::printf("one decode: %.2f s, %.2f s of processor; the last picture shown %.2f s after the key went down "
              "(released after %.2f s); the hold used %.2f s of processor\n",
              oneDecodeSeconds, oneDecodeProcessor, seenAt, releasedAt, holdProcessor);

  // The list kept up with the keyboard: the last picture came about when the repeats
  // reached it, with time for its decode, not after a queue of keys was worked off.
  EXPECT_LT(seenAt, 1.5 * repeatsNeededMs / 1000.0 + 2 * oneDecodeSeconds + 1.5);
  // Decodes for the file after the first (the key's first press) and for the last one,
  // and little besides: decoding more than a handful of the 47 pictures passed in
  // between would cost more.
  EXPECT_LT(holdProcessor, 5 * oneDecodeProcessor + 0.5);

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(10s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
