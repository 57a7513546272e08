// Draws the program's icon, two photo prints lying on each other, from one list of
// shapes into every form the desktop and the program need: an SVG for the scalable
// icon theme, PNGs at the theme's fixed sizes, the "MAINICON" icon file and a C++
// source that compiles that file into the executable.
//
// Usage: make_icons <output folder>
#include "data/icon_file_writer.h"

#include <QByteArray>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

// The drawing is designed on a square of this many units.
constexpr int kDesignSize = 256;
constexpr int kThemeSizes[] = {16, 32, 48, 64, 128, 256};
// The icon file carries the sizes a window and a file list ask for, plus a large one.
constexpr int kIconFileSizes[] = {16, 32, 48, 256};

enum class Kind { RoundedRect, Circle, Polygon };

struct Shape {
  Kind kind;
  QRectF box{};          // rectangle or the circle's bounding square
  double radius = 0;     // corner radius of a rounded rectangle
  QPolygonF points{};    // polygon corners
  QColor fill;
  QColor stroke{};       // invalid: no outline
  double strokeWidth = 0;
  double rotation = 0;   // degrees clockwise about the centre of the design square
};

QPolygonF Points(std::initializer_list<QPointF> points) { return QPolygonF(QList<QPointF>(points)); }

const std::vector<Shape>& IconShapes() {
  constexpr double kBack = -10;
  constexpr double kFront = 4;
  static const std::vector<Shape> shapes = {
      // The print underneath, its picture faded.
      {Kind::RoundedRect, {40, 30, 176, 136}, 10, {}, QColor(0xf4, 0xf1, 0xe8), QColor(0x4b, 0x58, 0x66), 6, kBack},
      {Kind::RoundedRect, {54, 44, 148, 92}, 3, {}, QColor(0xa9, 0xc3, 0xd8), {}, 0, kBack},
      // The print on top: a white border round a landscape of sky, sun and hills.
      {Kind::RoundedRect, {26, 78, 204, 152}, 10, {}, QColor(0xff, 0xff, 0xff), QColor(0x33, 0x3f, 0x4b), 6, kFront},
      {Kind::RoundedRect, {42, 94, 172, 108}, 3, {}, QColor(0x4f, 0x9d, 0xe6), {}, 0, kFront},
      {Kind::Circle, {154, 106, 36, 36}, 0, {}, QColor(0xff, 0xcf, 0x33), {}, 0, kFront},
      {Kind::Polygon, {}, 0, Points({{42, 202}, {42, 170}, {92, 132}, {130, 168}, {160, 148}, {214, 188}, {214, 202}}),
       QColor(0x2f, 0x8f, 0x45), {}, 0, kFront},
  };
  return shapes;
}

// ---- raster ----

void Paint(QPainter& painter, const Shape& shape) {
  painter.save();
  painter.translate(kDesignSize / 2.0, kDesignSize / 2.0);
  painter.rotate(shape.rotation);
  painter.translate(-kDesignSize / 2.0, -kDesignSize / 2.0);
  painter.setBrush(shape.fill);
  if (shape.stroke.isValid()) {
    painter.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  } else {
    painter.setPen(Qt::NoPen);
  }
  switch (shape.kind) {
    case Kind::RoundedRect: painter.drawRoundedRect(shape.box, shape.radius, shape.radius); break;
    case Kind::Circle: painter.drawEllipse(shape.box); break;
    case Kind::Polygon: painter.drawPolygon(shape.points); break;
  }
  painter.restore();
}

QImage Render(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(double(size) / kDesignSize, double(size) / kDesignSize);
  for (const Shape& shape : IconShapes()) Paint(painter, shape);
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

// ---- SVG ----

QString Colour(const QColor& colour) { return colour.name(QColor::HexRgb); }

QString SvgElement(const Shape& shape) {
  QString element;
  switch (shape.kind) {
    case Kind::RoundedRect:
      element = QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"")
                    .arg(shape.box.x()).arg(shape.box.y()).arg(shape.box.width()).arg(shape.box.height())
                    .arg(shape.radius);
      break;
    case Kind::Circle:
      element = QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\"")
                    .arg(shape.box.center().x()).arg(shape.box.center().y()).arg(shape.box.width() / 2);
      break;
    case Kind::Polygon: {
      QStringList corners;
      for (const QPointF& point : shape.points) corners << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
      element = QStringLiteral("<polygon points=\"%1\"").arg(corners.join(u' '));
      break;
    }
  }
  element += QStringLiteral(" fill=\"%1\"").arg(Colour(shape.fill));
  if (shape.stroke.isValid()) {
    element += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                   .arg(Colour(shape.stroke)).arg(shape.strokeWidth);
  }
  if (shape.rotation != 0) {
    element += QStringLiteral(" transform=\"rotate(%1 %2 %2)\"").arg(shape.rotation).arg(kDesignSize / 2);
  }
  return element + QStringLiteral("/>");
}

