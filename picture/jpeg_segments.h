#pragma once
// Walks the marker segments at the start of a JPEG file held in memory, up to the picture
// data. Every length is checked against the end of the bytes before a segment is handed
// on, and the walk stops after a fixed number of segments, so a forged file costs no
// more than a real one.

#include <cstddef>
#include <cstdint>
#include <functional>

// One segment: its marker code (0xE0 for APP0 ...) and its payload after the length field.
struct JpegSegment {
  uint8_t code = 0;
  const uint8_t* payload = nullptr;
  size_t size = 0;
};

// Calls visit for each segment before the start of scan, in file order, until it returns
// false, the bytes end or maxSegments segments were seen.
void ForEachJpegSegment(const uint8_t* data, size_t size, int maxSegments,
                        const std::function<bool(const JpegSegment&)>& visit);

inline constexpr uint8_t kJpegApp1 = 0xE1;
inline constexpr uint8_t kJpegApp2 = 0xE2;

// The TIFF structure of the first EXIF segment (APP1 "Exif\0\0"; other APP1 segments are
// passed over), or an empty payload when there is none.
JpegSegment JpegExifTiff(const uint8_t* data, size_t size);
