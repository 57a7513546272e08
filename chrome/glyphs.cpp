#include "chrome/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap BlankGlyph() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QIcon ZoomGlyph() {
  QPixmap pixmap = BlankGlyph();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(0x00, 0xFF, 0xFF));
  p.drawEllipse(QRect(3, 3, 17, 17));
  p.setPen(QPen(QColor(0x80, 0x00, 0x00), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(19, 19, 28, 28);
  p.setPen(QPen(Qt::white, 2));
  p.drawArc(QRect(7, 7, 9, 9), 90 * 16, 90 * 16);
  return QIcon(pixmap);
}

QIcon PrintGlyph() {
  QPixmap pixmap = BlankGlyph();
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(9, 2, 14, 12);  // the sheet going in
  p.setBrush(QColor(0xC0, 0xC0, 0xC0));
  p.drawRect(3, 12, 26, 11);  // the body
  p.setBrush(QColor(0x80, 0x80, 0x80));
  p.drawRect(3, 23, 26, 4);
  p.setBrush(Qt::white);
  p.drawRect(8, 20, 16, 9);  // the printed sheet
  p.setPen(QColor(0x00, 0x80, 0x00));
  p.drawPoint(25, 15);
  p.setPen(QColor(0x00, 0x00, 0x80));
  p.drawLine(10, 23, 21, 23);
  p.drawLine(10, 26, 18, 26);
  return QIcon(pixmap);
}
