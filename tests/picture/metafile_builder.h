#pragma once
// Builds enhanced and placeable Windows metafiles record by record for the tests.

#include "tests/picture/dib_builder.h"

#include <QByteArray>

#include <bit>
#include <cstdint>
#include <initializer_list>

namespace testmeta {

using testdib::AppendU16;
using testdib::AppendU32;

// Two 16-bit coordinates in one 32-bit word, x first.
inline uint32_t P16(int x, int y) { return (static_cast<uint32_t>(x) & 0xFFFF) | (static_cast<uint32_t>(y) << 16); }
inline uint32_t F32(float value) { return std::bit_cast<uint32_t>(value); }
inline uint32_t I32(int value) { return static_cast<uint32_t>(value); }

// One enhanced-metafile record: type, size, then the given 32-bit words.
inline QByteArray EmfRecord(uint32_t type, std::initializer_list<uint32_t> words) {
  QByteArray out;
  AppendU32(out, type);
  AppendU32(out, static_cast<uint32_t>(8 + 4 * words.size()));
  for (const uint32_t word : words) AppendU32(out, word);
  return out;
}

struct EmfFrame {
  int left = 0, top = 0, right = 2540, bottom = 2540;  // 0.01 mm
};

// Header (108 bytes; a reference device of 96 pixels per inch), the records, end of file.
inline QByteArray MakeEmf(const QByteArray& records, EmfFrame frame = {}, uint16_t handles = 16,
                          int deviceWidth = 960, int deviceHeight = 960, int deviceMmWidth = 254,
                          int deviceMmHeight = 254) {
  QByteArray out;
  AppendU32(out, 1);
  AppendU32(out, 108);
  for (const int value : {0, 0, 95, 95}) AppendU32(out, I32(value));
  for (const int value : {frame.left, frame.top, frame.right, frame.bottom}) AppendU32(out, I32(value));
  AppendU32(out, 0x464D4520);
  AppendU32(out, 0x10000);
  AppendU32(out, 0);  // total bytes, set below
  AppendU32(out, 0);  // record count, set below
  AppendU16(out, handles);
  AppendU16(out, 0);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);  // description, palette
  AppendU32(out, I32(deviceWidth));
  AppendU32(out, I32(deviceHeight));
  AppendU32(out, I32(deviceMmWidth));
  AppendU32(out, I32(deviceMmHeight));
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);  // pixel format, OpenGL
  AppendU32(out, I32(deviceMmWidth * 1000));
  AppendU32(out, I32(deviceMmHeight * 1000));
  out += records;
  out += EmfRecord(14, {0, 16, 20});
  testdib::SetU32(out, 48, static_cast<uint32_t>(out.size()));
  return out;
}

// One Windows-metafile record: size in 16-bit words, function, then the given words.
inline QByteArray WmfRecord(uint16_t function, std::initializer_list<int> words) {
  QByteArray out;
  AppendU32(out, static_cast<uint32_t>(3 + words.size()));
  AppendU16(out, function);
  for (const int word : words) AppendU16(out, static_cast<uint32_t>(word) & 0xFFFF);
  return out;
}

// A placeable header with a correct checksum, the metafile header, the records, end.
inline QByteArray MakePlaceable(const QByteArray& records, int left, int top, int right, int bottom,
                                uint16_t unitsPerInch, uint16_t objects = 8) {
  QByteArray out;
  AppendU32(out, 0x9AC6CDD7);
  AppendU16(out, 0);
  for (const int value : {left, top, right, bottom}) AppendU16(out, static_cast<uint32_t>(value) & 0xFFFF);
  AppendU16(out, unitsPerInch);
  AppendU32(out, 0);
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= static_cast<uint16_t>(static_cast<uint8_t>(out[i]) | (static_cast<uint8_t>(out[i + 1]) << 8));
  AppendU16(out, sum);
  const QByteArray end = WmfRecord(0, {});
  AppendU16(out, 1);
  AppendU16(out, 9);
  AppendU16(out, 0x300);
  AppendU32(out, static_cast<uint32_t>((18 + records.size() + end.size()) / 2));
  AppendU16(out, objects);
  AppendU32(out, 0);
  AppendU16(out, 0);
  out += records;
  out += end;
  return out;
}

}  // namespace testmeta