QByteArray Svg() {
  QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                               "viewBox=\"0 0 %1 %1\">\n")
                    .arg(kDesignSize);
  for (const Shape& shape : IconShapes()) svg += QStringLiteral("  ") + SvgElement(shape) + u'\n';
  return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

// ---- icon file ----

// A 32-bit bottom-up bitmap with its alpha channel, followed by the AND mask that older
// readers use: set where the picture is fully transparent.
QByteArray BitmapImage(const QImage& image) {
  const int size = image.width();
  QByteArray out;
  AppendLittleEndian32(out, 40);
  AppendLittleEndian32(out, size);
  AppendLittleEndian32(out, 2 * size);  // colour rows and mask rows
  AppendLittleEndian16(out, 1);
  AppendLittleEndian16(out, 32);
  AppendLittleEndian32(out, 0);  // uncompressed
  const int maskStride = ((size + 31) / 32) * 4;
  AppendLittleEndian32(out, size * size * 4 + maskStride * size);
  for (int i = 0; i < 4; ++i) AppendLittleEndian32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < size; ++x) AppendLittleEndian32(out, row[x]);  // QRgb is 0xAARRGGBB: B, G, R, A in memory order
  }
  for (int y = size - 1; y >= 0; --y) {
    QByteArray maskRow(maskStride, '\0');
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < size; ++x) {
      if (qAlpha(row[x]) == 0) maskRow[x / 8] = char(maskRow[x / 8] | (0x80 >> (x % 8)));
    }
    out += maskRow;
  }
  return out;
}

QByteArray PngImage(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

QByteArray IconFile() {
  std::vector<QByteArray> images;
  for (int size : kIconFileSizes) {
    const QImage image = Render(size);
    images.push_back(size >= 256 ? PngImage(image) : BitmapImage(image));
  }
  QByteArray out;
  AppendIconHeader(out, int(images.size()));
  quint32 offset = kIconHeaderBytes + kIconEntryBytes * quint32(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    AppendIconEntry(out, kIconFileSizes[i], kIconFileSizes[i], 32, quint32(images[i].size()), offset);
    offset += quint32(images[i].size());
  }
  for (const QByteArray& image : images) out += image;
  return out;
}

QByteArray ResourceSource(const QByteArray& iconFile) {
  QByteArray source =
      "// Made by make_icons from its drawing; do not edit.\n"
      "#include \"data/main_icon.h\"\n\n"
      "namespace {\nconstexpr unsigned char kMainIcon[] = {";
  for (qsizetype i = 0; i < iconFile.size(); ++i) {
    if (i % 16 == 0) source += "\n   ";
    source += ' ' + QByteArray::number(quint8(iconFile[i])) + ',';
  }
  source += "\n};\n}  // namespace\n\n"
            "QByteArrayView MainIconResource() {\n"
            "  return QByteArrayView(reinterpret_cast<const char*>(kMainIcon), sizeof kMainIcon);\n}\n";
  return source;
}

bool Write(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) return true;
  std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons <output folder>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  bool ok = Write(out + QStringLiteral("/hicolor/scalable/apps/velarim.svg"), Svg());
  for (int size : kThemeSizes) {
    ok = ok && Write(out + QStringLiteral("/hicolor/%1x%1/apps/velarim.png").arg(size), PngImage(Render(size)));
  }
  const QByteArray iconFile = IconFile();
  ok = ok && Write(out + QStringLiteral("/MAINICON.ico"), iconFile);
  ok = ok && Write(out + QStringLiteral("/main_icon_resource.cpp"), ResourceSource(iconFile));
  return ok ? 0 : 1;
}
