#include "picture/image_control.h"

#include "picture/canvas.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"

#include <QMetaObject>
#include <QPainter>

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  SetBounds(0, 0, 105, 105);
  picture_->SetOnChange([this](TObject* sender) { pictureChanged(sender); });
  picture_->SetOnProgress([this](TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow,
                                 const QRect& r, const QString& msg) {
    pictureProgress(sender, stage, percent, redrawNow, r, msg);
  });
}

TImage::~TImage() { BeginDestruction(); }

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  Invalidate();
}

void TImage::pictureChanged(TObject*) {
  ++pictureGeneration_;
  Invalidate();
}

bool TImage::needsDecode() const {
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture_->Graphic());
  return jpeg && !jpeg->HasBitmap() && !jpeg->Empty();
}

QRect TImage::destRect() {
  TGraphic* graphic = picture_->Graphic();
  if (stretch_ || !graphic) return ClientRect();
  return QRect(0, 0, graphic->Width(), graphic->Height());
}

void TImage::Paint(QPainter& painter) {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic) return;
  // Painting cannot show rows while they are decoded, so the first paint of a JPEG
  // queues the decode right behind itself and shows the background until then.
  if (needsDecode() && !decoding_) {
    if (!decodeQueued_) {
      decodeQueued_ = true;
      // A picture replaced before the decode runs is left alone: it has not been
      // painted, and its own first paint queues its decode.
      QMetaObject::invokeMethod(
          widget_,
          [this, generation = pictureGeneration_] {
            if (generation == pictureGeneration_) {
              DecodePending();
            } else {
              decodeQueued_ = false;
              Invalidate();
            }
          },
          Qt::QueuedConnection);
    }
    return;
  }
  TCanvas canvas(&painter);
  canvas.StretchDraw(destRect(), graphic);
}

void TImage::DecodePending() {
  decodeQueued_ = false;
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture_->Graphic());
  if (!jpeg || jpeg->HasBitmap()) return;
  struct Flag {
    bool& flag;
    explicit Flag(bool& f) : flag(f) { flag = true; }
    ~Flag() { flag = false; }
  } decoding(decoding_);
  // A decoding error passes on to the application's error report; the picture keeps
  // what was decoded and is not decoded again.
  Invalidate();
  jpeg->Bitmap();
}

void TImage::pictureProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& r,
                             const QString& msg) {
  if (incrementalDisplay_ && redrawNow && widget_ && widget_->isVisible()) widget_->repaint();
  if (OnProgress) OnProgress(sender, stage, percent, redrawNow, r, msg);
}
