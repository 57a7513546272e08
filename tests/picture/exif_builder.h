#pragma once
// Builds EXIF segments byte by byte and puts them into JPEG files, so the tests, the fuzz
// seeds, the benchmark and the end-to-end cases can store a picture in any orientation
// and in either byte order, including damaged and hostile values. What each orientation
// does to a picture is given here in Qt's own terms, as the reference the program is
// measured against.

#include <QByteArray>
#include <QImage>
#include <QTransform>

#include <cstdint>
#include <vector>

namespace testexif {

enum class ByteOrder { Little, Big };

inline constexpr uint16_t kOrientationTag = 0x0112;
inline constexpr uint16_t kTypeShort = 3;
inline constexpr uint16_t kTypeLong = 4;

// One entry of an image directory. A single SHORT sits left-justified in the value field.
struct TiffEntry {
  uint16_t tag = kOrientationTag;
  uint16_t type = kTypeShort;
  uint32_t count = 1;
  uint32_t value = 1;
};

inline void PutU16(QByteArray& out, ByteOrder order, uint32_t value) {
  const char high = static_cast<char>((value >> 8) & 0xFF);
  const char low = static_cast<char>(value & 0xFF);
  out.append(order == ByteOrder::Big ? high : low);
  out.append(order == ByteOrder::Big ? low : high);
}

inline void PutU32(QByteArray& out, ByteOrder order, uint32_t value) {
  PutU16(out, order, order == ByteOrder::Big ? value >> 16 : value & 0xFFFF);
  PutU16(out, order, order == ByteOrder::Big ? value & 0xFFFF : value >> 16);
}

// A TIFF structure whose first directory, at directoryOffset, holds the entries. The
// directory's entry count is entryCount when given (a lie, for damaged files), else
// the number of entries.
inline QByteArray Tiff(ByteOrder order, const std::vector<TiffEntry>& entries, uint32_t directoryOffset = 8,
                       int64_t entryCount = -1) {
  QByteArray out(order == ByteOrder::Big ? "MM" : "II");
  PutU16(out, order, 42);
  PutU32(out, order, directoryOffset);
  while (static_cast<uint32_t>(out.size()) < directoryOffset && directoryOffset < 4096) {
    out.append('\0');
  }
  PutU16(out, order, static_cast<uint32_t>(entryCount >= 0 ? entryCount : static_cast<int64_t>(entries.size())));
  for (const TiffEntry& e : entries) {
    PutU16(out, order, e.tag);
    PutU16(out, order, e.type);
    PutU32(out, order, e.count);
    if (e.type == kTypeShort && e.count == 1) {
      PutU16(out, order, e.value);
      PutU16(out, order, 0);
    } else {
      PutU32(out, order, e.value);
    }
  }
  PutU32(out, order, 0);  // no next directory
  return out;
}

// An APP-n segment with this payload (its length field counts itself, as JPEG's do).
inline QByteArray Segment(uint8_t marker, const QByteArray& payload) {
  QByteArray out;
  out.append(static_cast<char>(0xFF));
  out.append(static_cast<char>(marker));
  const int length = static_cast<int>(payload.size()) + 2;
  out.append(static_cast<char>((length >> 8) & 0xFF));
  out.append(static_cast<char>(length & 0xFF));
  return out + payload;
}

inline QByteArray ExifSegment(const QByteArray& tiff) {
  return Segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
}

// The usual case: an EXIF segment whose first directory holds a few entries around the
// orientation, as cameras write them.
inline QByteArray OrientationSegment(uint32_t value, ByteOrder order = ByteOrder::Little) {
  return ExifSegment(Tiff(order, {{0x010F, 2, 4, 0}, {kOrientationTag, kTypeShort, 1, value}, {0x011A, 5, 1, 0}}));
}

// The JPEG file with these segments right after its start-of-image marker.
inline QByteArray WithSegments(const QByteArray& jpeg, const QByteArray& segments) {
  return jpeg.left(2) + segments + jpeg.mid(2);
}

inline QByteArray WithOrientation(const QByteArray& jpeg, uint32_t value, ByteOrder order = ByteOrder::Little) {
  return WithSegments(jpeg, OrientationSegment(value, order));
}

// The upright picture that a stored picture with this orientation value shows.
inline QImage TurnedByQt(const QImage& stored, int orientation) {
  const QImage quarter = orientation >= 5 && orientation <= 7 ? stored.transformed(QTransform().rotate(90)) : QImage();
  switch (orientation) {
    case 2:
      return stored.mirrored(true, false);
    case 3:
      return stored.mirrored(true, true);
    case 4:
      return stored.mirrored(false, true);
    case 5:
      return quarter.mirrored(true, false);
    case 6:
      return quarter;
    case 7:
      return quarter.mirrored(false, true);
    case 8:
      return stored.transformed(QTransform().rotate(270));
    default:
      return stored;
  }
}

// The pixels to store with this orientation value so that the picture shows upright.
inline QImage StoredForUpright(const QImage& upright, int orientation) {
  // Every turn undoes itself, except the two quarter turns, which undo each other.
  const int undoing = orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
  return TurnedByQt(upright, undoing);
}

}  // namespace testexif
