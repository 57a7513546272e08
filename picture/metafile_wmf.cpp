// Playback of placeable Windows metafiles.
#include "picture/byte_view.h"
#include "picture/metafile_canvas.h"
#include "picture/metafile_player.h"

#include <functional>
#include <queue>
#include <vector>

namespace {

constexpr size_t kPlaceableHeaderBytes = 22;
constexpr uint16_t kMinimumHeaderWords = 9;

enum WmfRecord : uint16_t {
  kEof = 0x0000,
  kSaveDc = 0x001E,
  kCreatePalette = 0x00F7,
  kSetPolyFillMode = 0x0106,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kCreateRegion = 0x06FF,
};

// The object table of a Windows metafile: a new object takes the lowest free place, and
// when no place is free it is dropped. The free places are kept in a min-heap, so a
// create or delete costs a logarithm of the table's size, never a search through it; a
// forged file may fill all 65535 places and go on creating.
class WmfObjectTable {
 public:
  void Resize(size_t size) {
    slots_.assign(size, GdiObject{});
    std::vector<uint16_t> all(size);
    for (size_t i = 0; i < size; ++i) all[i] = static_cast<uint16_t>(i);
    // Ascending order already is a min-heap.
    free_ = FreePlaces(std::greater<>(), std::move(all));
  }

  void Create(const GdiObject& object) {
    if (free_.empty()) return;
    slots_[free_.top()] = object;
    free_.pop();
  }

  void Delete(size_t index) {
    if (index >= slots_.size() || slots_[index].kind == GdiObject::Kind::Empty) return;
    slots_[index] = GdiObject{};
    free_.push(static_cast<uint16_t>(index));
  }

  const GdiObject* At(size_t index) const { return index < slots_.size() ? &slots_[index] : nullptr; }

 private:
  using FreePlaces = std::priority_queue<uint16_t, std::vector<uint16_t>, std::greater<>>;
  std::vector<GdiObject> slots_;
  FreePlaces free_;
};

class WmfPlayer {
 public:
  WmfPlayer(const ByteView& file, const MetafileHeader& header, QPainter& painter, const QRectF& target)
      : file_(file), target_(target), canvas_(painter, [this](const GdiMapping& m) { return LogicalToTarget(m); }) {
    GdiMapping& mapping = canvas_.State().mapping;
    mapping.windowOrg = header.box.topLeft();
    mapping.windowExt = QSizeF(double(header.box.right()) - header.box.left(), double(header.box.bottom()) - header.box.top());
  }

  void Play() {
    const uint16_t headerWords = file_.U16(kPlaceableHeaderBytes + 2);
    if (headerWords < kMinimumHeaderWords) return;
    objects_.Resize(file_.U16(kPlaceableHeaderBytes + 10));
    size_t at = kPlaceableHeaderBytes + size_t{headerWords} * 2;
    while (file_.Has(at, 6)) {
      const uint64_t bytes = uint64_t{file_.U32(at)} * 2;
      const uint16_t function = file_.U16(at + 4);
      if (bytes < 6 || !file_.Has(at, bytes) || function == kEof) return;
      try {
        PlayRecord(function, file_.Sub(at, bytes));
      } catch (const EInvalidGraphic&) {
        // A record too short for its parameters is skipped.
      }
      at += bytes;
    }
  }

 private:
  // The window fills the target rectangle.
  QTransform LogicalToTarget(const GdiMapping& mapping) const {
    const QSizeF ext = mapping.windowExt;
    if (ext.width() == 0 || ext.height() == 0) return QTransform(0, 0, 0, 0, 0, 0);
    return QTransform::fromTranslate(-mapping.windowOrg.x(), -mapping.windowOrg.y()) *
           QTransform::fromScale(target_.width() / ext.width(), target_.height() / ext.height()) *
           QTransform::fromTranslate(target_.left(), target_.top());
  }

  // Parameters are 16-bit words from byte 6; points and rectangles are stored y first.
  static int16_t Word(const ByteView& record, size_t index) { return record.I16(6 + 2 * index); }
  static QPointF PointYX(const ByteView& record, size_t index) {
    return QPointF(Word(record, index + 1), Word(record, index));
  }
  // bottom, right, top, left from the given word.
  static QRectF Box(const ByteView& record, size_t index) {
    return QRectF(QPointF(Word(record, index + 3), Word(record, index + 2)),
                  QPointF(Word(record, index + 1), Word(record, index)));
  }

