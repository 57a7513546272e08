#include "picture/upright_rows.h"

#include "picture/bitmap.h"
#include "platform/errors.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Rows gathered before a quarter turn: each bitmap row then receives this many pixels
// (several whole cache lines) in one piece, so a pass over the ~6000 bitmap rows pays
// for their page and cache misses only once per this many stored rows.
constexpr int kBandRows = 128;
static_assert(kBandRows % UprightRows::kMaxClaimedRows == 0, "a claim never straddles a full band");

template <int Bytes>
void MirrorRow(uint8_t* row, int width) {
  uint8_t* left = row;
  uint8_t* right = row + static_cast<ptrdiff_t>(width - 1) * Bytes;
  for (; left < right; left += Bytes, right -= Bytes) {
    uint8_t pixel[Bytes];
    std::memcpy(pixel, left, Bytes);
    std::memcpy(left, right, Bytes);
    std::memcpy(right, pixel, Bytes);
  }
}

// Copies count pixels, each inStep bytes after the one before, to consecutive pixels at out.
template <int Bytes>
void CopyRun(const uint8_t* in, ptrdiff_t inStep, int count, uint8_t* out) {
  for (int i = 0; i < count; ++i, in += inStep, out += Bytes) {
    std::memcpy(out, in, Bytes);
  }
}

// Three-byte pixels move as four bytes, which is cheaper: the extra byte written lands
// on the next pixel, written right after, and the extra byte read lies within the band
// (it holds one spare byte at its end). The last pixel moves as three bytes.
template <>
void CopyRun<3>(const uint8_t* in, ptrdiff_t inStep, int count, uint8_t* out) {
  for (int i = 1; i < count; ++i, in += inStep, out += 3) {
    uint32_t pixel;
    std::memcpy(&pixel, in, sizeof pixel);
    std::memcpy(out, &pixel, sizeof pixel);
  }
  if (count > 0) {
    std::memcpy(out, in, 3);
  }
}

// Copies the band's column x, rows 0 .. rows - 1, into one bitmap row starting at out,
// moving by step bytes per pixel; then the next column into the next bitmap row. The
// band's rows are taken in the order that fills each bitmap row forwards, since memory
// written towards higher addresses streams much faster.
template <int Bytes>
void TurnColumns(const uint8_t* band, size_t bandStride, int rows, int width, uint8_t* firstOut,
                 ptrdiff_t rowStep, ptrdiff_t pixelStep) {
  ptrdiff_t inStep = static_cast<ptrdiff_t>(bandStride);
  if (pixelStep < 0) {
    band += static_cast<ptrdiff_t>(rows - 1) * inStep;
    firstOut += static_cast<ptrdiff_t>(rows - 1) * pixelStep;
    inStep = -inStep;
  }
  for (int x = 0; x < width; ++x) {
    const uint8_t* in = band + static_cast<size_t>(x) * Bytes;
    uint8_t* out = firstOut + static_cast<ptrdiff_t>(x) * rowStep;
    CopyRun<Bytes>(in, inStep, rows, out);
  }
}

}  // namespace

UprightRows::UprightRows(TBitmap& bitmap, PictureOrientation orientation, QSize stored, int bytesPerPixel)
    : bitmap_(bitmap),
      turn_(PixelTurnOf(orientation)),
      stored_(stored),
      upright_(UprightSize(stored, orientation)),
      bytesPerPixel_(bytesPerPixel) {
  if (turn_.swapAxes) {
    // One spare byte, for the four-byte reads of three-byte pixels.
    band_.resize(static_cast<size_t>(kBandRows) * bandStride() + 1);
  }
}

bool UprightRows::shapeIntact() const {
  return bitmap_.Width() == upright_.width() && bitmap_.Height() == upright_.height() &&
         bitmap_.BitsPerPixel() == bytesPerPixel_ * 8;
}

void UprightRows::RequireShape() const {
  if (!shapeIntact()) {
    throw EInvalidGraphicOperation(QStringLiteral("Die Bitmap wurde während der Dekodierung verändert"));
  }
}

size_t UprightRows::bandStride() const {
  return static_cast<size_t>(stored_.width()) * static_cast<size_t>(bytesPerPixel_);
}

int UprightRows::bitmapRow(int storedRow) const { return turn_.mirrorY ? stored_.height() - 1 - storedRow : storedRow; }

void UprightRows::Claim(int first, int count, uint8_t** rows) {
  RequireShape();
  if (!turn_.swapAxes) {
    for (int i = 0; i < count; ++i) {
      rows[i] = bitmap_.ScanLine(bitmapRow(first + i));
    }
    return;
  }
  // A new pass starts again at the top; a full band makes room.
  if (bandRows_ > 0 && (first != bandFirst_ + bandRows_ || bandRows_ + count > kBandRows)) {
    Flush();
    bandRows_ = 0;
    bandFlushed_ = 0;
  }
  if (bandRows_ == 0) {
    bandFirst_ = first;
  }
  const size_t stride = bandStride();
  for (int i = 0; i < count; ++i) {
    rows[i] = band_.data() + static_cast<size_t>(first - bandFirst_ + i) * stride;
  }
}

void UprightRows::Written(int first, int count) {
  if (count <= 0) {
    return;
  }
  if (turn_.swapAxes) {
    bandRows_ = std::max(bandRows_, first + count - bandFirst_);
  } else if (turn_.mirrorX) {
    mirrorRows(first, count);
  }
}

void UprightRows::mirrorRows(int first, int count) {
  RequireShape();
  for (int i = 0; i < count; ++i) {
    uint8_t* row = bitmap_.ScanLine(bitmapRow(first + i));
    if (bytesPerPixel_ == 1) {
      MirrorRow<1>(row, stored_.width());
    } else {
      MirrorRow<3>(row, stored_.width());
    }
  }
}

void UprightRows::Flush() {
  if (bandFlushed_ >= bandRows_) {
    return;
  }
  RequireShape();
  turnBand(bandFlushed_, bandRows_ - bandFlushed_);
  bandFlushed_ = bandRows_;
}

void UprightRows::Salvage() noexcept {
  if (shapeIntact()) {
    Flush();
  }
}

void UprightRows::turnBand(int firstBandRow, int rowCount) {
  // Stored pixel (x, y) goes to column y and row x of the upright bitmap, each mirrored
  // as the turn says: a band row becomes part of a bitmap column.
  const int storedRow = bandFirst_ + firstBandRow;
  const int column = turn_.mirrorX ? upright_.width() - 1 - storedRow : storedRow;
  const int row = turn_.mirrorY ? upright_.height() - 1 : 0;
  const ptrdiff_t bitmapStride = bitmap_.BytesPerLine();
  uint8_t* firstOut = bitmap_.ScanLine(row) + static_cast<ptrdiff_t>(column) * bytesPerPixel_;
  const ptrdiff_t rowStep = turn_.mirrorY ? -bitmapStride : bitmapStride;
  const ptrdiff_t pixelStep = turn_.mirrorX ? -bytesPerPixel_ : bytesPerPixel_;
  const size_t stride = bandStride();
  const uint8_t* band = band_.data() + static_cast<size_t>(firstBandRow) * stride;
  if (bytesPerPixel_ == 1) {
    TurnColumns<1>(band, stride, rowCount, stored_.width(), firstOut, rowStep, pixelStep);
  } else {
    TurnColumns<3>(band, stride, rowCount, stored_.width(), firstOut, rowStep, pixelStep);
  }
}
