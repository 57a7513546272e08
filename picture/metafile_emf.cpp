// Playback of enhanced metafiles.
#include "picture/byte_view.h"
#include "picture/metafile_canvas.h"
#include "picture/metafile_player.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kStockObjectBit = 0x80000000u;

enum EmfRecord : uint32_t {
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolylineTo = 6,
  kPolyPolyline = 7,
  kPolyPolygon = 8,
  kSetWindowExtEx = 9,
  kSetWindowOrgEx = 10,
  kSetViewportExtEx = 11,
  kSetViewportOrgEx = 12,
  kEof = 14,
  kSetMapMode = 17,
  kSetPolyFillMode = 19,
  kMoveToEx = 27,
  kSaveDc = 33,
  kRestoreDc = 34,
  kSetWorldTransform = 35,
  kModifyWorldTransform = 36,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrushIndirect = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kRectangle = 43,
  kRoundRect = 44,
  kCreatePalette = 49,
  kLineTo = 54,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kFillPath = 62,
  kStrokeAndFillPath = 63,
  kStrokePath = 64,
  kAbortPath = 68,
  kExtCreateFontIndirectW = 82,
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyBezierTo16 = 88,
  kPolylineTo16 = 89,
  kPolyPolyline16 = 90,
  kPolyPolygon16 = 91,
  kCreateMonoBrush = 93,
  kCreateDibPatternBrushPt = 94,
  kExtCreatePen = 95,
};

enum MapMode { kMmText = 1, kMmLoMetric, kMmHiMetric, kMmLoEnglish, kMmHiEnglish, kMmTwips, kMmIsotropic, kMmAnisotropic };

// Millimetres per logical unit of the fixed mapping modes.
double MillimetresPerUnit(int mode) {
  switch (mode) {
    case kMmLoMetric:
      return 0.1;
    case kMmHiMetric:
      return 0.01;
    case kMmLoEnglish:
      return 0.254;
    case kMmHiEnglish:
      return 0.0254;
    case kMmTwips:
      return 25.4 / 1440;
    default:
      return 0;
  }
}

// The isotropic mode keeps units square: both axes take the smaller scale.
QSizeF IsotropicScale(QSizeF scale) {
  const double smaller = std::min(std::abs(scale.width()), std::abs(scale.height()));
  return QSizeF(std::copysign(smaller, scale.width()), std::copysign(smaller, scale.height()));
}

class EmfPlayer {
 public:
  EmfPlayer(const ByteView& file, const MetafileHeader& header, QPainter& painter, const QRectF& target)
      : file_(file),
        header_(header),
        target_(target),
        objects_(static_cast<size_t>(header.handles)),
        canvas_(painter, [this](const GdiMapping& mapping) { return LogicalToTarget(mapping); }) {
    SetUpDeviceToTarget();
  }

  void Play() {
    size_t at = 0;
    while (file_.Has(at, 8)) {
      const uint32_t type = file_.U32(at);
      const uint32_t size = file_.U32(at + 4);
      if (size < 8 || size % 4 != 0 || !file_.Has(at, size)) return;
      if (type == kEof) return;
      try {
        PlayRecord(type, file_.Sub(at, size));
      } catch (const EInvalidGraphic&) {
        // A record too short for its fields is skipped.
      }
      at += size;
    }
  }

