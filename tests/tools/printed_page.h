#pragma once
// Measuring a printed page: a PDF rasterised at 0.1 mm per pixel, searched for pictures
// whose four quadrants have known colours, so that a picture printed at the wrong place,
// turned, mirrored or swapped with another shows. Shared by the print unit tests and the
// end-to-end cases that print through the real program.

#include "tools/sample_jpeg.h"

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace printprobe {

// The colours of a picture's quadrants as it is meant to be seen.
struct Quadrants {
  QColor topLeft, topRight, bottomLeft, bottomRight;
};

// One quadrant colour of the sample pattern (tools/sample_jpeg.h).
inline QColor QuadrantColor(bool top, bool left) {
  const int w = 100, h = 100;
  const SampleRgb c = SamplePatternColor(left ? 10 : w - 10, top ? 10 : h - 10, w, h);
  return QColor(c.r, c.g, c.b);
}

inline Quadrants SamplePatternQuadrants() {
  return {QuadrantColor(true, true), QuadrantColor(true, false), QuadrantColor(false, true),
          QuadrantColor(false, false)};
}

inline bool Near(QColor a, QColor b, int tolerance = 40) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// Checks that a picture with these quadrants fills rect of image upright and unmirrored:
// the point a quarter in from each corner shows that corner's colour.
inline void ExpectUprightQuadrants(const QImage& image, const QRect& rect, const Quadrants& quadrants,
                                   const std::string& what) {
  const int dx = rect.width() / 4, dy = rect.height() / 4;
  const struct {
    QPoint at;
    QColor expected;
    const char* corner;
  } probes[] = {{rect.topLeft() + QPoint(dx, dy), quadrants.topLeft, "top left"},
                {QPoint(rect.right() - dx, rect.top() + dy), quadrants.topRight, "top right"},
                {QPoint(rect.left() + dx, rect.bottom() - dy), quadrants.bottomLeft, "bottom left"},
                {rect.bottomRight() - QPoint(dx, dy), quadrants.bottomRight, "bottom right"}};
  for (const auto& probe : probes) {
    const QColor seen = image.pixelColor(probe.at);
    EXPECT_TRUE(Near(seen, probe.expected))
        << what << ", " << probe.corner << ": at " << probe.at.x() << "," << probe.at.y() << " saw "
        << seen.name().toStdString() << " expected " << probe.expected.name().toStdString();
  }
}

// The sample pattern, upright and unmirrored in rect.
inline void ExpectUprightPattern(const QImage& image, const QRect& rect, const std::string& what) {
  ExpectUprightQuadrants(image, rect, SamplePatternQuadrants(), what);
}

// The bounding box of the non-white pixels inside window (page pixels).
inline QRect InkBounds(const QImage& page, const QRect& window) {
  const QRect area = window.intersected(page.rect());
  int left = area.right() + 1, right = area.left() - 1, top = area.bottom() + 1, bottom = area.top() - 1;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = row[x];
      if (qRed(p) + qGreen(p) + qBlue(p) < 3 * 200) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  return left > right ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Rasterises the first page of a PDF at 254 pixels per inch: one pixel is 0.1 mm.
inline QImage RasterisePdf(const QString& pdf, const QString& outputStem) {
  QProcess run;
  run.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"),
                                         QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, outputStem});
  if (!run.waitForFinished(60000) || run.exitCode() != 0) {
    ADD_FAILURE() << "pdftoppm failed on " << pdf.toStdString() << ": " << run.readAllStandardError().toStdString();
    return QImage();
  }
  return QImage(outputStem + QStringLiteral(".ppm")).convertToFormat(QImage::Format_RGB32);
}

// Where a picture must land, in 0.1 mm from the paper's top-left corner, and how it looks.
struct ExpectedPicture {
  QRect place;  // left, top, width, height in 0.1 mm
  std::string name;
  Quadrants quadrants = SamplePatternQuadrants();
};

// Finds each expected picture on a page rasterised at 0.1 mm per pixel, within 3 pixels
// (0.3 mm), upright and unmirrored.
inline void ExpectPicturesOnPage(const QImage& page, const std::vector<ExpectedPicture>& pictures) {
  ASSERT_FALSE(page.isNull());
  for (const ExpectedPicture& picture : pictures) {
    // A search window 4 mm around the place: less than half of the gaps between slides.
    const QRect found = InkBounds(page, picture.place.adjusted(-40, -40, 40, 40));
    ASSERT_TRUE(found.isValid()) << picture.name << ": nothing printed";
    constexpr int kTolerance = 3;
    EXPECT_NEAR(found.left(), picture.place.left(), kTolerance) << picture.name;
    EXPECT_NEAR(found.top(), picture.place.top(), kTolerance) << picture.name;
    EXPECT_NEAR(found.width(), picture.place.width(), kTolerance) << picture.name;
    EXPECT_NEAR(found.height(), picture.place.height(), kTolerance) << picture.name;
    ExpectUprightQuadrants(page, found, picture.quadrants, picture.name);
  }
}

}  // namespace printprobe
