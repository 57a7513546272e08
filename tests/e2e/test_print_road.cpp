// The whole way from the file list to paper on a real desktop: four pictures dragged
// onto the slides of the first sheet with the mouse, Ctrl+D, "Kleinbild 9 cm x 13 cm
// quer" in the print format dialog, the print dialog confirmed with the keyboard on its
// built-in PDF printer. The PDF it writes is rasterised at 0.1 mm per pixel and each
// slide is measured at its physical place and size, upright, unmirrored and holding the
// picture dragged onto it; the zoom window then shows the last slide printed. Printing
// again proposes a new file, and choosing the old name asks before it is replaced.
#include "main_window.h"
#include "print_road.h"

#include "tests/tools/printed_page.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace e2e {
namespace {

using printprobe::ExpectedPicture;
using printprobe::Quadrants;

const QString kZoomTitle = QStringLiteral("VELARIM--> Zoomansicht ...");

// The middle of each pane of the first sheet: top left, top right, bottom left, bottom right.
const QPoint kPaneMiddles[] = {{42, 22}, {127, 22}, {42, 67}, {127, 67}};
// Sixteen colours, no two alike within the measuring tolerance and all dark enough to
// count as ink: four quadrants for each of the four pictures.
const Quadrants kPictures[] = {
    {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 128, 0)},
    {QColor(128, 0, 128), QColor(0, 128, 128), QColor(255, 128, 0), QColor(0, 0, 0)},
    {QColor(128, 0, 0), QColor(0, 255, 0), QColor(0, 0, 128), QColor(255, 0, 255)},
    {QColor(0, 255, 255), QColor(128, 128, 255), QColor(255, 255, 0), QColor(128, 255, 0)},
};

// Where layout 1 prints its slides on A4 landscape, in 0.1 mm from the paper's top-left
// corner: the PDF printer's printable area is the whole sheet, so the corner of the
// printable area is the paper's corner. Order as kPaneMiddles.
const QRect kSlidePlaces[] = {QRect(50, 25, 1300, 900), QRect(1450, 25, 1300, 900), QRect(50, 1025, 1300, 900),
                              QRect(1450, 1025, 1300, 900)};

void WritePicture(const QString& path, const Quadrants& q) {
  ASSERT_TRUE(QuadrantPicture(QSize(300, 200), q).save(path, "JPEG", 95));
}

bool NearColour(QRgb seen, QColor expected) { return printprobe::Near(QColor(seen), expected); }

QByteArray ContentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Removes what the test named in bytes, which the temporary folder's own clean-up (by
// text names) cannot.
class RemovedByBytes {
 public:
  ~RemovedByBytes() {
    for (auto path = paths_.rbegin(); path != paths_.rend(); ++path) {
      if (::unlink(path->constData()) != 0) ::rmdir(path->constData());
    }
  }
  const QByteArray& Add(const QByteArray& path) { return paths_.emplace_back(path); }

 private:
  std::vector<QByteArray> paths_;
};

// Writes the picture under a name given as bytes, as another system may have named it.
void WritePictureNamed(const QTemporaryDir& dir, const QByteArray& name, const Quadrants& q) {
  const QString staging = dir.filePath(QStringLiteral("staging.jpg"));
  WritePicture(staging, q);
  ASSERT_EQ(::rename(QFile::encodeName(staging).constData(), name.constData()), 0) << name.toStdString();
}

