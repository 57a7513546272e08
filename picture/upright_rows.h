#pragma once
// Puts a decoder's rows, which come in the order they are stored, into the bitmap of the
// upright picture. Rows that only need mirroring are written into their bitmap rows and
// mirrored there; for a quarter turn they gather in a band of rows that is then
// turned into the bitmap column by column, so that both the band and the bitmap are read
// and written in cache-sized pieces and no second bitmap is ever needed.

#include "picture/orientation.h"

#include <QSize>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class TBitmap;

class UprightRows {
 public:
  // The bitmap must already have the upright size and the given pixel size.
  UprightRows(TBitmap& bitmap, PictureOrientation orientation, QSize stored, int bytesPerPixel);

  // Bytes per pixel of the rows Claim hands out: the bitmap's, except for gathered
  // three-byte pixels, which come with a fourth byte that is not used.
  static int ClaimedBytesPerPixel(PictureOrientation orientation, int bytesPerPixel);

  // Where the stored rows first .. first + count - 1 are to be written, each pixel of
  // ClaimedBytesPerPixel bytes. count is at most kMaxClaimedRows.
  void Claim(int first, int count, uint8_t** rows);
  // The claimed rows first .. first + count - 1 hold their pixels now.
  void Written(int first, int count);
  // Puts every written row that waits in the band into the bitmap.
  void Flush();
  // Flush() when the bitmap is still the one decoded into; for a decode that failed.
  void Salvage() noexcept;

  // Whether Claim hands out the bitmap's own rows (which must then stay in place while
  // the library writes them).
  bool WritesIntoBitmap() const { return !turn_.swapAxes; }
  // Called before gathered rows are turned into the bitmap, for whoever still works on
  // them.
  void SetBeforeTurn(std::function<void()> beforeTurn) { beforeTurn_ = std::move(beforeTurn); }
  // Raises EInvalidGraphicOperation when someone resized or converted the bitmap
  // meanwhile, since rows of the wrong size must never be written.
  void RequireShape() const;

  static constexpr int kMaxClaimedRows = 16;

 private:
  bool shapeIntact() const;
  int bitmapRow(int storedRow) const;
  size_t bandStride() const;
  void mirrorRows(int first, int count);
  void turnBand(int firstBandRow, int rowCount);

  TBitmap& bitmap_;
  const PixelTurn turn_;
  const QSize stored_;
  const QSize upright_;
  const int bytesPerPixel_;
  const int claimedBytesPerPixel_;
  std::vector<uint8_t> band_;
  std::function<void()> beforeTurn_;
  int bandFirst_ = 0;    // the stored row in the band's first row
  int bandRows_ = 0;     // rows written into the band
  int bandFlushed_ = 0;  // of those, the rows already in the bitmap
};