  static QPolygonF Points(const ByteView& record, size_t at, uint64_t count) {
    record.Require(at, count * 4);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i) points.append(QPointF(record.I16(at + 4 * i), record.I16(at + 4 * i + 2)));
    return points;
  }

  static std::vector<QPolygonF> PolyPolygon(const ByteView& record) {
    const size_t polygons = record.U16(6);
    std::vector<QPolygonF> result;
    size_t at = 8 + 2 * polygons;
    for (size_t i = 0; i < polygons; ++i) {
      const uint16_t count = record.U16(8 + 2 * i);
      result.push_back(Points(record, at, count));
      at += size_t{count} * 4;
    }
    return result;
  }

  void PlayRecord(uint16_t function, const ByteView& record) {
    if (PlayState(function, record) || PlayObject(function, record)) return;
    PlayShape(function, record);
  }

  bool PlayState(uint16_t function, const ByteView& record) {
    GdiMapping& mapping = canvas_.State().mapping;
    switch (function) {
      case kSetWindowOrg:
        mapping.windowOrg = PointYX(record, 0);
        return true;
      case kSetWindowExt:
        mapping.windowExt = QSizeF(Word(record, 1), Word(record, 0));
        return true;
      case kSetPolyFillMode:
        canvas_.State().fillRule = Word(record, 0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        return true;
      case kSaveDc:
        canvas_.SaveState();
        return true;
      case kRestoreDc:
        canvas_.RestoreState(Word(record, 0));
        return true;
      default:
        return false;
    }
  }

  bool PlayObject(uint16_t function, const ByteView& record) {
    switch (function) {
      case kCreatePenIndirect: {
        GdiObject pen{GdiObject::Kind::Pen, {}, {}};
        pen.pen.style = record.U16(6) & 0x0F;
        pen.pen.width = record.I16(8);
        pen.pen.colour = ColourFromRef(record.U32(12));
        objects_.Create(pen);
        return true;
      }
      case kCreateBrushIndirect: {
        GdiObject brush{GdiObject::Kind::Brush, {}, {}};
        const uint16_t style = record.U16(6);
        brush.brush.style = style == kBsSolid || style == kBsHatched ? int{style} : int{kBsNull};
        brush.brush.colour = ColourFromRef(record.U32(8));
        brush.brush.hatch = record.U16(12);
        objects_.Create(brush);
        return true;
      }
      case kCreatePatternBrush:
      case kDibCreatePatternBrush: {
        GdiObject brush{GdiObject::Kind::Brush, {}, {}};
        brush.brush.style = kBsNull;
        objects_.Create(brush);
        return true;
      }
      case kCreatePalette:
      case kCreateFontIndirect:
      case kCreateRegion:
        objects_.Create(GdiObject{GdiObject::Kind::Other, {}, {}});
        return true;
      case kSelectObject:
        if (const GdiObject* object = objects_.At(record.U16(6))) canvas_.Select(*object);
        return true;
      case kDeleteObject:
        objects_.Delete(record.U16(6));
        return true;
      default:
        return false;
    }
  }

  void PlayShape(uint16_t function, const ByteView& record) {
    switch (function) {
      case kMoveTo:
        canvas_.MoveTo(PointYX(record, 0));
        break;
      case kLineTo:
        canvas_.LineTo(PointYX(record, 0));
        break;
      case kRectangle:
        canvas_.Rectangle(Box(record, 0));
        break;
      case kEllipse:
        canvas_.Ellipse(Box(record, 0));
        break;
      case kRoundRect:
        canvas_.RoundRect(Box(record, 2), QSizeF(Word(record, 1), Word(record, 0)));
        break;
      case kPolygon:
        canvas_.Polygons({Points(record, 8, record.U16(6))});
        break;
      case kPolyline:
        canvas_.Polyline(Points(record, 8, record.U16(6)));
        break;
      case kPolyPolygon:
        canvas_.Polygons(PolyPolygon(record));
        break;
      default:
        break;
    }
  }

  const ByteView& file_;
  const QRectF target_;
  WmfObjectTable objects_;
  MetafileCanvas canvas_;
};

}  // namespace

void PlayPlaceableMetafile(const uint8_t* data, size_t size, const MetafileHeader& header, QPainter& painter,
                           const QRectF& target) {
  const ByteView file(data, size, kInvalidMetafile);
  try {
    WmfPlayer(file, header, painter, target).Play();
  } catch (const EInvalidGraphic&) {
    // No metafile header after the placeable one: nothing to draw.
  }
}
