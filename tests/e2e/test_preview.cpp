// The file browser and the preview on a real desktop: a click on a file shows it on the
// first canvas and, on the second tab, on the second; a long decode shows its changing
// percentage in the painted title and its rows on the canvas; the arrow keys move the
// preview along; a double-click on a folder opens it and the file list follows.
#include "main_window.h"
#include "sample_looks.h"
#include "tools/sample_jpeg.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace e2e {
namespace {

// Points of the main window at its designed size, relative to its top-left corner.
const QRect kImage3 = kPreviewCanvasInWindow;
const QRect kImagehoch(19, 160, 68, 88);
const QPoint kSecondTab(158, 138);
// The painted title: the caption's rows inside the frame, up to its end colour.
const QRect kTitle(8, 4, 600, 18);
// Where the title's text never reaches, neither the program title nor a percentage.
const QRect kBeyondTitleText(250, 0, 350, 18);

QRect OnScreen(const Window& main, const QRect& part) { return part.translated(main.geometry.topLeft()); }

bool WriteJpeg(const QString& path, const SampleJpegOptions& options) {
  return WriteBytes(path, MakeSampleJpeg(options));
}

SampleJpegOptions Sized(int width, int height, SampleColorModel model = SampleColorModel::Color) {
  SampleJpegOptions options;
  options.width = width;
  options.height = height;
  options.model = model;
  return options;
}

// The mean colour of part of an image: it evens out a noisy picture's noise.
QColor MeanColour(const QImage& image, const QRect& part) {
  qint64 r = 0, g = 0, b = 0, n = 0;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    for (int x = part.left(); x <= part.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      r += c.red();
      g += c.green();
      b += c.blue();
      ++n;
    }
  }
  if (n == 0) return QColor();
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

bool Near(const QColor& seen, SampleRgb expected) {
  return std::abs(seen.red() - expected.r) < 40 && std::abs(seen.green() - expected.g) < 40 &&
         std::abs(seen.blue() - expected.b) < 40;
}

// What a canvas shows of a decoding picture: the top-left quadrant near its top, the
// bottom-left quadrant near its bottom, or the black of rows not yet decoded there.
struct CanvasLook {
  bool topShown = false;
  bool bottomShown = false;
  bool bottomUndecoded = false;
};

CanvasLook LookAt(const QImage& canvas) {
  const int w = canvas.width();
  const int h = canvas.height();
  const QRect top(w / 10, h / 10, w / 4, 4);
  const QRect bottom(w / 10, h * 9 / 10 - 4, w / 4, 4);
  const QColor bottomColour = MeanColour(canvas, bottom);
  CanvasLook look;
  look.topShown = Near(MeanColour(canvas, top), SamplePatternColor(0, 0, 64, 48));
  look.bottomShown = Near(bottomColour, SamplePatternColor(0, 47, 64, 48));
  look.bottomUndecoded = std::max({bottomColour.red(), bottomColour.green(), bottomColour.blue()}) < 20;
  return look;
}

class PreviewE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pictures_.isValid());
    folder_ = QDir(pictures_.path()).canonicalPath();
    ASSERT_TRUE(display_.Ready());
  }
  // Starts the program in the picture folder.
  void start() {
    velarim_ = std::make_unique<Velarim>(display_, VelarimOptions{.settings = "[Verzeichnisse]\nletztes=" +
                                                                              folder_.toUtf8() + "\n"});
    main_ = velarim_->WaitForMainWindow();
    ASSERT_TRUE(main_) << velarim_->Log().toStdString();
  }
  void TearDown() override {
    if (!velarim_ || !main_) return;
    ASSERT_TRUE(CloseMainWindow(display_, *velarim_, *main_, CloseWay::AltF4));
    EXPECT_EQ(velarim_->WaitForExit(10s), 0) << velarim_->Log().toStdString();
  }
  QImage shot(const QRect& part) const { return display_.Screenshot(OnScreen(*main_, part)); }
  // The title once the window is active and its painting has settled: the gradient
  // ends in the active caption colour.
  QImage activeProgramTitle() const {
    if (!display_.Focus(*main_)) return QImage();
    const bool active = WaitUntil(
        [&] { return shot(kTitle).pixelColor(kTitle.width() - 1, kTitle.height() - 1) == QColor(0, 0, 128); }, 10s);
    return active ? display_.SettledScreenshot(OnScreen(*main_, kTitle), 10s) : QImage();
  }
  bool waitForCanvas(const QRect& canvas, const std::function<bool(const QImage&)>& shows) const {
    return WaitUntil([&] { return shows(shot(canvas)); }, 15s);
  }

  QTemporaryDir pictures_;
  QString folder_;
  Display display_;
  std::unique_ptr<Velarim> velarim_;
  std::optional<Window> main_;
};

