#include "picture/exif_orientation.h"

#include <algorithm>
#include <cstring>

namespace {

// Markers of a JPEG file.
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kApp1 = 0xE1;

constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};

// Real files hold a dozen segments before the picture data and a few dozen entries in
// their first directory; the limits only keep a forged file from costing time.
constexpr int kMaxSegments = 512;
constexpr uint32_t kMaxEntries = 512;

constexpr uint16_t kTiffMagic = 42;
constexpr size_t kEntrySize = 12;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

// Reads in the TIFF structure's byte order. Callers check the range with Has() first.
class TiffBytes {
 public:
  TiffBytes(const uint8_t* data, size_t size, bool bigEndian) : data_(data), size_(size), bigEndian_(bigEndian) {}

  // True when count bytes from offset lie inside (no overflow possible).
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

  uint16_t U16(size_t offset) const {
    const uint8_t* p = data_ + offset;
    return static_cast<uint16_t>(bigEndian_ ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
  }
  uint32_t U32(size_t offset) const {
    const uint32_t high = U16(offset);
    const uint32_t low = U16(offset + 2);
    return bigEndian_ ? (high << 16) | low : (low << 16) | high;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  bool bigEndian_;
};

// The value of one orientation entry: a single SHORT as the standard says, or a single
// LONG as some writers store it.
PictureOrientation EntryOrientation(const TiffBytes& tiff, size_t entry) {
  const uint16_t type = tiff.U16(entry + 2);
  const uint32_t count = tiff.U32(entry + 4);
  if (count != 1) {
    return PictureOrientation::Upright;
  }
  if (type == kTypeShort) {
    return OrientationFromTag(tiff.U16(entry + 8));
  }
  if (type == kTypeLong) {
    return OrientationFromTag(tiff.U32(entry + 8));
  }
  return PictureOrientation::Upright;
}

bool StandsAlone(uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= kStartOfImage); }

bool IsExif(const uint8_t* payload, size_t size) {
  return size >= sizeof kExifHeader && std::memcmp(payload, kExifHeader, sizeof kExifHeader) == 0;
}

}  // namespace

PictureOrientation TiffOrientation(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 8) {
    return PictureOrientation::Upright;
  }
  const bool little = data[0] == 'I' && data[1] == 'I';
  const bool big = data[0] == 'M' && data[1] == 'M';
  if (!little && !big) {
    return PictureOrientation::Upright;
  }
  const TiffBytes tiff(data, size, big);
  const uint32_t directory = tiff.U32(4);
  if (tiff.U16(2) != kTiffMagic || !tiff.Has(directory, 2)) {
    return PictureOrientation::Upright;
  }
  const uint32_t entries = std::min<uint32_t>(tiff.U16(directory), kMaxEntries);
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t entry = size_t{directory} + 2 + size_t{i} * kEntrySize;
    if (!tiff.Has(entry, kEntrySize)) {
      break;
    }
    if (tiff.U16(entry) == kOrientationTag) {
      return EntryOrientation(tiff, entry);
    }
  }
  return PictureOrientation::Upright;
}

PictureOrientation JpegExifOrientation(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != kStartOfImage) {
    return PictureOrientation::Upright;
  }
  size_t pos = 2;
  for (int segment = 0; segment < kMaxSegments; ++segment) {
    // A marker: one or more 0xFF bytes, then its code.
    if (pos >= size || data[pos] != 0xFF) {
      break;
    }
    while (pos < size && data[pos] == 0xFF) {
      ++pos;
    }
    if (pos >= size) {
      break;
    }
    const uint8_t code = data[pos++];
    if (code == kStartOfScan || code == kEndOfImage || code == 0x00) {
      break;  // EXIF comes before the picture data; 0x00 is no marker
    }
    if (StandsAlone(code)) {
      continue;
    }
    if (size - pos < 2) {
      break;
    }
    const size_t length = static_cast<size_t>(data[pos] << 8 | data[pos + 1]);
    if (length < 2 || length > size - pos) {
      break;
    }
    const uint8_t* payload = data + pos + 2;
    const size_t payloadSize = length - 2;
    if (code == kApp1 && IsExif(payload, payloadSize)) {
      return TiffOrientation(payload + sizeof kExifHeader, payloadSize - sizeof kExifHeader);
    }
    pos += length;
  }
  return PictureOrientation::Upright;
}