 private:
  // Device pixels of the reference device to the target: through the frame in 0.01 mm
  // when it is usable, else through the bounds, else one to one.
  void SetUpDeviceToTarget() {
    const QSize pixels = header_.devicePixels;
    const QSize millimetres = header_.deviceMillimetres;
    const bool knownDevice = pixels.width() > 0 && pixels.height() > 0 && millimetres.width() > 0 &&
                             millimetres.height() > 0;
    pixelsPerMm_ = knownDevice ? QSizeF(double(pixels.width()) / millimetres.width(),
                                        double(pixels.height()) / millimetres.height())
                               : QSizeF(kMetafileScreenDpi / 25.4, kMetafileScreenDpi / 25.4);
    const QRect frame = header_.frame;
    const double frameWidth = double(frame.right()) - frame.left();
    const double frameHeight = double(frame.bottom()) - frame.top();
    const QRect bounds = header_.bounds;
    const double boundsWidth = double(bounds.right()) - bounds.left() + 1;
    const double boundsHeight = double(bounds.bottom()) - bounds.top() + 1;
    QTransform toTarget;
    if (frameWidth > 0 && frameHeight > 0) {
      // pixels -> 0.01 mm -> target
      toTarget.scale(100 / pixelsPerMm_.width(), 100 / pixelsPerMm_.height());
      toTarget *= QTransform::fromTranslate(-double(frame.left()), -double(frame.top()));
      toTarget *= QTransform::fromScale(target_.width() / frameWidth, target_.height() / frameHeight);
    } else if (boundsWidth > 0 && boundsHeight > 0) {
      toTarget.translate(-double(bounds.left()), -double(bounds.top()));
      toTarget *= QTransform::fromScale(target_.width() / boundsWidth, target_.height() / boundsHeight);
    }
    deviceToTarget_ = toTarget * QTransform::fromTranslate(target_.left(), target_.top());
  }

  QTransform PageToDevice(const GdiMapping& mapping) const {
    QSizeF scale(1, 1);
    if (mapping.mode == kMmIsotropic || mapping.mode == kMmAnisotropic) {
      if (mapping.windowExt.width() == 0 || mapping.windowExt.height() == 0) return QTransform(0, 0, 0, 0, 0, 0);
      scale = QSizeF(mapping.viewportExt.width() / mapping.windowExt.width(),
                     mapping.viewportExt.height() / mapping.windowExt.height());
      if (mapping.mode == kMmIsotropic) scale = IsotropicScale(scale);
    } else if (const double mm = MillimetresPerUnit(mapping.mode); mm > 0) {
      scale = QSizeF(mm * pixelsPerMm_.width(), -mm * pixelsPerMm_.height());
    }
    return QTransform::fromTranslate(-mapping.windowOrg.x(), -mapping.windowOrg.y()) *
           QTransform::fromScale(scale.width(), scale.height()) *
           QTransform::fromTranslate(mapping.viewportOrg.x(), mapping.viewportOrg.y());
  }

  QTransform LogicalToTarget(const GdiMapping& mapping) const {
    return mapping.world * PageToDevice(mapping) * deviceToTarget_;
  }

  static QPointF PointL(const ByteView& record, size_t at) { return QPointF(record.I32(at), record.I32(at + 4)); }
  static QPointF PointS(const ByteView& record, size_t at) { return QPointF(record.I16(at), record.I16(at + 2)); }
  static QRectF RectL(const ByteView& record, size_t at) { return QRectF(PointL(record, at), PointL(record, at + 8)); }

