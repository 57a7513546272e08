#include "picture/metafile.h"

#include "picture/byte_view.h"
#include "picture/canvas.h"
#include "picture/metafile_player.h"
#include "platform/errors.h"
#include "platform/mul_div.h"
#include "platform/stream.h"

#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

// A metafile is a list of drawing records; larger files are not pictures we can use.
constexpr int64_t kMaxMetafileBytes = int64_t{1} << 28;

int PixelsOf(int64_t hundredthMm) {
  return static_cast<int>(std::clamp<int64_t>(MulDiv(hundredthMm, kMetafileScreenDpi, kHundredthMmPerInch), 0, INT_MAX));
}

// Draws the records clipped to the target.
void PlayMetafile(const uint8_t* data, size_t size, const MetafileHeader& header, QPainter& painter,
                  const QRectF& target) {
  painter.setClipRect(target.normalized(), Qt::IntersectClip);
  if (header.enhanced) {
    PlayEnhancedMetafile(data, size, header, painter, target);
  } else {
    PlayPlaceableMetafile(data, size, header, painter, target);
  }
}

}  // namespace

TMetafile::TMetafile() = default;

std::unique_ptr<TGraphic> TMetafile::NewSameKind() const { return std::make_unique<TMetafile>(); }

void TMetafile::Assign(TPersistent* Source) {
  if (Source != nullptr && dynamic_cast<TMetafile*>(Source) == nullptr) {
    TGraphic::Assign(Source);
    return;
  }
  const auto* source = static_cast<TMetafile*>(Source);
  data_ = source != nullptr ? source->data_ : nullptr;
  mmWidth_ = source != nullptr ? source->mmWidth_ : 0;
  mmHeight_ = source != nullptr ? source->mmHeight_ : 0;
  Changed(this);
}

int TMetafile::Width() { return PixelsOf(mmWidth_); }

int TMetafile::Height() { return PixelsOf(mmHeight_); }

void TMetafile::SetWidth(int Value) {
  mmWidth_ = MulDiv(Value, kHundredthMmPerInch, kMetafileScreenDpi);
  Changed(this);
}

void TMetafile::SetHeight(int Value) {
  mmHeight_ = MulDiv(Value, kHundredthMmPerInch, kMetafileScreenDpi);
  Changed(this);
}

void TMetafile::LoadFromStream(TStream& Stream) {
  QByteArray file = ReadRestOfStream(Stream, kMaxMetafileBytes);
  const MetafileHeader header =
      ReadMetafileHeader(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
  data_ = std::make_shared<const Data>(Data{std::move(file), header});
  mmWidth_ = header.mmWidth;
  mmHeight_ = header.mmHeight;
  Changed(this);
}

void TMetafile::SaveToStream(TStream& Stream) {
  if (data_) Stream.WriteBuffer(data_->file.constData(), data_->file.size());
}

void TMetafile::Draw(TCanvas& ACanvas, const QRect& Rect) {
  QPainter* painter = ACanvas.Painter();
  if (!data_ || painter == nullptr || Rect.width() == 0 || Rect.height() == 0) return;
  painter->save();
  PlayMetafile(reinterpret_cast<const uint8_t*>(data_->file.constData()), static_cast<size_t>(data_->file.size()),
               data_->header, *painter, QRectF(Rect.topLeft(), QSizeF(Rect.width(), Rect.height())));
  painter->restore();
}
