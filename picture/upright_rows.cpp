#include "picture/upright_rows.h"

#include "picture/bitmap.h"
#include "picture/column_turn.h"
#include "platform/errors.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Rows gathered before a quarter turn: each bitmap row then receives this many pixels
// (several whole cache lines) in one piece, so a pass over the ~6000 bitmap rows pays
// for their page and cache misses only once per this many stored rows.
constexpr int kBandRows = 256;
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

}  // namespace

UprightRows::UprightRows(TBitmap& bitmap, PictureOrientation orientation, QSize stored, int bytesPerPixel)
    : bitmap_(bitmap),
      turn_(PixelTurnOf(orientation)),
      stored_(stored),
      upright_(UprightSize(stored, orientation)),
      bytesPerPixel_(bytesPerPixel),
      claimedBytesPerPixel_(ClaimedBytesPerPixel(orientation, bytesPerPixel)) {
  if (turn_.swapAxes) {
    band_.resize(static_cast<size_t>(kBandRows) * bandStride());
  }
}

int UprightRows::ClaimedBytesPerPixel(PictureOrientation orientation, int bytesPerPixel) {
  // Gathered three-byte pixels are padded to four, which the turn moves in whole registers.
  return PixelTurnOf(orientation).swapAxes && bytesPerPixel == 3 ? 4 : bytesPerPixel;
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
  return static_cast<size_t>(stored_.width()) * static_cast<size_t>(claimedBytesPerPixel_);
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
  if (beforeTurn_) {
    beforeTurn_();
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
  const size_t stride = bandStride();
  ColumnTurn columns;
  columns.band = band_.data() + static_cast<size_t>(firstBandRow) * stride;
  columns.bandStep = static_cast<ptrdiff_t>(stride);
  columns.rows = rowCount;
  columns.columns = stored_.width();
  columns.out = firstOut;
  columns.outRowStep = turn_.mirrorY ? -bitmapStride : bitmapStride;
  // Each bitmap row is filled forwards, since memory written towards higher addresses
  // streams much faster: a mirrored column is read from its last band row upwards.
  if (turn_.mirrorX) {
    columns.band += static_cast<ptrdiff_t>(rowCount - 1) * columns.bandStep;
    columns.bandStep = -columns.bandStep;
    columns.out -= static_cast<ptrdiff_t>(rowCount - 1) * bytesPerPixel_;
  }
  if (bytesPerPixel_ == 1) {
    TurnNarrowColumns(columns);
  } else {
    TurnWideColumns(columns);
  }
}
