#pragma once
// The abstract graphic: the common interface of bitmaps, icons, metafiles and JPEG
// pictures, as a picture holder and a canvas use it.

#include "picture/palette.h"
#include "platform/persistent.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class TCanvas;
class TStream;

enum class TProgressStage { Starting = 0, Running = 1, Ending = 2 };

// Sender, Stage, PercentDone (0..100), RedrawNow (R is worth drawing now), R (the part of
// the picture, in output pixels, that changed since the last report), Msg.
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone,
                                          bool RedrawNow, const QRect& R, const QString& Msg)>;

class TGraphic : public TPersistent {
 public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  QString ClassName() const override { return QStringLiteral("TGraphic"); }

  // The virtual constructor: a new, empty object of this graphic's exact kind.
  virtual std::unique_ptr<TGraphic> NewSameKind() const = 0;

  // Equal kind and equal content (the base compares what SaveToStream writes).
  virtual bool Equals(TGraphic* Graphic);
  virtual bool Empty() = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  // Changes the size. A kind whose size follows from its contents keeps these and
  // refuses with EInvalidGraphicOperation and its SizeRefusal() text.
  virtual void SetWidth(int Value);
  virtual void SetHeight(int Value);
  virtual TPalette Palette() { return nullptr; }
  virtual void SetPalette(TPalette Value) { (void)Value; }
  virtual bool Transparent() { return transparent_; }
  virtual void SetTransparent(bool Value);

  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  // Through a file stream opened read-only / created.
  virtual void LoadFromFile(const QString& FileName);
  virtual void SaveToFile(const QString& FileName);

  // The stored-data form used when a graphic is embedded in another stream.
  virtual void ReadData(TStream& Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream& Stream) { SaveToStream(Stream); }

  bool PaletteModified() const { return paletteModified_; }
  void SetPaletteModified(bool Value) { paletteModified_ = Value; }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent Handler) { onChange_ = std::move(Handler); }
  const TProgressEvent& OnProgress() const { return onProgress_; }
  void SetOnProgress(TProgressEvent Handler) { onProgress_ = std::move(Handler); }

 protected:
  friend class TCanvas;

  // Draws the graphic stretched into Rect of the canvas.
  virtual void Draw(TCanvas& ACanvas, const QRect& Rect) = 0;
  // Fires the change notification.
  virtual void Changed(TObject* Sender);
  // The text of the refusal to change the size (see SetWidth).
  virtual QString SizeRefusal() const { return QString(); }
  void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const QRect& R,
                const QString& Msg);

 private:
  TNotifyEvent onChange_;
  TProgressEvent onProgress_;
  bool transparent_ = false;
  bool paletteModified_ = false;
};
