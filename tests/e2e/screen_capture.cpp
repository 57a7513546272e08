// Kept apart from the harness: the X headers define names (Display, Window, None) that
// the harness uses for its own types.
#include "screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace e2e {

namespace {

struct DisplayCloser {
  void operator()(::Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

// The colour of one pixel through the masks of the visual, whatever its byte layout.
QRgb PixelAt(XImage* image, int x, int y) {
  const unsigned long pixel = XGetPixel(image, x, y);
  auto channel = [pixel](unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
  };
  return qRgb(channel(image->red_mask), channel(image->green_mask), channel(image->blue_mask));
}

}  // namespace

QImage CaptureScreen(const QString& displayName, const QRect& area) {
  const std::unique_ptr<::Display, DisplayCloser> display(XOpenDisplay(displayName.toLocal8Bit().constData()));
  if (!display) return QImage();
  const int screen = DefaultScreen(display.get());
  const QRect whole(0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen));
  const QRect wanted = area.isNull() ? whole : area.intersected(whole);
  if (wanted.isEmpty()) return QImage();
  const std::unique_ptr<XImage, ImageDestroyer> image(XGetImage(display.get(), RootWindow(display.get(), screen),
                                                                wanted.x(), wanted.y(), wanted.width(),
                                                                wanted.height(), AllPlanes, ZPixmap));
  if (!image) return QImage();
  QImage picture(wanted.size(), QImage::Format_RGB32);
  for (int y = 0; y < wanted.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < wanted.width(); ++x) row[x] = PixelAt(image.get(), x, y);
  }
  return picture;
}

}  // namespace e2e
