#pragma once
// The bitmap transfer: one bitmap onto a printer page at a rectangle given in the
// painter's logical units. The pixels are read once into a device-independent bitmap
// (24 bits per pixel, rows bottom-up, each padded to 4 bytes) and stretched onto the
// destination in one operation; the same calls paint into an image in the tests. A
// picture with more pixels than its printed size shows is read bottom-up and averaged
// down in one pass instead, with the same pixels as a result.

#include <QImage>

#include <cstdint>
#include <vector>

class QPainter;
class TBitmap;

#pragma pack(push, 1)
struct BitmapInfoHeader {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // positive: rows bottom-up
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 24;
  uint32_t biCompression = 0;  // BI_RGB
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
// The header and room for one colour entry, as a true-colour picture needs.
struct BitmapInfo {
  BitmapInfoHeader bmiHeader;
  uint32_t bmiColors[1] = {0};
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(BitmapInfo) == 44);

// The header as the transfer fills it before asking the system: the image size is the
// unpadded estimate (bits x width) / 8 x height.
[[nodiscard]] BitmapInfo MakeBitmapInfo(int width, int height);
// What the query completes: the image size of biHeight padded rows.
void CompleteBitmapInfo(BitmapInfo& info);
// The rows of a picture, bottom-up and padded, as the completed header describes them.
// Raises EOutOfMemory when the buffer cannot be had.
[[nodiscard]] std::vector<uint8_t> ReadDibBits(const QImage& picture, const BitmapInfo& info);

// MM_LOMETRIC on a painter whose device has dpiX x dpiY pixels per inch: one logical
// unit is 0.1 mm, the origin stays where the painter's origin is (the printable area's
// top-left corner on a printer), y grows upwards.
void SetMapModeLoMetric(QPainter& dc, int dpiX, int dpiY);

// Stretches the DIB over the destination rectangle (x, y, width, height) in logical
// units. As in a device context: the picture is upright when the rectangle's extents
// in device pixels are positive, mirrored along an axis where one is negative; its
// aspect ratio is not kept. Pixels beyond what the printed size can show at
// maxPixelsPerInch are averaged down once, before the page gets them.
void StretchDIBits(QPainter& dc, int x, int y, int width, int height, const BitmapInfo& info, const uint8_t* bits,
                   int maxPixelsPerInch);

// The whole transfer of one bitmap; the bitmap is left as it was.
void TransferBitmap(QPainter& dc, int x, int y, int width, int height, TBitmap& bitmap);
