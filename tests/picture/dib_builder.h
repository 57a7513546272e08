#pragma once
// Builds bitmap files and packed bitmaps byte by byte for the tests, so every header
// field can be set to what a test needs, including wrong values.

#include "platform/little_endian.h"

#include <QByteArray>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace testdib {

// Colours the bitmap and icon tests paint with.
inline const QRgb kRed = qRgb(255, 0, 0);
inline const QRgb kGreen = qRgb(0, 255, 0);
inline const QRgb kBlue = qRgb(0, 0, 255);
inline const QRgb kWhite = qRgb(255, 255, 255);
inline const QRgb kBlack = qRgb(0, 0, 0);

using platform::AppendU16;
using platform::AppendU32;

inline void SetU32(QByteArray& out, int at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct DibSpec {
  uint32_t headerSize = 40;
  int32_t width = 1;
  int32_t height = 1;  // negative: rows stored top-down
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // red, green, blue (and alpha for the larger headers)
  QList<QRgb> palette;
  QByteArray bits;
};

// Header, channel masks (inside the larger headers, after the 40-byte one), colour
// table (3-byte entries for the 12-byte header) and pixel data.
inline QByteArray MakeDib(const DibSpec& layout) {
  QByteArray out;
  AppendU32(out, layout.headerSize);
  if (layout.headerSize == 12) {
    AppendU16(out, static_cast<uint32_t>(layout.width));
    AppendU16(out, static_cast<uint32_t>(layout.height));
    AppendU16(out, 1);
    AppendU16(out, layout.bitCount);
  } else {
    AppendU32(out, static_cast<uint32_t>(layout.width));
    AppendU32(out, static_cast<uint32_t>(layout.height));
    AppendU16(out, 1);
    AppendU16(out, layout.bitCount);
    AppendU32(out, layout.compression);
    AppendU32(out, layout.imageSize);
    AppendU32(out, 2835);
    AppendU32(out, 2835);
    AppendU32(out, layout.colorsUsed);
    AppendU32(out, 0);
    for (const uint32_t mask : layout.masks) AppendU32(out, mask);
    while (static_cast<uint32_t>(out.size()) < layout.headerSize) out.append('\0');
  }
  for (const QRgb colour : layout.palette) {
    out.append(static_cast<char>(qBlue(colour)));
    out.append(static_cast<char>(qGreen(colour)));
    out.append(static_cast<char>(qRed(colour)));
    if (layout.headerSize != 12) out.append('\0');
  }
  out.append(layout.bits);
  return out;
}

// A "BM" file around the bitmap; the pixel offset points right after the colour table.
inline QByteArray MakeBitmapFile(const DibSpec& layout) {
  const QByteArray dib = MakeDib(layout);
  QByteArray out("BM");
  AppendU32(out, static_cast<uint32_t>(14 + dib.size()));
  AppendU32(out, 0);
  AppendU32(out, static_cast<uint32_t>(14 + dib.size() - layout.bits.size()));
  out.append(dib);
  return out;
}

// Packs pixel values of one row at the given depth (most significant bits first) and
// pads the row to a whole 32-bit word, as stored rows are.
inline QByteArray PackRow(int bitCount, std::initializer_list<uint32_t> values) {
  QByteArray row;
  uint32_t acc = 0;
  int bits = 0;
  for (const uint32_t value : values) {
    if (bitCount >= 8) {
      for (int i = 0; i < bitCount / 8; ++i) row.append(static_cast<char>((value >> (8 * i)) & 0xFF));
      continue;
    }
    acc = (acc << bitCount) | value;
    bits += bitCount;
    if (bits == 8) {
      row.append(static_cast<char>(acc));
      acc = 0;
      bits = 0;
    }
  }
  if (bits > 0) row.append(static_cast<char>(acc << (8 - bits)));
  while (row.size() % 4 != 0) row.append('\0');
  return row;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (const int value : values) out.append(static_cast<char>(value));
  return out;
}

// An icon image as a bitmap: the header's height counts the colour rows and the AND
// mask rows that follow them.
inline QByteArray MakeIconDib(DibSpec colour, const QByteArray& maskRows) {
  colour.height *= 2;
  colour.bits += maskRows;
  return MakeDib(colour);
}

struct IconEntrySpec {
  int width = 32;  // as the directory states it (256 is stored as 0)
  int height = 32;
  int bitCount = 8;
  QByteArray image;
};

// An icon file: directory, then the images in order.
inline QByteArray MakeIconFile(const std::vector<IconEntrySpec>& entries) {
  QByteArray out;
  AppendU16(out, 0);
  AppendU16(out, 1);
  AppendU16(out, static_cast<uint32_t>(entries.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
  for (const IconEntrySpec& entry : entries) {
    out.append(static_cast<char>(entry.width & 0xFF));
    out.append(static_cast<char>(entry.height & 0xFF));
    out.append('\0');
    out.append('\0');
    AppendU16(out, 1);
    AppendU16(out, static_cast<uint32_t>(entry.bitCount));
    AppendU32(out, static_cast<uint32_t>(entry.image.size()));
    AppendU32(out, offset);
    offset += static_cast<uint32_t>(entry.image.size());
  }
  for (const IconEntrySpec& entry : entries) out.append(entry.image);
  return out;
}

}  // namespace testdib
