#pragma once
// A canvas: what graphics draw on. A thin object over a QPainter (none: nothing is drawn)
// that also knows the colour depth of the device behind it, which decides how bitmaps
// are stretched onto it.

#include <QImage>
#include <QRect>

class QPainter;
class TGraphic;

class TCanvas {
 public:
  explicit TCanvas(QPainter* Painter = nullptr, int BitsPerPixel = 24);
  virtual ~TCanvas() = default;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The painter to draw with, or nullptr when there is nothing to draw on.
  virtual QPainter* Painter() { return painter_; }
  // Bits per pixel (bits times planes) of the target device.
  int BitsPerPixel() const { return bitsPerPixel_; }

  // Draws Graphic stretched into Rect; nothing without a graphic.
  void StretchDraw(const QRect& Rect, TGraphic* Graphic);
  // Draws Graphic at its own size with its top-left corner at (X, Y); nothing when it
  // is missing or empty.
  void Draw(int X, int Y, TGraphic* Graphic);

  // Stretches the pixels of a bitmap onto Rect. A rectangle with a negative width or
  // height mirrors the picture. Colour-on-colour: rows and columns are dropped or
  // repeated, never averaged; halftone (averaging) only for a target of 8 bits per
  // pixel or less that has fewer bits than the picture.
  void StretchImage(const QRect& Rect, const QImage& Image, int ImageBitsPerPixel);

 private:
  QPainter* painter_;
  int bitsPerPixel_;
};
