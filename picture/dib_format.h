#pragma once
// Reading and writing device-independent bitmaps: ".bmp" files (a "BM" file header in
// front of the bitmap) and packed bitmaps without a file header (icon images, resources).
//
// Accepted: the 12-byte core header and the 40, 52, 56, 108 and 124-byte info headers;
// 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and channel masks
// (16 and 32 bits); rows stored bottom-up or top-down. Malformed data raises
// EInvalidGraphic "Bitmap ist ungültig", and so does run-length data far too short for
// the picture it claims; a picture beyond the limits below raises EOutOfMemory before
// anything is allocated.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

#include <cstddef>
#include <cstdint>

// Largest width or height accepted, and the largest decoded picture in bytes: a picture
// file cannot justify more, and a forged header must not make us ask for it.
inline constexpr int64_t kMaxDibDimension = 32767;
inline constexpr int64_t kMaxDibImageBytes = int64_t{1} << 30;

enum DibCompression : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3 };

// What a bitmap header says about its pixels, validated.
struct DibHeader {
  int width = 0;
  int height = 0;  // rows stored, always positive
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t imageSize = 0;  // the header's byte count of the pixel data, 0 when not given
  uint32_t redMask = 0;    // channel masks of 16 and 32-bit pixels
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  QList<QRgb> colourTable;  // 1, 4 and 8-bit pixels only
  size_t fieldsEnd = 0;     // end of the header and its channel masks
  size_t tableEnd = 0;      // end of the colour table: where packed pixel data starts
};

// How 16, 24 and 32-bit pixels are returned: as 24-bit blue-green-red, or with the
// fourth byte of uncompressed 32-bit pixels kept as alpha (icons carry alpha there).
enum class DibTrueColour { Bgr888, Argb32 };

// Parses and validates the header, channel masks and colour table at data.
DibHeader ReadDibHeader(const uint8_t* data, size_t size);

// Decodes the pixels at bits into a top-down picture: Format_Indexed8 with the colour
// table for 1, 4 and 8 bits per pixel, else the format that trueColour names.
QImage DecodeDibPixels(const DibHeader& header, const uint8_t* bits, size_t size,
                       DibTrueColour trueColour = DibTrueColour::Bgr888);

// Bytes in one stored row: width times bit count, padded to whole 32-bit words.
uint64_t DibRowBytes(int64_t width, int bitCount);

// A packed bitmap: header, colour table and pixels in one block.
QImage ReadDib(const uint8_t* data, size_t size);

// A ".bmp" file.
QImage ReadBitmapFile(const uint8_t* data, size_t size);

// A ".bmp" file holding the image uncompressed and bottom-up: 8 bits per pixel with its
// colour table for indexed and monochrome images, else 24 bits per pixel. A null image
// gives an empty result.
QByteArray WriteBitmapFile(const QImage& image);
