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
QImage dibImage(const BitmapInfo& info, const uint8_t* bits) {
  const int width = info.bmiHeader.biWidth;
  const int height = info.bmiHeader.biHeight;
  const qsizetype stride = static_cast<qsizetype>(info.bmiHeader.biSizeImage / static_cast<uint32_t>(height));
  return QImage(bits, width, height, stride, QImage::Format_BGR888);
}

// Averages the pixels down to what the printed size shows at the resolution limit; a
// picture with no more pixels than that goes as it is.
QImage limitedToResolution(const QImage& dib, double deviceWidth, double deviceHeight, double deviceDpiX,
                           double deviceDpiY, int maxPixelsPerInch) {
  const int logicalWidth = static_cast<int>(std::lround(deviceWidth / deviceDpiX * 254.0));
  const int logicalHeight = static_cast<int>(std::lround(deviceHeight / deviceDpiY * 254.0));
  const int maxWidth = PixelsForExtent(logicalWidth, maxPixelsPerInch);
  const int maxHeight = PixelsForExtent(logicalHeight, maxPixelsPerInch);
  if (dib.width() <= maxWidth && dib.height() <= maxHeight) return dib;
  return AreaAverageShrink(dib, std::min(dib.width(), maxWidth), std::min(dib.height(), maxHeight));
}

}  // namespace

void StretchDIBits(QPainter& dc, int x, int y, int width, int height, const BitmapInfo& info, const uint8_t* bits,
                   int maxPixelsPerInch) {
  if (info.bmiHeader.biWidth <= 0 || info.bmiHeader.biHeight <= 0 || width == 0 || height == 0) return;
  const QTransform toDevice = dc.worldTransform();
  const QPointF from = toDevice.map(QPointF(x, y));
  const QPointF to = toDevice.map(QPointF(x + width, y + height));
  const double extentX = to.x() - from.x();
  const double extentY = to.y() - from.y();

  const QPaintDevice* device = dc.device();
  const QImage picture = limitedToResolution(dibImage(info, bits), std::abs(extentX), std::abs(extentY),
                                             device->logicalDpiX(), device->logicalDpiY(), maxPixelsPerInch);

  // In device pixels: from the first corner along the signed extents; the DIB's rows
  // run upwards, so a downward extent shows the picture upright.
  QTransform placement;
  placement.translate(from.x(), from.y());
  placement.scale(extentX < 0 ? -1 : 1, extentY < 0 ? -1 : 1);
  placement.translate(0, std::abs(extentY));
  placement.scale(1, -1);

  dc.save();
  dc.setWorldTransform(placement);
  dc.drawImage(QRectF(0, 0, std::abs(extentX), std::abs(extentY)), picture);
  dc.restore();
}

void TransferBitmap(QPainter& dc, int x, int y, int width, int height, TBitmap& bitmap) {
  BitmapInfo info = MakeBitmapInfo(bitmap.Width(), bitmap.Height());
  CompleteBitmapInfo(info);
  const std::vector<uint8_t> bits = ReadDibBits(bitmap.Image(), info);
  StretchDIBits(dc, x, y, width, height, info, bits.data(), kMaxPicturePixelsPerInch);
}
