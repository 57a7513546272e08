#pragma once
// A device-independent bitmap: 8 bits per pixel with a palette, or 24 bits per pixel in
// blue, green, red byte order; rows top-down, each padded to a multiple of 4 bytes. The
// pixels live in a QImage (Format_Indexed8 or Format_BGR888) so a painter draws them
// without a copy; copies of a bitmap share the pixels until one of them writes.

#include "picture/canvas.h"
#include "picture/graphic.h"

#include <QImage>

#include <cstdint>
#include <memory>

enum class TPixelFormat {
  pfDevice,  // the screen's own format: 24 bits per pixel on a true-colour screen
  pf8bit,
  pf24bit,
};

// The largest bitmap, in bytes of pixel data, that is ever allocated. Anything larger
// raises EOutOfMemory before any memory is asked for.
inline constexpr int64_t kMaxBitmapBytes = int64_t{1} << 30;

// Bytes of pixel data of a bitmap of this size and depth (rows padded to 4 bytes), or -1
// when it would exceed kMaxBitmapBytes or the dimensions are out of range.
int64_t BitmapByteSize(int64_t Width, int64_t Height, int BitsPerPixel);

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;

  QString ClassName() const override { return QStringLiteral("TBitmap"); }
  std::unique_ptr<TGraphic> NewSameKind() const override;

  void Assign(TPersistent* Source) override;
  bool Equals(TGraphic* Graphic) override;
  bool Empty() override;
  int Width() override;
  int Height() override;
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  // Resizes keeping the pixels that still fit; new pixels are zero (black, or palette
  // entry 0). Raises EOutOfMemory beyond kMaxBitmapBytes.
  void SetSize(int NewWidth, int NewHeight);

  // An 8-bit bitmap's palette is its colour table; a 24-bit bitmap may carry one too
  // (it is only used to show the picture on a palette screen).
  TPalette Palette() override;
  void SetPalette(TPalette Value) override;

  TPixelFormat PixelFormat() const;
  int BitsPerPixel() const;
  // Converts the pixels (8 to 24 bits through the palette, 24 to 8 bits by quantizing).
  void SetPixelFormat(TPixelFormat Value);

  // The first byte of a row; raises EInvalidGraphicOperation for a row out of range.
  uint8_t* ScanLine(int Row);
  int BytesPerLine() const { return static_cast<int>(image_.bytesPerLine()); }

  // A canvas that paints on this bitmap (an 8-bit bitmap becomes 24 bits first, since
  // painting needs true colour). Valid as long as the bitmap.
  TCanvas& Canvas();

  // The pixels as they are, for drawing and copying (ends any painting in progress).
  const QImage& Image() const;
  // Replaces the pixels; the image is converted to Format_Indexed8 or Format_BGR888.
  void SetImage(const QImage& Image);

  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;

 protected:
  void Draw(TCanvas& ACanvas, const QRect& Rect) override;

 private:
  class BitmapCanvas;
  friend class BitmapCanvas;

  void endPainting() const;
  void replaceImage(QImage image);

  QImage image_;
  TPixelFormat pixelFormat_ = TPixelFormat::pf24bit;
  TPalette palette_;
  std::unique_ptr<BitmapCanvas> canvas_;
};
