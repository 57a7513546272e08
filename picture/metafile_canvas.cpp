#include "picture/metafile_canvas.h"

#include <cmath>

namespace {

// A shape reaching further than this many pixels on the target is not drawn: no real
// picture needs it, and a forged one must not make the rasteriser work without end.
constexpr double kMaxShapeExtent = 1 << 22;
// Saved states beyond this depth are not kept.
constexpr size_t kMaxSavedStates = 1024;

bool IsReasonable(const QRectF& area) {
  const double values[] = {area.left(), area.top(), area.right(), area.bottom()};
  for (const double value : values) {
    if (!std::isfinite(value) || std::abs(value) > kMaxShapeExtent) return false;
  }
  return true;
}

Qt::BrushStyle HatchStyle(int hatch) {
  switch (hatch) {
    case 0:
      return Qt::HorPattern;
    case 1:
      return Qt::VerPattern;
    case 2:
      return Qt::FDiagPattern;
    case 3:
      return Qt::BDiagPattern;
    case 4:
      return Qt::CrossPattern;
    case 5:
      return Qt::DiagCrossPattern;
    default:
      return Qt::SolidPattern;
  }
}

Qt::PenStyle DashStyle(int style) {
  switch (style) {
    case kPsDash:
      return Qt::DashLine;
    case kPsDot:
      return Qt::DotLine;
    case kPsDashDot:
      return Qt::DashDotLine;
    case kPsDashDotDot:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

GdiObject StockBrush(int style, QColor colour) {
  GdiObject object;
  object.kind = GdiObject::Kind::Brush;
  object.brush.style = style;
  object.brush.colour = colour;
  return object;
}

GdiObject StockPen(int style, QColor colour) {
  GdiObject object;
  object.kind = GdiObject::Kind::Pen;
  object.pen.style = style;
  object.pen.colour = colour;
  return object;
}

}  // namespace

QColor ColourFromRef(uint32_t colourRef) {
  return QColor(colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF);
}

GdiObject StockObject(uint32_t index) {
  switch (index) {
    case 0:
      return StockBrush(kBsSolid, Qt::white);
    case 1:
      return StockBrush(kBsSolid, QColor(0xC0, 0xC0, 0xC0));
    case 2:
      return StockBrush(kBsSolid, QColor(0x80, 0x80, 0x80));
    case 3:
      return StockBrush(kBsSolid, QColor(0x40, 0x40, 0x40));
    case 4:
      return StockBrush(kBsSolid, Qt::black);
    case 5:
      return StockBrush(kBsNull, Qt::black);
    case 6:
      return StockPen(kPsSolid, Qt::white);
    case 7:
      return StockPen(kPsSolid, Qt::black);
    case 8:
      return StockPen(kPsNull, Qt::black);
    default:
      return {};
  }
}

MetafileCanvas::MetafileCanvas(QPainter& painter, std::function<QTransform(const GdiMapping&)> mapping)
    : painter_(painter), mapping_(std::move(mapping)), base_(painter.worldTransform()) {}

void MetafileCanvas::Select(const GdiObject& object) {
  if (object.kind == GdiObject::Kind::Pen) state_.pen = object.pen;
  if (object.kind == GdiObject::Kind::Brush) state_.brush = object.brush;
}

void MetafileCanvas::SaveState() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void MetafileCanvas::RestoreState(int level) {
  const int count = static_cast<int>(saved_.size());
  const int keep = level < 0 ? count + level : level - 1;
  if (level == 0 || keep < 0 || keep >= count) return;
  state_ = saved_[static_cast<size_t>(keep)];
  saved_.resize(static_cast<size_t>(keep));
}

void MetafileCanvas::MoveTo(QPointF point) {
  state_.position = point;
  if (recording_) path_.moveTo(point);
}

void MetafileCanvas::LineTo(QPointF point) {
  QPainterPath line(state_.position);
  line.lineTo(point);
  state_.position = point;
  Emit(line, false, true);
}

void MetafileCanvas::Polyline(const QPolygonF& points) {
  if (points.size() < 2) return;
  QPainterPath line;
  line.addPolygon(points);
  Emit(line, false, true);
}

void MetafileCanvas::PolylineTo(const QPolygonF& points) {
  if (points.isEmpty()) return;
  QPolygonF line{state_.position};
  line += points;
  state_.position = points.last();
  Polyline(line);
}

void MetafileCanvas::Polygons(const std::vector<QPolygonF>& polygons) {
  QPainterPath shape;
  for (const QPolygonF& polygon : polygons) {
    if (polygon.size() < 2) continue;
    shape.addPolygon(polygon);
    shape.closeSubpath();
  }
  if (!shape.isEmpty()) Emit(shape, true, true);
}

void MetafileCanvas::Polylines(const std::vector<QPolygonF>& polylines) {
  for (const QPolygonF& polyline : polylines) Polyline(polyline);
}

void MetafileCanvas::Bezier(const QPolygonF& points) {
  if (points.size() < 4) return;
  QPainterPath curve(points[0]);
  for (qsizetype i = 1; i + 2 < points.size(); i += 3) curve.cubicTo(points[i], points[i + 1], points[i + 2]);
  Emit(curve, false, true);
}

void MetafileCanvas::BezierTo(const QPolygonF& points) {
  if (points.size() < 3) return;
  QPolygonF curve{state_.position};
  curve += points;
  state_.position = curve[(curve.size() - 1) / 3 * 3];
  Bezier(curve);
}

void MetafileCanvas::Rectangle(const QRectF& box) {
  QPainterPath shape;
  shape.addRect(box.normalized());
  Emit(shape, true, true);
}

void MetafileCanvas::RoundRect(const QRectF& box, const QSizeF& corner) {
  QPainterPath shape;
  shape.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
  Emit(shape, true, true);
}

void MetafileCanvas::Ellipse(const QRectF& box) {
  QPainterPath shape;
  shape.addEllipse(box.normalized());
  Emit(shape, true, true);
}

void MetafileCanvas::BeginPath() {
  path_ = QPainterPath();
  recording_ = true;
}

void MetafileCanvas::CloseFigure() {
  if (recording_) path_.closeSubpath();
}

void MetafileCanvas::AbortPath() {
  path_ = QPainterPath();
  recording_ = false;
}

// Inside a path bracket shapes become part of the path instead of being drawn.
void MetafileCanvas::Emit(const QPainterPath& shape, bool fill, bool stroke) {
  if (recording_) {
    path_.addPath(shape);
    return;
  }
  Paint(shape, fill, stroke);
}

void MetafileCanvas::DrawRecordedPath(bool fill, bool stroke) {
  if (recording_) return;
  Paint(path_, fill, stroke);
  path_ = QPainterPath();
}

void MetafileCanvas::Paint(QPainterPath shape, bool fill, bool stroke) {
  const QTransform toTarget = mapping_(state_.mapping) * base_;
  if (!toTarget.isInvertible() || shape.isEmpty()) return;
  const double halfPen = stroke ? std::abs(state_.pen.width) / 2 : 0;
  if (!IsReasonable(toTarget.mapRect(shape.controlPointRect().adjusted(-halfPen, -halfPen, halfPen, halfPen)))) return;
  shape.setFillRule(state_.fillRule);
  painter_.setWorldTransform(toTarget);
  painter_.setPen(stroke ? Pen() : QPen(Qt::NoPen));
  painter_.setBrush(fill ? Brush() : QBrush(Qt::NoBrush));
  painter_.drawPath(shape);
}

// A dashed style applies to one-pixel pens only; wider pens draw solid lines, which is
// how pictures stored as metafiles are drawn to look. Pen width 0 is one pixel wide.
QPen MetafileCanvas::Pen() const {
  const GdiPen& pen = state_.pen;
  if (pen.style == kPsNull) return QPen(Qt::NoPen);
  QPen result(pen.colour);
  result.setWidthF(std::abs(pen.width));
  result.setStyle(std::abs(pen.width) > 1 ? Qt::SolidLine : DashStyle(pen.style));
  result.setCapStyle(Qt::RoundCap);
  result.setJoinStyle(Qt::RoundJoin);
  return result;
}

QBrush MetafileCanvas::Brush() const {
  const GdiBrush& brush = state_.brush;
  switch (brush.style) {
    case kBsSolid:
      return QBrush(brush.colour);
    case kBsHatched:
      return QBrush(brush.colour, HatchStyle(brush.hatch));
    default:
      return QBrush(Qt::NoBrush);
  }
}
