#include "picture/icc_profile.h"

#include "picture/jpeg_segments.h"

#include <array>
#include <cstring>

namespace {

constexpr char kIccHeader[] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', '\0'};
// The header, then one byte each for the sequence number and the count.
constexpr size_t kPieceHeaderSize = sizeof kIccHeader + 2;
constexpr int kMaxPieces = 255;
// 255 pieces and the other segments of a real file; a forged one may not cost more.
constexpr int kMaxSegments = 4096;

struct Piece {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

bool IsIccSegment(const JpegSegment& segment) {
  return segment.code == kJpegApp2 && segment.size >= sizeof kIccHeader &&
         std::memcmp(segment.payload, kIccHeader, sizeof kIccHeader) == 0;
}

// The pieces in sequence order, gathered from the segments: false on the first piece
// that cannot belong to one whole profile.
class PieceCollector {
 public:
  bool Add(const JpegSegment& segment) {
    if (segment.size < kPieceHeaderSize) {
      return false;
    }
    const int sequence = segment.payload[sizeof kIccHeader];
    const int count = segment.payload[sizeof kIccHeader + 1];
    if (count_ == 0) {
      count_ = count;
    }
    if (count == 0 || count != count_ || sequence < 1 || sequence > count ||
        pieces_[static_cast<size_t>(sequence)].data != nullptr) {
      return false;
    }
    pieces_[static_cast<size_t>(sequence)] = Piece{segment.payload + kPieceHeaderSize, segment.size - kPieceHeaderSize};
    return true;
  }

  // The whole profile, or nothing when a piece is missing or it grows beyond the limit.
  QByteArray Join() const {
    size_t total = 0;
    for (int i = 1; i <= count_; ++i) {
      const Piece& piece = pieces_[static_cast<size_t>(i)];
      if (piece.data == nullptr || piece.size > kMaxIccProfileBytes - total) {
        return QByteArray();
      }
      total += piece.size;
    }
    QByteArray profile(static_cast<qsizetype>(total), Qt::Uninitialized);
    char* out = profile.data();
    for (int i = 1; i <= count_; ++i) {
      const Piece& piece = pieces_[static_cast<size_t>(i)];
      if (piece.size > 0) {
        std::memcpy(out, piece.data, piece.size);
      }
      out += piece.size;
    }
    return profile;
  }

 private:
  std::array<Piece, kMaxPieces + 1> pieces_{};  // by sequence number, 1 to 255
  int count_ = 0;
};

}  // namespace

JpegIccProfile ReadJpegIccProfile(const uint8_t* data, size_t size) {
  JpegIccProfile result;
  PieceCollector pieces;
  bool fits = true;
  ForEachJpegSegment(data, size, kMaxSegments, [&](const JpegSegment& segment) {
    if (!IsIccSegment(segment)) {
      return true;
    }
    result.segmentsSeen = true;
    fits = pieces.Add(segment);
    return fits;
  });
  if (result.segmentsSeen && fits) {
    result.bytes = pieces.Join();
  }
  return result;
}
