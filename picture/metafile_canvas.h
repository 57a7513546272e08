#pragma once
// The drawing state of a metafile player (pen, brush, fill mode, coordinate mapping,
// current position, saved states, an open path) and the shapes drawn with it. Both
// metafile players draw through it, so pens, brushes and the safety limits behave the
// same for both formats.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <functional>
#include <vector>

// Pen styles, brush styles and stock objects as the records number them.
enum GdiPenStyle { kPsSolid = 0, kPsDash = 1, kPsDot = 2, kPsDashDot = 3, kPsDashDotDot = 4, kPsNull = 5 };
enum GdiBrushStyle { kBsSolid = 0, kBsNull = 1, kBsHatched = 2 };

struct GdiPen {
  int style = kPsSolid;
  double width = 0;  // logical units; 0 draws one pixel wide
  QColor colour = Qt::black;
};

struct GdiBrush {
  int style = kBsSolid;
  int hatch = 0;
  QColor colour = Qt::white;
};

struct GdiObject {
  enum class Kind { Empty, Pen, Brush, Other };
  Kind kind = Kind::Empty;
  GdiPen pen;
  GdiBrush brush;
};

// Logical to device coordinates, as the records set them.
struct GdiMapping {
  int mode = 1;  // MM_TEXT
  QPointF windowOrg{0, 0};
  QSizeF windowExt{1, 1};
  QPointF viewportOrg{0, 0};
  QSizeF viewportExt{1, 1};
  QTransform world;
};

struct GdiState {
  GdiPen pen;
  GdiBrush brush;
  Qt::FillRule fillRule = Qt::OddEvenFill;
  GdiMapping mapping;
  QPointF position;
};

// A colour as the records store it: 0x00BBGGRR.
QColor ColourFromRef(uint32_t colourRef);

// A stock pen or brush (the index without its high bit); Kind::Empty for others.
GdiObject StockObject(uint32_t index);

class MetafileCanvas {
 public:
  // mapping turns the record's mapping state into a transform from logical coordinates
  // to the target in the painter's coordinates (a singular transform draws nothing).
  MetafileCanvas(QPainter& painter, std::function<QTransform(const GdiMapping&)> mapping);

  GdiState& State() { return state_; }
  void Select(const GdiObject& object);
  void SaveState();
  // A negative level counts back from the newest saved state; a positive one names a
  // saved state from the oldest (1).
  void RestoreState(int level);

  void MoveTo(QPointF point);
  void LineTo(QPointF point);
  void Polyline(const QPolygonF& points);
  void PolylineTo(const QPolygonF& points);
  void Polygons(const std::vector<QPolygonF>& polygons);
  void Polylines(const std::vector<QPolygonF>& polylines);
  // Cubic curves: a start point, then three points per curve.
  void Bezier(const QPolygonF& points);
  // Cubic curves from the current position, three points per curve.
  void BezierTo(const QPolygonF& points);
  void Rectangle(const QRectF& box);
  void RoundRect(const QRectF& box, const QSizeF& corner);
  void Ellipse(const QRectF& box);

  void BeginPath();
  void EndPath() { recording_ = false; }
  void CloseFigure();
  void AbortPath();
  void FillPath() { DrawRecordedPath(true, false); }
  void StrokePath() { DrawRecordedPath(false, true); }
  void StrokeAndFillPath() { DrawRecordedPath(true, true); }

 private:
  void Emit(const QPainterPath& shape, bool fill, bool stroke);
  void Paint(QPainterPath shape, bool fill, bool stroke);
  void DrawRecordedPath(bool fill, bool stroke);
  QPen Pen() const;
  QBrush Brush() const;

  QPainter& painter_;
  std::function<QTransform(const GdiMapping&)> mapping_;
  QTransform base_;
  GdiState state_;
  std::vector<GdiState> saved_;
  QPainterPath path_;
  bool recording_ = false;
};
