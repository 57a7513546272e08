#pragma once
// The image control: draws its picture holder's picture, stretched over its client
// area when Stretch is set; with IncrementalDisplay it redraws the partly decoded
// picture while a JPEG decodes, and it forwards progress to OnProgress.

#include "picture/graphic.h"
#include "framework/control.h"

#include <memory>

class TPicture;

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  QString ClassName() const override { return QStringLiteral("TImage"); }

  TPicture* Picture() const { return picture_.get(); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  void SetIncrementalDisplay(bool incremental) { incrementalDisplay_ = incremental; }

  TProgressEvent OnProgress;

  // Decodes a JPEG picture that no paint has decoded yet (a paint asks for this, so the
  // decode runs right after the paint, where partial redraws can reach the screen).
  void DecodePending();

 protected:
  void Paint(QPainter& painter) override;

 private:
  void pictureChanged(TObject* sender);
  void pictureProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& r,
                       const QString& msg);
  QRect destRect();
  bool needsDecode() const;

  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool incrementalDisplay_ = false;
  bool decodeQueued_ = false;
  bool decoding_ = false;
  unsigned pictureGeneration_ = 0;  // counts the picture's changes
};
