// A whole sheet made without a pointer: Tab walks to the folder list, the arrow keys and
// Return open the folder of pictures, Tab reaches the file list, the arrow keys choose
// each picture and Ctrl+1 to Ctrl+4 put them on the four slides; Alt+2 clears one and
// Ctrl+2 fills it again; Ctrl+D, the arrow keys and Return print the sheet to "PDF-Datei".
// The measured page shows the four pictures where the drags of the print road put them.
// No mouse event is sent at all.
#include "main_window.h"
#include "print_road.h"

#include "tests/tools/printed_page.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace e2e {
namespace {

using printprobe::ExpectedPicture;
using printprobe::Quadrants;

// Four pictures of four flat quadrants each, no colour twice.
const Quadrants kPictures[] = {
    {QColor(200, 0, 0), QColor(0, 100, 0), QColor(0, 0, 200), QColor(100, 100, 0)},
    {QColor(100, 0, 100), QColor(0, 100, 100), QColor(230, 120, 0), QColor(20, 20, 20)},
    {QColor(90, 0, 0), QColor(0, 230, 0), QColor(0, 0, 90), QColor(230, 0, 230)},
    {QColor(0, 230, 230), QColor(120, 120, 230), QColor(230, 230, 0), QColor(120, 230, 0)},
};
// The places of layout 1's slides on A4 landscape in 0.1 mm, in the keys' order: top
// left, top right, bottom left, bottom right.
const QRect kSlidePlaces[] = {QRect(50, 25, 1300, 900), QRect(1450, 25, 1300, 900), QRect(50, 1025, 1300, 900),
                              QRect(1450, 1025, 1300, 900)};
// The middle of each pane of the first sheet, in the same order, in split coordinates.
const QPoint kPaneMiddles[] = {{42, 22}, {127, 22}, {42, 67}, {127, 67}};
// The toolbar's two buttons in the main window (frame, menu bar, then the toolbar's grid).
const QRect kZoomButtonInWindow(8, 40, 52, 60);
const QRect kPrintButtonInWindow(60, 40, 48, 60);

bool Near(QRgb seen, QColor expected) { return printprobe::Near(QColor(seen), expected); }

class KeyboardSheet {
 public:
  KeyboardSheet(const Display& display, const Window& main) : display_(display), main_(main) {}

  QImage look(const QRect& inWindow) const { return display_.Screenshot(inWindow.translated(main_.geometry.topLeft())); }

  // Tab until the focus moves from the zoom button to the print button: both change
  // their look at that one step, since the focus frame leaves one and enters the other.
  bool tabToPrintButton() const {
    for (int step = 0; step < 12; ++step) {
      const QImage zoom = look(kZoomButtonInWindow), print = look(kPrintButtonInWindow);
      display_.Key(QStringLiteral("Tab"));
      const bool zoomChanged = WaitUntil([&] { return look(kZoomButtonInWindow) != zoom; }, 1s);
      if (zoomChanged && look(kPrintButtonInWindow) != print) return true;
    }
    return false;
  }

  // Whether the slide's pane shows the picture's top-left quadrant.
  bool slideShows(int slide, QColor colour) const {
    const QPoint quadrant = QuadSplitOf(main_).topLeft() + kPaneMiddles[slide] - QPoint(20, 10);
    return Near(display_.Screenshot().pixel(quadrant), colour);
  }
  bool previewShows(const Quadrants& picture) const {
    const QRect canvas = PreviewCanvasOf(main_);
    return Near(display_.Screenshot().pixel(canvas.topLeft() + QPoint(canvas.width() / 4, canvas.height() / 4)),
                picture.topLeft);
  }

 private:
  const Display& display_;
  const Window& main_;
};

TEST(KeyboardSheetTest, FourSlidesFilledClearedAndPrintedWithoutAPointer) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("Bilder")));
  const QString folder = QDir(root.path()).filePath(QStringLiteral("Bilder"));
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(QuadrantPicture(QSize(300, 200), kPictures[i]).save(folder + QStringLiteral("/bild%1.jpg").arg(i), "JPEG", 95));
  }
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(root.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  ASSERT_TRUE(display.Focus(*main));
  KeyboardSheet sheet(display, *main);

  // From the print button: the sheet tabs, the drive, the masks, the check box, then the
  // folder list, whose only subfolder Down highlights and Return opens.
  ASSERT_TRUE(sheet.tabToPrintButton()) << "the focus frame never moved from the zoom to the print button";
  for (int i = 0; i < 5; ++i) display.Key(QStringLiteral("Tab"));
  display.Key(QStringLiteral("Down"));
  display.Key(QStringLiteral("Return"));
  display.Key(QStringLiteral("Tab"));
  // The file list: its first row is current but not chosen yet; End and Home choose the
  // first picture, which the preview then shows.
  ASSERT_TRUE(WaitUntil(
      [&] {
        display.Key(QStringLiteral("End"));
        display.Key(QStringLiteral("Home"));
        return WaitUntil([&] { return sheet.previewShows(kPictures[0]); }, 2s);
      },
      20s))
      << "the first picture is not chosen by keys";

  for (int i = 0; i < 4; ++i) {
    if (i > 0) display.Key(QStringLiteral("Down"));
    ASSERT_TRUE(WaitUntil([&] { return sheet.previewShows(kPictures[i]); }, 20s)) << "picture " << i << " not chosen";
    display.Key(QStringLiteral("ctrl+%1").arg(i + 1));
    ASSERT_TRUE(WaitUntil([&] { return sheet.slideShows(i, kPictures[i].topLeft); }, 20s)) << "slide " << i + 1 << " not filled";
  }
  // Slide 2 cleared shows the pane's face again; filled once more from the second picture.
  display.Key(QStringLiteral("alt+2"));
  ASSERT_TRUE(WaitUntil([&] { return !sheet.slideShows(1, kPictures[1].topLeft); }, 10s)) << "slide 2 not cleared";
  display.Key(QStringLiteral("Up"));
  display.Key(QStringLiteral("Up"));
  ASSERT_TRUE(WaitUntil([&] { return sheet.previewShows(kPictures[1]); }, 20s));
  display.Key(QStringLiteral("ctrl+2"));
  ASSERT_TRUE(WaitUntil([&] { return sheet.slideShows(1, kPictures[1].topLeft); }, 20s)) << "slide 2 not filled again";

  PrintRoad road(display, velarim, *main);
  const QImage page = road.printedPageByKeys(PrintFormat::LandscapeSlides);
  ASSERT_FALSE(page.isNull()) << velarim.Log().toStdString();
  std::vector<ExpectedPicture> expected;
  for (int i = 0; i < 4; ++i) expected.push_back({kSlidePlaces[i], "slide " + std::to_string(i + 1), kPictures[i]});
  printprobe::ExpectPicturesOnPage(page, expected);
  EXPECT_TRUE(QRect(50, 25, 2700, 1900).adjusted(-3, -3, 3, 3).contains(printprobe::InkBounds(page, page.rect())));

  ASSERT_TRUE(display.Focus(*main));
  display.Key(QStringLiteral("alt+F4"));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