  // count points from at: 8 bytes each, or 4 in the 16-bit records.
  static QPolygonF Points(const ByteView& record, size_t at, uint64_t count, bool sixteenBit) {
    const size_t pointBytes = sixteenBit ? 4 : 8;
    record.Require(at, count * pointBytes);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i) {
      const size_t offset = at + i * pointBytes;
      points.append(sixteenBit ? PointS(record, offset) : PointL(record, offset));
    }
    return points;
  }

  // Bounds, count, points: the layout of the single-polygon records.
  static QPolygonF PolyPoints(const ByteView& record, bool sixteenBit) {
    return Points(record, 28, record.U32(24), sixteenBit);
  }

  // Bounds, number of polygons, total points, the points per polygon, then all points.
  static std::vector<QPolygonF> PolyPolyPoints(const ByteView& record, bool sixteenBit) {
    const uint64_t polygons = record.U32(24);
    const uint64_t total = record.U32(28);
    record.Require(32, polygons * 4);
    const QPolygonF points = Points(record, 32 + polygons * 4, total, sixteenBit);
    std::vector<QPolygonF> result;
    qsizetype next = 0;
    for (size_t i = 0; i < polygons; ++i) {
      const uint32_t count = record.U32(32 + 4 * i);
      if (count > static_cast<uint64_t>(points.size() - next)) break;
      result.push_back(points.mid(next, count));
      next += count;
    }
    return result;
  }

  void PlayRecord(uint32_t type, const ByteView& record) {
    if (PlayMapping(type, record) || PlayObject(type, record) || PlayPath(type)) return;
    PlayShape(type, record);
  }

  bool PlayMapping(uint32_t type, const ByteView& record) {
    GdiMapping& mapping = canvas_.State().mapping;
    switch (type) {
      case kSetWindowExtEx:
        mapping.windowExt = QSizeF(record.I32(8), record.I32(12));
        return true;
      case kSetWindowOrgEx:
        mapping.windowOrg = PointL(record, 8);
        return true;
      case kSetViewportExtEx:
        mapping.viewportExt = QSizeF(record.I32(8), record.I32(12));
        return true;
      case kSetViewportOrgEx:
        mapping.viewportOrg = PointL(record, 8);
        return true;
      case kSetMapMode:
        if (record.U32(8) >= kMmText && record.U32(8) <= kMmAnisotropic) mapping.mode = static_cast<int>(record.U32(8));
        return true;
      case kSetWorldTransform:
        SetWorldTransform(ReadTransform(record), 0);
        return true;
      case kModifyWorldTransform:
        SetWorldTransform(ReadTransform(record), record.U32(32));
        return true;
      case kSaveDc:
        canvas_.SaveState();
        return true;
      case kRestoreDc:
        canvas_.RestoreState(record.I32(8));
        return true;
      default:
        return false;
    }
  }

  static float ReadFloat(const ByteView& record, size_t at) {
    const uint32_t bits = record.U32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  static QTransform ReadTransform(const ByteView& record) {
    double m[6];
    for (size_t i = 0; i < 6; ++i) m[i] = ReadFloat(record, 8 + 4 * i);
    for (const double value : m) {
      if (!std::isfinite(value)) record.Fail();
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
  }

  // Modes 0 and 4 set; 1 resets to identity; 2 applies the new transform before the
  // old one; 3 after it.
  void SetWorldTransform(const QTransform& transform, uint32_t mode) {
    QTransform& world = canvas_.State().mapping.world;
    switch (mode) {
      case 0:
      case 4:
        world = transform;
        break;
      case 1:
        world.reset();
        break;
      case 2:
        world = transform * world;
        break;
      case 3:
        world = world * transform;
        break;
      default:
        break;
    }
  }

  void Store(uint32_t handle, const GdiObject& object) {
    if (handle > 0 && handle < objects_.size()) objects_[handle] = object;
  }

  bool PlayObject(uint32_t type, const ByteView& record) {
    switch (type) {
      case kCreatePen:
        Store(record.U32(8), MakePen(record.U32(12), record.I32(16), record.U32(24)));
        return true;
      case kExtCreatePen:
        Store(record.U32(8), MakeExtPen(record));
        return true;
      case kCreateBrushIndirect:
        Store(record.U32(8), MakeBrush(record.U32(12), record.U32(16), record.U32(20)));
        return true;
      case kCreateMonoBrush:
      case kCreateDibPatternBrushPt:
        Store(record.U32(8), MakeBrush(kBsNull, 0, 0));
        return true;
      case kCreatePalette:
      case kExtCreateFontIndirectW:
        Store(record.U32(8), GdiObject{GdiObject::Kind::Other, {}, {}});
        return true;
      case kSelectObject:
        SelectObject(record.U32(8));
        return true;
      case kDeleteObject:
        Store(record.U32(8), GdiObject{});
        return true;
      default:
        return false;
    }
  }

  static GdiObject MakePen(uint32_t style, int32_t width, uint32_t colour) {
    GdiObject object;
    object.kind = GdiObject::Kind::Pen;
    object.pen.style = static_cast<int>(style & 0x0F);
    object.pen.width = width;
    object.pen.colour = ColourFromRef(colour);
    return object;
  }

  // Cosmetic extended pens are one pixel wide whatever width they state.
  static GdiObject MakeExtPen(const ByteView& record) {
    const uint32_t style = record.U32(28);
    const bool geometric = (style & 0x00010000u) != 0;
    return MakePen(style, geometric ? static_cast<int32_t>(record.U32(32)) : 0, record.U32(40));
  }

  static GdiObject MakeBrush(uint32_t style, uint32_t colour, uint32_t hatch) {
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.brush.style = style == kBsSolid || style == kBsHatched ? static_cast<int>(style) : kBsNull;
    object.brush.colour = ColourFromRef(colour);
    object.brush.hatch = static_cast<int>(hatch);
    return object;
  }

  void SelectObject(uint32_t handle) {
    if (handle & kStockObjectBit) {
      canvas_.Select(StockObject(handle & ~kStockObjectBit));
    } else if (handle < objects_.size()) {
      canvas_.Select(objects_[handle]);
    }
  }

  bool PlayPath(uint32_t type) {
    switch (type) {
      case kBeginPath:
        canvas_.BeginPath();
        return true;
      case kEndPath:
        canvas_.EndPath();
        return true;
      case kCloseFigure:
        canvas_.CloseFigure();
        return true;
      case kAbortPath:
        canvas_.AbortPath();
        return true;
      case kFillPath:
        canvas_.FillPath();
        return true;
      case kStrokePath:
        canvas_.StrokePath();
        return true;
      case kStrokeAndFillPath:
        canvas_.StrokeAndFillPath();
        return true;
      default:
        return false;
    }
  }

  void PlayShape(uint32_t type, const ByteView& record) {
    const bool small = type >= kPolyBezier16 && type <= kPolyPolygon16;
    switch (type) {
      case kPolygon:
      case kPolygon16:
        canvas_.Polygons({PolyPoints(record, small)});
        break;
      case kPolyline:
      case kPolyline16:
        canvas_.Polyline(PolyPoints(record, small));
        break;
      case kPolylineTo:
      case kPolylineTo16:
        canvas_.PolylineTo(PolyPoints(record, small));
        break;
      case kPolyBezier:
      case kPolyBezier16:
        canvas_.Bezier(PolyPoints(record, small));
        break;
      case kPolyBezierTo:
      case kPolyBezierTo16:
        canvas_.BezierTo(PolyPoints(record, small));
        break;
      case kPolyPolygon:
      case kPolyPolygon16:
        canvas_.Polygons(PolyPolyPoints(record, small));
        break;
      case kPolyPolyline:
      case kPolyPolyline16:
        canvas_.Polylines(PolyPolyPoints(record, small));
        break;
      case kRectangle:
        canvas_.Rectangle(RectL(record, 8));
        break;
      case kRoundRect:
        canvas_.RoundRect(RectL(record, 8), QSizeF(record.I32(24), record.I32(28)));
        break;
      case kEllipse:
        canvas_.Ellipse(RectL(record, 8));
        break;
      case kMoveToEx:
        canvas_.MoveTo(PointL(record, 8));
        break;
      case kLineTo:
        canvas_.LineTo(PointL(record, 8));
        break;
      case kSetPolyFillMode:
        canvas_.State().fillRule = record.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
      default:
        break;
    }
  }

  const ByteView& file_;
  const MetafileHeader& header_;
  const QRectF target_;
  QSizeF pixelsPerMm_;
  QTransform deviceToTarget_;
  std::vector<GdiObject> objects_;
  MetafileCanvas canvas_;
};

}  // namespace

void PlayEnhancedMetafile(const uint8_t* data, size_t size, const MetafileHeader& header, QPainter& painter,
                          const QRectF& target) {
  const ByteView file(data, size, kInvalidMetafile);
  EmfPlayer(file, header, painter, target).Play();
}
