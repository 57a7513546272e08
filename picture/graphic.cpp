#include "picture/graphic.h"

#include "platform/errors.h"
#include "platform/stream.h"

#include <typeinfo>

bool TGraphic::Equals(TGraphic* Graphic) {
  if (Graphic == nullptr || typeid(*Graphic) != typeid(*this)) {
    return false;
  }
  if (Graphic == this || (Empty() && Graphic->Empty())) {
    return true;
  }
  if (Empty() != Graphic->Empty()) {
    return false;
  }
  TMemoryStream mine;
  TMemoryStream theirs;
  SaveToStream(mine);
  Graphic->SaveToStream(theirs);
  return mine.Bytes() == theirs.Bytes();
}

void TGraphic::SetWidth(int) { throw EInvalidGraphicOperation(SizeRefusal()); }

void TGraphic::SetHeight(int) { throw EInvalidGraphicOperation(SizeRefusal()); }

void TGraphic::SetTransparent(bool Value) {
  if (Value != transparent_) {
    transparent_ = Value;
    Changed(this);
  }
}

void TGraphic::LoadFromFile(const QString& FileName) {
  TFileStream stream(FileName, TFileMode::fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const QString& FileName) {
  TFileStream stream(FileName, TFileMode::fmCreate);
  SaveToStream(stream);
}

void TGraphic::Changed(TObject* Sender) {
  (void)Sender;
  if (onChange_) {
    // A copy: the handler may replace the notification (or free this graphic's owner).
    const TNotifyEvent handler = onChange_;
    handler(this);
  }
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                        const QRect& R, const QString& Msg) {
  if (onProgress_) {
    const TProgressEvent handler = onProgress_;
    handler(Sender, Stage, PercentDone, RedrawNow, R, Msg);
  }
}
