#include "picture/picture.h"

#include "picture/bitmap.h"
#include "picture/file_formats.h"
#include "platform/errors.h"

#include <typeinfo>

namespace {

template <class Kind>
bool IsExactly(const TObject& object) {
  return typeid(object) == typeid(Kind);
}

bool SameKind(const TObject& a, const TObject& b) { return typeid(a) == typeid(b); }

}  // namespace

QString FileNameExtension(const QString& FileName) {
  const qsizetype nameStart = FileName.lastIndexOf(QLatin1Char('/')) + 1;
  const qsizetype dot = FileName.lastIndexOf(QLatin1Char('.'));
  return dot >= nameStart ? FileName.mid(dot + 1) : QString();
}

TPicture::TPicture() = default;

TPicture::~TPicture() {
  // The graphic may still report to us while it goes.
  if (graphic_) {
    graphic_->SetOnChange(nullptr);
    graphic_->SetOnProgress(nullptr);
  }
}

void TPicture::bindProgress(TGraphic& graphic) {
  graphic.SetOnProgress([this](TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                               const QRect& R, const QString& Msg) {
    Progress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
  });
}

void TPicture::bindChange(TGraphic& graphic) {
  graphic.SetOnChange([this](TObject* Sender) { Changed(Sender); });
}

void TPicture::replaceGraphic(std::unique_ptr<TGraphic> graphic) {
  if (graphic) {
    bindChange(*graphic);
    bindProgress(*graphic);
  }
  // Swap first: the old graphic is freed only once it is no longer ours.
  std::unique_ptr<TGraphic> old = std::exchange(graphic_, std::move(graphic));
  old.reset();
  Changed(this);
}

void TPicture::LoadFromFile(const QString& FileName) {
  const QString extension = FileNameExtension(FileName);
  const TFileFormat* format = GetFileFormats().FindExt(extension);
  if (format == nullptr) {
    throw EInvalidGraphic(QStringLiteral("Unbekannte Bilddateierweiterung (.%1)").arg(extension));
  }
  std::unique_ptr<TGraphic> graphic = format->Create();
  bindProgress(*graphic);
  graphic->LoadFromFile(FileName);
  replaceGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const QString& FileName) {
  if (graphic_) {
    graphic_->SaveToFile(FileName);
  }
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::SetGraphic(TGraphic* Value) {
  std::unique_ptr<TGraphic> copy;
  if (Value != nullptr) {
    copy = Value->NewSameKind();
    copy->Assign(Value);
  }
  replaceGraphic(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!graphic_ || !IsExactly<TBitmap>(*graphic_)) {
    replaceGraphic(std::make_unique<TBitmap>());
  }
  return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (graphic_ && Dest != nullptr && SameKind(*graphic_, *Dest)) {
    Dest->Assign(graphic_.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TPicture::Changed(TObject* Sender) {
  (void)Sender;
  if (onChange_) {
    const TNotifyEvent handler = onChange_;
    handler(this);
  }
}

void TPicture::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const QRect& R,
                        const QString& Msg) {
  if (onProgress_) {
    const TProgressEvent handler = onProgress_;
    handler(Sender, Stage, PercentDone, RedrawNow, R, Msg);
  }
}
