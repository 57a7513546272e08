#include "print/bitmap_transfer.h"

#include "picture/bitmap.h"
#include "platform/errors.h"
#include "print/area_resample.h"
#include "print/print_layout.h"

#include <QPainter>
#include <QTransform>

#include <cmath>
#include <cstring>
#include <new>

BitmapInfo MakeBitmapInfo(int width, int height) {
  BitmapInfo info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biSizeImage = static_cast<uint32_t>(int64_t{24} * width / 8 * height);
  return info;
}

void CompleteBitmapInfo(BitmapInfo& info) {
  const int64_t bytes = BitmapByteSize(info.bmiHeader.biWidth, info.bmiHeader.biHeight, info.bmiHeader.biBitCount);
  if (bytes < 0) throw EOutOfMemory();
  info.bmiHeader.biSizeImage = static_cast<uint32_t>(bytes);
}

std::vector<uint8_t> ReadDibBits(const QImage& picture, const BitmapInfo& info) {
  const int width = info.bmiHeader.biWidth;
  const int height = info.bmiHeader.biHeight;
  const QImage rgb = picture.format() == QImage::Format_BGR888 ? picture : picture.convertToFormat(QImage::Format_BGR888);
  std::vector<uint8_t> bits;
  try {
    bits.resize(info.bmiHeader.biSizeImage);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  if (height == 0) return bits;
  const size_t stride = info.bmiHeader.biSizeImage / static_cast<size_t>(height);
  const size_t rowBytes = static_cast<size_t>(std::min(width, rgb.width())) * 3;
  const int rows = std::min(height, rgb.height());
  for (int row = 0; row < rows; ++row) {
    // DIB row 0 is the bottom row of the picture.
    std::memcpy(bits.data() + static_cast<size_t>(row) * stride, rgb.constScanLine(height - 1 - row), rowBytes);
  }
  return bits;
}

void SetMapModeLoMetric(QPainter& dc, int dpiX, int dpiY) {
  dc.setWorldTransform(QTransform::fromScale(dpiX / 254.0, -dpiY / 254.0));
}

namespace {

// The DIB as an image whose row 0 is the picture's bottom row, over the caller's bits.
QImage DibImage(const BitmapInfo& info, const uint8_t* bits) {
  const int width = info.bmiHeader.biWidth;
  const int height = info.bmiHeader.biHeight;
  const qsizetype stride = static_cast<qsizetype>(info.bmiHeader.biSizeImage / static_cast<uint32_t>(height));
  return QImage(bits, width, height, stride, QImage::Format_BGR888);
}

// Where a rectangle in logical units lands in device pixels: its first corner and its
// signed extents.
struct DevicePlace {
  QPointF from;
  double extentX = 0;
  double extentY = 0;
};

DevicePlace PlaceOnDevice(const QPainter& dc, int x, int y, int width, int height) {
  const QTransform toDevice = dc.worldTransform();
  const QPointF from = toDevice.map(QPointF(x, y));
  const QPointF to = toDevice.map(QPointF(x + width, y + height));
  return {from, to.x() - from.x(), to.y() - from.y()};
}

// The most pixels the printed size shows at the resolution limit.
QSize ResolutionLimit(const QPainter& dc, const DevicePlace& place, int maxPixelsPerInch) {
  const QPaintDevice* device = dc.device();
  const int logicalWidth = static_cast<int>(std::lround(std::abs(place.extentX) / device->logicalDpiX() * 254.0));
  const int logicalHeight = static_cast<int>(std::lround(std::abs(place.extentY) / device->logicalDpiY() * 254.0));
  return {PixelsForExtent(logicalWidth, maxPixelsPerInch), PixelsForExtent(logicalHeight, maxPixelsPerInch)};
}

bool Exceeds(QSize pixels, QSize limit) { return pixels.width() > limit.width() || pixels.height() > limit.height(); }

// Averages the pixels down to what the printed size shows at the resolution limit; a
// picture with no more pixels than that goes as it is.
QImage LimitedToResolution(const QImage& dib, QSize limit) {
  if (!Exceeds(dib.size(), limit)) return dib;
  return AreaAverageShrink(dib, std::min(dib.width(), limit.width()), std::min(dib.height(), limit.height()));
}

// Draws a picture whose row 0 is its bottom row: from the first corner along the signed
// extents, so a downward extent shows the picture upright.
void DrawBottomUp(QPainter& dc, const DevicePlace& place, const QImage& picture) {
  QTransform placement;
  placement.translate(place.from.x(), place.from.y());
  placement.scale(place.extentX < 0 ? -1 : 1, place.extentY < 0 ? -1 : 1);
  placement.translate(0, std::abs(place.extentY));
  placement.scale(1, -1);

  dc.save();
  dc.setWorldTransform(placement);
  dc.drawImage(QRectF(0, 0, std::abs(place.extentX), std::abs(place.extentY)), picture);
  dc.restore();
}

// The rows of a bitmap as its DIB holds them: bottom row first, 24-bit BGR. A row in
// another format is converted alone, so no full-size copy of the picture is made.
PixelRows BottomUpRows(const QImage& image, QImage& converted) {
  const int height = image.height();
  if (image.format() == QImage::Format_BGR888) {
    return {image.width(), height, [&image, height](int row) { return image.constScanLine(height - 1 - row); }};
  }
  return {image.width(), height, [&image, &converted, height](int row) {
            converted = image.copy(0, height - 1 - row, image.width(), 1).convertToFormat(QImage::Format_BGR888);
            if (converted.isNull()) throw EOutOfMemory();
            return converted.constScanLine(0);
          }};
}

// A picture with more pixels than its printed size shows: turned bottom-up, converted to
// 24 bits and averaged down in one pass over the bitmap, which gives the pixels the DIB
// route gives without a copy of the picture's full size. False when it needs no shrink.
bool TransferShrunk(QPainter& dc, int x, int y, int width, int height, const QImage& image) {
  if (width == 0 || height == 0 || image.isNull()) return false;
  const DevicePlace place = PlaceOnDevice(dc, x, y, width, height);
  const QSize limit = ResolutionLimit(dc, place, kMaxPicturePixelsPerInch);
  if (!Exceeds(image.size(), limit)) return false;
  QImage converted;
  DrawBottomUp(dc, place,
               AreaAverageShrink(BottomUpRows(image, converted), QImage::Format_BGR888,
                                 std::min(image.width(), limit.width()), std::min(image.height(), limit.height())));
  return true;
}

}  // namespace

void StretchDIBits(QPainter& dc, int x, int y, int width, int height, const BitmapInfo& info, const uint8_t* bits,
                   int maxPixelsPerInch) {
  if (info.bmiHeader.biWidth <= 0 || info.bmiHeader.biHeight <= 0 || width == 0 || height == 0) return;
  const DevicePlace place = PlaceOnDevice(dc, x, y, width, height);
  DrawBottomUp(dc, place, LimitedToResolution(DibImage(info, bits), ResolutionLimit(dc, place, maxPixelsPerInch)));
}

void TransferBitmap(QPainter& dc, int x, int y, int width, int height, TBitmap& bitmap) {
  BitmapInfo info = MakeBitmapInfo(bitmap.Width(), bitmap.Height());
  CompleteBitmapInfo(info);
  if (TransferShrunk(dc, x, y, width, height, bitmap.Image())) return;
  const std::vector<uint8_t> bits = ReadDibBits(bitmap.Image(), info);
  StretchDIBits(dc, x, y, width, height, info, bits.data(), kMaxPicturePixelsPerInch);
}
