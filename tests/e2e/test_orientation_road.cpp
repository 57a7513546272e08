// A portrait photo stored as phones store it, landscape pixels with the EXIF orientation
// "turn clockwise", the whole way on a real desktop: a click shows it upright on the
// preview canvas, exactly as the same photo stored upright shows; dragged onto a slide of
// "13 cm x 9 cm" it fills the portrait slide upright; printed with "Kleinbild 13 cm x 9 cm
// hoch" to "PDF-Datei" it lands upright at the slide's place, measured on the page.
#include "main_window.h"
#include "print_road.h"

#include "tests/picture/exif_builder.h"
#include "tests/tools/printed_page.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {
namespace {

using printprobe::Quadrants;

// Four colours far apart and dark enough to count as ink on the page.
const Quadrants kPortrait{QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 128, 0)};
constexpr QSize kUprightSize(240, 360);
// Where slide layout 2 prints its top-left slide on A4 portrait, in 0.1 mm from the
// paper's top-left corner (the PDF printer's printable area is the whole sheet).
const QRect kFirstPortraitSlide(25, 100, 900, 1300);

QByteArray Compressed(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 95);
  return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A point a quarter in from the top-left corner of the area: the upright picture's
// top-left quadrant, which the stored pixels hold at their top right.
bool TopLeftQuadrantShown(const Display& display, const QRect& area) {
  const QPoint probe = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
  return printprobe::Near(QColor(display.Screenshot().pixel(probe)), kPortrait.topLeft);
}

TEST(PrintRoadTest, APhonePortraitStandsUprightOnTheCanvasTheSlideAndThePage) {
  QTemporaryDir pictures;
  ASSERT_TRUE(pictures.isValid());
  const QImage upright = QuadrantPicture(kUprightSize, kPortrait);
  // Listed first: the photo as the phone stored it; second: the same photo stored upright.
  ASSERT_TRUE(WriteFile(pictures.filePath(QStringLiteral("a_telefon.jpg")),
                        testexif::WithOrientation(Compressed(testexif::StoredForUpright(upright, 6)), 6)));
  ASSERT_TRUE(WriteFile(pictures.filePath(QStringLiteral("b_aufrecht.jpg")), Compressed(upright)));
  QTemporaryDir work;
  if (qEnvironmentVariableIsSet("E2E_KEEP_PAGES")) {
    work.setAutoRemove(false);
    std::printf("pages and screenshots kept in %s\n", qPrintable(work.path()));
  }

  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(pictures.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  // The photo stored upright on the preview canvas; a click on the canvas clears it again.
  const QRect canvas = PreviewCanvasOf(*main);
  ASSERT_TRUE(PreviewFileRow(display, *main, 1)) << velarim.Log().toStdString();
  const QImage reference = display.SettledScreenshot(canvas);
  display.Click(canvas.center());
  ASSERT_TRUE(WaitUntil([&] { return !TopLeftQuadrantShown(display, canvas); }, 10s)) << "the canvas was not cleared";
  // The phone's photo looks the same.
  ASSERT_TRUE(PreviewFileRow(display, *main, 0)) << velarim.Log().toStdString();
  const QImage turned = display.SettledScreenshot(canvas);
  turned.save(work.filePath(QStringLiteral("canvas.png")));
  printprobe::ExpectUprightQuadrants(turned, turned.rect(), kPortrait, "preview canvas");
  EXPECT_LE(DifferingPixels(turned, reference, 24), canvas.width() * canvas.height() / 50)
      << "the canvas shows the phone's photo otherwise than the same photo stored upright";

  // Dragged onto the top-left slide of "13 cm x 9 cm".
  display.Click(main->geometry.topLeft() + kSecondSheet.tab);
  const QRect pane =
      kSecondSheet.panes[0].translated(main->geometry.topLeft() + kSecondSheet.split.topLeft()).adjusted(2, 2, -2, -2);
  display.Drag(FileRowOf(*main, 0), pane.center());
  ASSERT_TRUE(WaitUntil([&] { return TopLeftQuadrantShown(display, pane); }, 20s))
      << "the slide does not show the photo's top-left quadrant top left";
  const QImage slide = display.SettledScreenshot(pane);
  slide.save(work.filePath(QStringLiteral("slide.png")));
  printprobe::ExpectUprightQuadrants(slide, slide.rect(), kPortrait, "slide");

  // Printed on the portrait slides to a PDF file.
  PrintRoad road(display, velarim, *main);
  const QImage page = road.printedPage(PrintFormat::PortraitSlides, true);
  ASSERT_FALSE(page.isNull()) << velarim.Log().toStdString();
  // A4 portrait, with the photo on the top-left slide and nothing else.
  EXPECT_NEAR(page.width(), 2100, 2);
  EXPECT_NEAR(page.height(), 2970, 2);
  printprobe::ExpectPicturesOnPage(page, {{kFirstPortraitSlide, "the phone's photo on the first slide", kPortrait}});
  EXPECT_TRUE(kFirstPortraitSlide.adjusted(-3, -3, 3, 3).contains(printprobe::InkBounds(page, page.rect())));

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
