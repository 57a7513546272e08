#pragma once
// Helpers of the print tests: pictures with a known pattern (a different colour in each
// quadrant, so a turned or mirrored print shows) and a paint device that records what is
// drawn on it; the measuring of printed pages is in tests/tools/printed_page.h.

#include "tests/tools/printed_page.h"
#include "tools/sample_jpeg.h"

#include <QColor>
#include <QImage>
#include <QPaintEngine>
#include <QPaintDevice>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

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
    void updateState(const QPaintEngineState& changed) override {
      if (changed.state() & DirtyTransform) transform_ = changed.transform();
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
