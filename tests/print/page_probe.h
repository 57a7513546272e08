#pragma once
// Helpers of the print tests: pictures with a known pattern (a different colour in each
// quadrant, so a turned or mirrored print shows), a paint device that records what is
// drawn on it, and a page rasterised from a PDF file and searched for pictures.

#include "tools/sample_jpeg.h"

#include <QColor>
#include <QImage>
#include <QPaintEngine>
#include <QPaintDevice>
#include <QProcess>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace printprobe {

// The sample pattern as a picture: quadrants top left, top right, bottom left and
// bottom right in four colours around a white disc.
inline QImage PatternImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const SampleRgb c = SamplePatternColor(x, y, width, height);
      image.setPixel(x, y, qRgb(c.r, c.g, c.b));
    }
  }
  return image;
}

inline QColor QuadrantColor(bool top, bool left) {
  const int w = 100, h = 100;
  const SampleRgb c = SamplePatternColor(left ? 10 : w - 10, top ? 10 : h - 10, w, h);
  return QColor(c.r, c.g, c.b);
}

inline bool Near(QColor a, QColor b, int tolerance = 40) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// Checks that a picture of the pattern fills rect of page upright and unmirrored: the
// point a quarter in from each corner shows that corner's quadrant colour.
inline void ExpectUprightPattern(const QImage& page, const QRect& rect, const std::string& what) {
  const int dx = rect.width() / 4, dy = rect.height() / 4;
  const struct {
    QPoint at;
    bool top, left;
  } probes[] = {{rect.topLeft() + QPoint(dx, dy), true, true},
                {QPoint(rect.right() - dx, rect.top() + dy), true, false},
                {QPoint(rect.left() + dx, rect.bottom() - dy), false, true},
                {rect.bottomRight() - QPoint(dx, dy), false, false}};
  for (const auto& probe : probes) {
    const QColor seen = page.pixelColor(probe.at);
    EXPECT_TRUE(Near(seen, QuadrantColor(probe.top, probe.left)))
        << what << ": at " << probe.at.x() << "," << probe.at.y() << " saw " << seen.name().toStdString()
        << " expected " << QuadrantColor(probe.top, probe.left).name().toStdString();
  }
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

// Where a picture must land, in 0.1 mm from the paper's top-left corner.
struct ExpectedPicture {
  QRect place;  // left, top, width, height in 0.1 mm
  std::string name;
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
    ExpectUprightPattern(page, found, picture.name);
  }
}

// A paint device that records the pictures drawn on it: their target rectangles in
// device pixels and the pixel size they were handed over with.
class RecordingDevice : public QPaintDevice {
 public:
  struct Drawn {
    QRectF target;
    QTransform transform;
    QSize pixels;
  };

  explicit RecordingDevice(int dpi, QSize size) : engine_(this), dpi_(dpi), size_(size) {}
  QPaintEngine* paintEngine() const override { return const_cast<Engine*>(&engine_); }
  std::vector<Drawn> drawn;

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return dpi_;
      case PdmDepth: return 24;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
      default: return 0;
    }
  }

 private:
  class Engine : public QPaintEngine {
   public:
    explicit Engine(RecordingDevice* device) : QPaintEngine(AllFeatures), device_(device) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
      if (state.state() & DirtyTransform) transform_ = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF& r, const QImage& image, const QRectF&, Qt::ImageConversionFlags) override {
      device_->drawn.push_back({r, transform_, image.size()});
    }
    Type type() const override { return User; }

   private:
    RecordingDevice* device_;
    QTransform transform_;
  };

  Engine engine_;
  int dpi_;
  QSize size_;
};

}  // namespace printprobe