// A picture and its folder named in Latin-1 (not UTF-8), as on an old camera card, beside
// the same name in UTF-8: the stored last folder is entered, both names are listed alike,
// the Latin-1 one previews, is dragged onto a slide and printed to "PDF-Datei", the zoom
// window then shows it, and the folder is stored again as its very bytes.
TEST(PrintRoadTest, Latin1NamedPictureInLatin1NamedFolderIsPreviewedDraggedAndPrinted) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  RemovedByBytes made;
  const QByteArray folder = made.Add(QFile::encodeName(QDir(root.path()).canonicalPath()) + "/Urlaub \xC4gypten");
  ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
  const Quadrants& latin1Picture = kPictures[0];
  const Quadrants& utf8Picture = kPictures[1];
  WritePictureNamed(root, made.Add(folder + "/bild\xE4.jpg"), latin1Picture);
  WritePictureNamed(root, made.Add(folder + "/bild\xC3\xA4.jpg"), utf8Picture);
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = "[Verzeichnisse]\nletztes=" + folder + "\n"});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  // Both rows read "bildä.jpg", pixel for pixel.
  // The names' text of a row, inside any focus frame around it.
  const auto rowText = [&](int row) {
    return QRect(FileRowOf(*main, row).x() - 14, FileRowOf(*main, row).y() - 6, 90, 12);
  };
  // The list may still be painting its rows (icons come later), so wait until the two agree.
  QImage firstRow = display.SettledScreenshot(rowText(0));
  QImage secondRow = display.Screenshot(rowText(1));
  WaitUntil([&] {
    firstRow = display.Screenshot(rowText(0));
    secondRow = display.Screenshot(rowText(1));
    return DifferingPixels(firstRow, secondRow) == 0;
  }, 5s);
  const auto hasText = [](const QImage& row) {
    for (int y = 0; y < row.height(); ++y) {
      for (int x = 0; x < row.width(); ++x) {
        if (qGray(row.pixel(x, y)) < 100) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(hasText(firstRow)) << "no name in the first row";
  EXPECT_EQ(DifferingPixels(firstRow, secondRow), 0) << "the two names are not shown alike";

  // The row of the Latin-1 name, found by its preview.
  ASSERT_TRUE(PreviewFileRow(display, *main, 0)) << velarim.Log().toStdString();
  const QRect canvas = PreviewCanvasOf(*main);
  const QPoint topLeftQuadrant = canvas.topLeft() + QPoint(canvas.width() / 4, canvas.height() / 4);
  const auto previewShows = [&](const Quadrants& q) { return NearColour(display.Screenshot().pixel(topLeftQuadrant), q.topLeft); };
  ASSERT_TRUE(WaitUntil([&] { return previewShows(latin1Picture) || previewShows(utf8Picture); }, 10s))
      << "the preview shows neither picture";
  const int latin1Row = previewShows(latin1Picture) ? 0 : 1;
  if (latin1Row == 1) {
    ASSERT_TRUE(PreviewFileRow(display, *main, 1));
    ASSERT_TRUE(WaitUntil([&] { return previewShows(latin1Picture); }, 10s)) << "the Latin-1 named picture is not previewed";
  }

  // The UTF-8 one onto the top left slide, the Latin-1 one onto the bottom right one,
  // which the zoom window shows after printing.
  const QPoint split = QuadSplitOf(*main).topLeft();
  const std::pair<int, int> drags[] = {{1 - latin1Row, 0}, {latin1Row, 3}};
  for (const auto& [row, pane] : drags) {
    display.Drag(FileRowOf(*main, row), split + kPaneMiddles[pane]);
    const Quadrants& expected = row == latin1Row ? latin1Picture : utf8Picture;
    const QPoint quadrant = split + kPaneMiddles[pane] - QPoint(20, 10);
    ASSERT_TRUE(WaitUntil([&] { return NearColour(display.Screenshot().pixel(quadrant), expected.topLeft); }, 20s))
        << "slide " << pane << " not filled";
  }

  PrintRoad road(display, velarim, *main);
  const QImage page = road.printedPage(PrintFormat::LandscapeSlides, true);
  ASSERT_FALSE(page.isNull()) << velarim.Log().toStdString();
  printprobe::ExpectPicturesOnPage(page, {{kSlidePlaces[0], "UTF-8 named slide", utf8Picture},
                                          {kSlidePlaces[3], "Latin-1 named slide", latin1Picture}});

  const std::optional<Window> zoom = velarim.WaitForWindow(kZoomTitle, QString(), 10s);
  ASSERT_TRUE(zoom);
  ASSERT_TRUE(display.Focus(*zoom));
  const QImage shown = display.SettledScreenshot(zoom->geometry, 10s);
  EXPECT_TRUE(NearColour(shown.pixel(shown.width() / 4, shown.height() / 2 - 10), latin1Picture.topLeft))
      << "the zoom window does not show the Latin-1 named picture";

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
  EXPECT_TRUE(velarim.Settings().contains("letztes=" + folder + "\n")) << velarim.Settings().toStdString();
}

TEST(PrintRoadTest, FourDraggedSlidesLandAtTheirPlacesOnThePdfPage) {
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  for (int i = 0; i < 4; ++i) WritePicture(pictures.filePath(QStringLiteral("bild%1.jpg").arg(i)), kPictures[i]);
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(pictures.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();
  const QPoint split = QuadSplitOf(*main).topLeft();

  for (int i = 0; i < 4; ++i) {
    const QPoint file = FileRowOf(*main, i);
    display.Drag(file, split + kPaneMiddles[i]);
    // The pane shows the picture squeezed: its top-left quadrant a quarter in from the corner.
    const QPoint topLeftQuadrant = split + kPaneMiddles[i] - QPoint(20, 10);
    ASSERT_TRUE(WaitUntil([&] { return NearColour(display.Screenshot().pixel(topLeftQuadrant), kPictures[i].topLeft); },
                          20s))
        << "slide " << i << " not filled";
  }

  PrintRoad road(display, velarim, *main);
  // With no documents folder in the home, the file proposed is there.
  const QString firstPdf = road.firstPdf();
  const QImage page = road.printedPage(PrintFormat::LandscapeSlides, true);
  ASSERT_FALSE(page.isNull()) << velarim.Log().toStdString();
  // A4 landscape.
  EXPECT_NEAR(page.width(), 2970, 2);
  EXPECT_NEAR(page.height(), 2100, 2);
  std::vector<ExpectedPicture> expected;
  for (int i = 0; i < 4; ++i) expected.push_back({kSlidePlaces[i], "slide " + std::to_string(i), kPictures[i]});
  printprobe::ExpectPicturesOnPage(page, expected);
  // Nothing else is on the page.
  EXPECT_TRUE(QRect(50, 25, 2700, 1900).adjusted(-3, -3, 3, 3).contains(printprobe::InkBounds(page, page.rect())));

  // The zoom window holds the slide printed last, the bottom right one, stretched over
  // its client area below the menu bar.
  const std::optional<Window> zoom = velarim.WaitForWindow(kZoomTitle, QString(), 10s);
  ASSERT_TRUE(zoom);
  ASSERT_TRUE(display.Focus(*zoom));
  const QImage shown = display.SettledScreenshot(zoom->geometry, 10s);
  int pictureTop = 0;
  while (pictureTop < shown.height() / 2 && !NearColour(shown.pixel(shown.width() / 4, pictureTop), kPictures[3].topLeft)) {
    ++pictureTop;
  }
  ASSERT_LT(pictureTop, shown.height() / 2) << "the zoom window does not show the last slide";
  printprobe::ExpectUprightQuadrants(shown, QRect(0, pictureTop, shown.width(), shown.height() - pictureTop),
                                     kPictures[3], "zoom window");

  // Printing again keeps the format and proposes a new file; the first one stays as it was.
  const QByteArray firstBytes = ContentOf(firstPdf);
  const QDateTime firstWritten = QFileInfo(firstPdf).lastModified();
  const QString secondPdf = QDir(velarim.HomeDir()).filePath(QStringLiteral("Velarim-2.pdf"));
  ASSERT_TRUE(road.printToPdf(PrintFormat::LandscapeSlides, false, secondPdf)) << velarim.Log().toStdString();
  EXPECT_EQ(ContentOf(firstPdf), firstBytes);
  printprobe::ExpectPicturesOnPage(road.rasterised(secondPdf), expected);

  // The old name typed into the output file: the dialog asks once before it replaces it.
  const std::optional<Window> third = road.openPrintDialog(PrintFormat::LandscapeSlides, false);
  ASSERT_TRUE(third);
  display.Key(QStringLiteral("alt+d"));  // "Ausgabe&datei"
  display.Key(QStringLiteral("ctrl+a"));
  display.Type(firstPdf);
  // The first Enter may only close the file name completion; the question comes on the
  // Enter after. One that meets the question instead answers its default, "Nein", and
  // leaves the dialog open for the next.
  std::optional<Window> question;
  for (int attempt = 0; attempt < 8 && !question; ++attempt) {
    display.Key(QStringLiteral("Return"));
    WaitUntil([&] { return (question = road.otherWindow(kPrintDialogTitle, {third->id})).has_value(); },
              attempt == 0 ? 3s : 15s);
  }
  ASSERT_TRUE(question) << "no question before the file is replaced";
  EXPECT_TRUE(velarim.Running());
  EXPECT_EQ(ContentOf(firstPdf), firstBytes);
  // "Ja": the file is replaced, and nothing asks a second time.
  ASSERT_TRUE(display.Focus(*question));
  display.Key(QStringLiteral("alt+j"));
  ASSERT_TRUE(velarim.WaitForWindowGone(question->id, 30s));
  EXPECT_TRUE(WaitUntil([&] { return !velarim.VisibleWindows().empty() && !road.otherWindow(kPrintDialogTitle, {}); },
                        60s))
      << "the print dialog stayed open";
  EXPECT_TRUE(WaitUntil([&] { return QFileInfo(firstPdf).lastModified() != firstWritten && PdfComplete(firstPdf); }, 60s))
      << "the file was not replaced";
  EXPECT_FALSE(road.otherWindow(QStringLiteral("Velarim"), {main->id})) << "a second question came";
  EXPECT_FALSE(QFileInfo::exists(QDir(velarim.HomeDir()).filePath(QStringLiteral("Velarim-3.pdf"))));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
