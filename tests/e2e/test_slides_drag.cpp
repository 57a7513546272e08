// Filling the slides of the first sheet by dragging files from the file list with the
// real mouse, and clearing one with a click. Each picture shows squeezed over its whole
// pane; a click leaves the pane's button face again.
#include "main_window.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace e2e {
namespace {

// Where the main window's layout puts the first sheet's quad split and the first item
// of the file list, in window coordinates.
constexpr QPoint kSplitInWindow(196, 161);
constexpr QPoint kFirstFileInWindow(240, 325);
constexpr int kFileItemHeight = 18;

// The middle of each pane of the first sheet, clockwise from the top left.
const QPoint kPaneMiddles[] = {{42, 22}, {127, 22}, {127, 67}, {42, 67}};

bool near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

TEST(SlidesDragTest, DragFromTheFileListFillsEachSlideAndAClickClearsOne) {
  const QRgb colours[] = {qRgb(200, 30, 30), qRgb(30, 160, 30), qRgb(30, 30, 200), qRgb(220, 200, 20)};
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  for (int i = 0; i < 4; ++i) {
    // Portrait pictures, so each one shows squeezed into its landscape pane.
    QImage image(30, 60, QImage::Format_RGB32);
    image.fill(colours[i]);
    ASSERT_TRUE(image.save(pictures.filePath(QStringLiteral("bild%1.jpg").arg(i)), "JPEG", 95));
  }
  Display display;
  ASSERT_TRUE(display.Ready());
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + QDir(pictures.path()).canonicalPath().toUtf8() +
                                        "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow();
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QPoint origin = main->geometry.topLeft();
  const QPoint split = origin + kSplitInWindow;

  for (int i = 0; i < 4; ++i) {
    const QPoint file = origin + kFirstFileInWindow + QPoint(0, i * kFileItemHeight);
    display.Drag(file, split + kPaneMiddles[i]);
    EXPECT_TRUE(WaitUntil([&] { return near(display.Screenshot().pixel(split + kPaneMiddles[i]), colours[i]); }, 5s))
        << "slide " << i << " not filled";
  }
  // The picture covers its whole pane, corner to corner.
  const QImage sheet = display.Screenshot(QRect(split, QSize(169, 89)));
  EXPECT_TRUE(near(sheet.pixel(2, 2), colours[0]));
  EXPECT_TRUE(near(sheet.pixel(82, 42), colours[0]));
  EXPECT_TRUE(near(sheet.pixel(166, 86), colours[2]));

  const QRgb face = display.Screenshot().pixel(split + QPoint(84, 20));  // the bar's face: button face
  display.Click(split + kPaneMiddles[1]);
  EXPECT_TRUE(WaitUntil([&] { return display.Screenshot().pixel(split + kPaneMiddles[1]) == face; }, 5s));
  EXPECT_TRUE(near(display.Screenshot().pixel(split + kPaneMiddles[0]), colours[0]));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(5s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
