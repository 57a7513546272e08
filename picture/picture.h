#pragma once
// The picture holder: owns at most one graphic, loads it from a file of a registered
// kind (chosen by the file's extension), copies it, and passes on its notifications.

#include "picture/graphic.h"
#include "platform/persistent.h"

#include <memory>

class TBitmap;

class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  QString ClassName() const override { return QStringLiteral("TPicture"); }

  // Replaces the graphic by a new one of the kind registered for the file's extension.
  // On any failure the holder keeps its previous graphic and the error passes on.
  void LoadFromFile(const QString& FileName);
  void SaveToFile(const QString& FileName);

  // From a holder (its graphic), a graphic (a copy of it) or nothing (become empty);
  // anything else is handed to the source's own copy-into operation.
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of Value (of its exact kind), or nothing for nullptr.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap: a graphic of another kind (or none) is replaced by a new,
  // empty bitmap first.
  TBitmap* Bitmap();

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent Handler) { onChange_ = std::move(Handler); }
  const TProgressEvent& OnProgress() const { return onProgress_; }
  void SetOnProgress(TProgressEvent Handler) { onProgress_ = std::move(Handler); }

 protected:
  // Into a graphic of the same kind as the held one: that graphic copies it. Anything
  // else raises the assignment error.
  void AssignTo(TPersistent* Dest) override;
  void Changed(TObject* Sender);
  void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const QRect& R,
                const QString& Msg);

 private:
  void bindProgress(TGraphic& graphic);
  void bindChange(TGraphic& graphic);
  void replaceGraphic(std::unique_ptr<TGraphic> graphic);

  std::unique_ptr<TGraphic> graphic_;
  TNotifyEvent onChange_;
  TProgressEvent onProgress_;
};

// The extension of a file name: what follows the last dot of its name part, or nothing.
QString FileNameExtension(const QString& FileName);
