#include "chrome/menu_glyphs.h"

#include <QPainter>
#include <QPolygon>

namespace {

const QColor kOutline(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kMaroon(128, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

// A box with a one-unit outline, in units of the 16 x 16 grid.
void OutlinedBox(QPainter& p, int x, int y, int w, int h, const QColor& fill) {
  p.fillRect(x, y, w, h, kOutline);
  p.fillRect(x + 1, y + 1, w - 2, h - 2, fill);
}

void DrawInformation(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kOutline);
  p.drawEllipse(QRect(1, 1, 14, 14));
  p.setBrush(kBlue);
  p.drawEllipse(QRect(2, 2, 12, 12));
  p.fillRect(7, 4, 2, 2, kPaper);   // the dot of the "i"
  p.fillRect(7, 7, 2, 5, kPaper);   // its stem
  p.fillRect(6, 11, 4, 1, kPaper);  // and foot
}

void DrawContents(QPainter& p) {
  OutlinedBox(p, 3, 1, 11, 14, kMaroon);  // the closed book
  p.fillRect(4, 2, 2, 12, kRed);           // its spine
  p.fillRect(13, 2, 1, 12, kPaper);        // the edges of its pages
  p.fillRect(7, 4, 5, 3, kYellow);         // the title label
  p.fillRect(8, 5, 3, 1, kOutline);
}

void DrawPrinter(QPainter& p) {
  OutlinedBox(p, 4, 1, 8, 6, kPaper);  // the sheet going in
  OutlinedBox(p, 1, 6, 14, 7, kSilver);  // the body
  p.fillRect(2, 10, 12, 2, kGrey);
  p.fillRect(12, 7, 1, 1, kLime);        // the lamp
  OutlinedBox(p, 4, 10, 8, 5, kPaper);  // the printed sheet
  p.fillRect(5, 12, 5, 1, kNavy);
}

void DrawSaveAs(QPainter& p) {
  OutlinedBox(p, 1, 1, 13, 14, kNavy);  // the disk
  OutlinedBox(p, 3, 1, 9, 6, kPaper);   // its label
  p.fillRect(4, 3, 7, 1, kGrey);
  OutlinedBox(p, 4, 10, 7, 5, kSilver);  // the shutter
  p.fillRect(5, 11, 2, 3, kNavy);
  // Dots for the name still to be chosen.
  for (int x : {10, 12, 14}) p.fillRect(x, 14, 1, 1, kOutline);
}

void DrawEdit(QPainter& p) {
  OutlinedBox(p, 1, 1, 10, 14, kPaper);  // the sheet
  for (int y : {4, 6, 8, 10}) p.fillRect(3, y, 6, 1, kGrey);
  // The pencil, from its end at the top right down to its tip.
  for (int i = 0; i < 5; ++i) {
    p.fillRect(13 - i, 2 + i, 2, 2, kYellow);
    p.fillRect(14 - i, 3 + i, 1, 1, kMaroon);
  }
  p.fillRect(14, 1, 1, 1, kRed);   // the eraser
  p.fillRect(8, 7, 1, 2, kOutline);  // the tip
  p.fillRect(7, 8, 1, 1, kOutline);
}

void DrawHomePage(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kRed);
  p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(15, 8), QPoint(1, 8)}));  // the roof
  OutlinedBox(p, 3, 8, 10, 7, kPaper);                                  // the house
  p.fillRect(5, 10, 3, 5, kMaroon);                                     // the door
  OutlinedBox(p, 9, 10, 3, 3, kBlue);                                    // a window
  p.fillRect(0, 15, 16, 1, kGreen);                                     // the lawn
}

using GlyphPainter = void (*)(QPainter&);

GlyphPainter PainterOf(int index) {
  switch (index) {
    case 0: return DrawInformation;
    case 3: return DrawContents;
    case 9: return DrawPrinter;
    case 10: return DrawSaveAs;
    case 11: return DrawEdit;
    case 25: return DrawHomePage;
    default: return nullptr;
  }
}

}  // namespace

std::vector<int> MenuGlyphIndices() { return {0, 3, 9, 10, 11, 25}; }

QImage MenuGlyph(int index, int scale) {
  const GlyphPainter draw = PainterOf(index);
  if (!draw || scale < 1) return {};
  QImage glyph(16 * scale, 16 * scale, QImage::Format_ARGB32);
  glyph.fill(Qt::transparent);
  QPainter painter(&glyph);
  // Without smoothing every unit of the grid is whole pixels of one colour.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.scale(scale, scale);
  draw(painter);
  return glyph;
}

QIcon MenuGlyphIcon(int index) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap = QPixmap::fromImage(MenuGlyph(index, scale));
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
  }
  return icon;
}
