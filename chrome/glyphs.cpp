#include "chrome/glyphs.h"

#include <QPainter>

namespace {

const QColor kTransparent(0x80, 0x80, 0x00);

// The 16 colours of the standard palette.
QList<QRgb> StandardColours() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
          qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage BlankGlyph() {
  QImage image(32, 32, QImage::Format_RGB32);
  image.fill(kTransparent);
  return image;
}

QImage ToSixteenColours(const QImage& image) {
  return image.convertToFormat(QImage::Format_Indexed8, StandardColours(), Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace

QImage ZoomGlyph() {
  QImage image = BlankGlyph();
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(20, 20, 28, 28);  // the handle
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(0x00, 0xFF, 0xFF));
    p.drawEllipse(QRect(3, 3, 18, 18));  // the lens
    p.setPen(QPen(Qt::white, 2));
    p.drawArc(QRect(7, 7, 10, 10), 90 * 16, 90 * 16);  // its glint
  }
  return ToSixteenColours(image);
}

QImage PrintGlyph() {
  QImage image = BlankGlyph();
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(9, 2, 14, 12);  // the sheet going in
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(3, 12, 26, 11);  // the body
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRect(3, 23, 26, 4);
    p.setBrush(Qt::white);
    p.drawRect(8, 20, 16, 9);  // the printed sheet
    p.setPen(QColor(0x00, 0xFF, 0x00));
    p.drawPoint(25, 15);  // the lamp
    p.setPen(QColor(0x00, 0x00, 0x80));
    p.drawLine(10, 23, 21, 23);
    p.drawLine(10, 26, 18, 26);
  }
  return ToSixteenColours(image);
}
