#include "picture/canvas.h"

#include "picture/graphic.h"

#include <QPainter>
#include <QTransform>

#include <cstdlib>

TCanvas::TCanvas(QPainter* Painter, int BitsPerPixel) : painter_(Painter), bitsPerPixel_(BitsPerPixel) {}

void TCanvas::StretchDraw(const QRect& Rect, TGraphic* Graphic) {
  if (Graphic != nullptr) {
    Graphic->Draw(*this, Rect);
  }
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (Graphic != nullptr && !Graphic->Empty()) {
    Graphic->Draw(*this, QRect(X, Y, Graphic->Width(), Graphic->Height()));
  }
}

void TCanvas::StretchImage(const QRect& Rect, const QImage& Image, int ImageBitsPerPixel) {
  QPainter* painter = Painter();
  if (painter == nullptr || Image.isNull() || Rect.width() == 0 || Rect.height() == 0) {
    return;
  }
  const bool halftone = bitsPerPixel_ <= 8 && bitsPerPixel_ < ImageBitsPerPixel;
  // A negative extent mirrors: the picture runs from the rectangle's origin backwards.
  QTransform placement;
  placement.translate(Rect.x(), Rect.y());
  placement.scale(Rect.width() < 0 ? -1 : 1, Rect.height() < 0 ? -1 : 1);

  painter->save();
  painter->setTransform(placement, true);
  painter->setRenderHint(QPainter::SmoothPixmapTransform, halftone);
  painter->drawImage(QRectF(0, 0, std::abs(Rect.width()), std::abs(Rect.height())), Image);
  painter->restore();
}
