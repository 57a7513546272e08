#pragma once
// The ICC colour profile embedded in a JPEG file: the APP2 segments that begin with
// "ICC_PROFILE\0", each carrying its sequence number and the count of pieces, put
// together in sequence order. The reader works on the file's bytes in memory and trusts
// nothing in them: it collects at most 255 pieces, checks the total size against its
// limit before it copies a byte, and gives no profile at all for a missing, repeated or
// out-of-range piece or a count that the pieces disagree on.

#include <QByteArray>

#include <cstddef>
#include <cstdint>

struct JpegIccProfile {
  // The file holds at least one ICC segment, whole or not.
  bool segmentsSeen = false;
  // The profile's bytes; empty when there is none or its pieces do not fit together.
  QByteArray bytes;
};

// Larger profiles are refused; real ones, even with big tables, stay far below.
inline constexpr size_t kMaxIccProfileBytes = size_t{16} << 20;

JpegIccProfile ReadJpegIccProfile(const uint8_t* data, size_t size);

inline JpegIccProfile ReadJpegIccProfile(const QByteArray& bytes) {
  return ReadJpegIccProfile(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}