TEST_F(PreviewE2E, ClickedFileShowsOnBothCanvasesAndArrowKeysMoveAlong) {
  ASSERT_TRUE(WriteJpeg(folder_ + "/a_farbe.jpg", Sized(640, 480)));
  ASSERT_TRUE(WriteJpeg(folder_ + "/b_grau.jpg", Sized(640, 480, SampleColorModel::Grayscale)));
  ASSERT_TRUE(WriteJpeg(folder_ + "/c_farbe.jpg", Sized(480, 640)));
  start();
  const QImage empty = shot(kImage3);

  display_.Click(FileRowOf(*main_, 0));
  EXPECT_TRUE(waitForCanvas(kImage3, ShowsColourPattern)) << "a_farbe.jpg not shown";
  display_.Key(QStringLiteral("Down"));
  EXPECT_TRUE(waitForCanvas(kImage3, ShowsGrey)) << "b_grau.jpg not shown after Down";
  display_.Key(QStringLiteral("Down"));
  EXPECT_TRUE(waitForCanvas(kImage3, ShowsColourPattern)) << "c_farbe.jpg not shown after Down";
  display_.Key(QStringLiteral("Up"));
  EXPECT_TRUE(waitForCanvas(kImage3, ShowsGrey)) << "b_grau.jpg not shown after Up";

  // The second page shows the same picture on its own canvas.
  display_.Key(QStringLiteral("Up"));
  EXPECT_TRUE(waitForCanvas(kImage3, ShowsColourPattern));
  display_.Click(main_->geometry.topLeft() + kSecondTab);
  EXPECT_TRUE(waitForCanvas(kImagehoch, ShowsColourPattern)) << "not shown on the second page";
  // A click on a canvas clears it.
  display_.Click(OnScreen(*main_, kImagehoch).center());
  EXPECT_TRUE(waitForCanvas(kImagehoch, [](const QImage& c) { return !ShowsColourPattern(c); }));
  EXPECT_GT(DifferingPixels(empty, shot(kImage3)), 0);
}

TEST_F(PreviewE2E, LongDecodeShowsItsProgressInTheTitleAndOnTheCanvasThenTheProgramTitle) {
  ASSERT_TRUE(WriteJpeg(folder_ + "/langsam.jpg", SlowToDecode()));
  start();
  const QImage programTitle = activeProgramTitle();
  ASSERT_FALSE(programTitle.isNull()) << "the window never showed its active title";

  display_.Click(FileRowOf(*main_, 0));
  std::vector<QImage> progressTitles;
  bool partialRedrawSeen = false;
  int looks = 0;
  const bool ended = WaitUntil(
      [&] {
        // One picture of the window's top per look, so title and canvas are of one moment.
        const QRect top = kTitle.united(kImage3);
        const QImage both = shot(top);
        const QImage title = both.copy(kTitle.translated(-top.topLeft()));
        const CanvasLook canvas = LookAt(both.copy(kImage3.translated(-top.topLeft())));
        ++looks;
        const bool programTitleShown = DifferingPixels(title, programTitle) == 0;
        if (!programTitleShown && std::none_of(progressTitles.begin(), progressTitles.end(),
                                               [&](const QImage& seen) { return seen == title; })) {
          progressTitles.push_back(title);
          if (progressTitles.size() == 2) both.save(QStringLiteral("/tmp/velarim_e2e_progress.png"));
        }
        if (canvas.topShown && canvas.bottomUndecoded) partialRedrawSeen = true;
        return programTitleShown && canvas.topShown && canvas.bottomShown;
      },
      90s);
  ASSERT_TRUE(ended) << "the decode did not end with the picture and the program title after " << looks << " looks";
  // The percentages are painted over the same gradient: only the text changes.
  ASSERT_FALSE(progressTitles.empty()) << "no progress in the title in " << looks << " looks";
  for (const QImage& title : progressTitles) {
    EXPECT_EQ(DifferingPixels(title.copy(kBeyondTitleText), programTitle.copy(kBeyondTitleText)), 0);
  }
  // A percentage is on screen for half a second or more, and the decode lasts seconds.
  EXPECT_GE(progressTitles.size(), 2u) << "the percentage never changed in " << looks << " looks";
  EXPECT_TRUE(partialRedrawSeen) << "the canvas never showed a partly decoded picture in " << looks << " looks";
}

