#include "picture/jpeg_segments.h"

#include <cstring>

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;

constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};
// Real files hold a dozen segments before the picture data.
constexpr int kMaxExifSearch = 512;

// Markers without a length field: TEM, the restart markers and the start of image.
bool StandsAlone(uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= kStartOfImage); }

}  // namespace

void ForEachJpegSegment(const uint8_t* data, size_t size, int maxSegments,
                        const std::function<bool(const JpegSegment&)>& visit) {
  if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != kStartOfImage) {
    return;
  }
  size_t pos = 2;
  for (int segment = 0; segment < maxSegments; ++segment) {
    // A marker: one or more 0xFF bytes, then its code.
    if (pos >= size || data[pos] != 0xFF) {
      return;
    }
    while (pos < size && data[pos] == 0xFF) {
      ++pos;
    }
    if (pos >= size) {
      return;
    }
    const uint8_t code = data[pos++];
    if (code == kStartOfScan || code == kEndOfImage || code == 0x00) {
      return;  // what matters comes before the picture data; 0x00 is no marker
    }
    if (StandsAlone(code)) {
      continue;
    }
    if (size - pos < 2) {
      return;
    }
    const size_t length = static_cast<size_t>(data[pos] << 8 | data[pos + 1]);
    if (length < 2 || length > size - pos) {
      return;
    }
    if (!visit(JpegSegment{code, data + pos + 2, length - 2})) {
      return;
    }
    pos += length;
  }
}

JpegSegment JpegExifTiff(const uint8_t* data, size_t size) {
  JpegSegment tiff;
  ForEachJpegSegment(data, size, kMaxExifSearch, [&tiff](const JpegSegment& segment) {
    if (segment.code != kJpegApp1 || segment.size < sizeof kExifHeader ||
        std::memcmp(segment.payload, kExifHeader, sizeof kExifHeader) != 0) {
      return true;
    }
    tiff = JpegSegment{segment.code, segment.payload + sizeof kExifHeader, segment.size - sizeof kExifHeader};
    return false;
  });
  return tiff;
}