TEST_F(PreviewE2E, DoubleClickOnFolderOpensItAndTheFileListFollows) {
  ASSERT_TRUE(WriteJpeg(folder_ + "/oben_farbe.jpg", Sized(640, 480)));
  ASSERT_TRUE(QDir(folder_).mkdir(QStringLiteral("Unterordner")));
  ASSERT_TRUE(WriteJpeg(folder_ + "/Unterordner/unten_grau.jpg", Sized(640, 480, SampleColorModel::Grayscale)));
  start();
  // The folder list shows the path from the root down to the folder, then its subfolder.
  const int depth = static_cast<int>(folder_.count(QLatin1Char('/')));
  const QPoint subfolder = FolderRowOf(*main_, depth + 1);
  display_.MoveMouse(subfolder);
  display_.Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                    QStringLiteral("80"), QStringLiteral("1")});
  // The file list now lists the subfolder's picture: clicking its first file shows it.
  EXPECT_TRUE(WaitUntil(
      [&] {
        display_.Click(FileRowOf(*main_, 0));
        return WaitUntil([&] { return ShowsGrey(shot(kImage3)); }, 1s);
      },
      15s));
  ASSERT_TRUE(CloseMainWindow(display_, *velarim_, *main_, CloseWay::AltF4));
  EXPECT_EQ(velarim_->WaitForExit(10s), 0) << velarim_->Log().toStdString();
  EXPECT_TRUE(velarim_->Settings().contains(("letztes=" + folder_ + "/Unterordner").toUtf8())) << velarim_->Settings().toStdString();
  main_.reset();
}

// Two pictures whose names differ only in case are two files: the default mask lists
// both, one below the other, and each row previews its own picture.
TEST_F(PreviewE2E, NamesThatDifferOnlyInCaseAreBothListedAndShown) {
  ASSERT_TRUE(WriteJpeg(folder_ + "/A.jpg", Sized(640, 480)));
  ASSERT_TRUE(WriteJpeg(folder_ + "/a.jpg", Sized(640, 480, SampleColorModel::Grayscale)));
  start();
  display_.Click(FileRowOf(*main_, 0));
  ASSERT_TRUE(waitForCanvas(kImage3, [](const QImage& c) { return ShowsColourPattern(c) || ShowsGrey(c); }))
      << "the first row shows no picture";
  const bool firstIsColour = ShowsColourPattern(shot(kImage3));
  display_.Click(FileRowOf(*main_, 1));
  EXPECT_TRUE(waitForCanvas(kImage3, firstIsColour ? ShowsGrey : ShowsColourPattern))
      << "the second row does not show the other picture";
  display_.Click(FileRowOf(*main_, 0));
  EXPECT_TRUE(waitForCanvas(kImage3, firstIsColour ? ShowsColourPattern : ShowsGrey)) << "the first row again";
}

}  // namespace
}  // namespace e2e
