#pragma once
// The metafile graphic kind: an enhanced metafile (".emf") or a placeable Windows
// metafile (".wmf"). The file's bytes are kept as loaded and saved unchanged; drawing
// plays a bounds-checked subset of the drawing records into the target rectangle (see
// metafile_player.h for exactly what is drawn).

#include "picture/graphic.h"
#include "picture/metafile_header.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

class TMetafile : public TGraphic {
 public:
  TMetafile();

  QString ClassName() const override { return QStringLiteral("TMetafile"); }
  std::unique_ptr<TGraphic> NewSameKind() const override;

  // From another metafile: shares its bytes and takes its size. Nothing makes it empty.
  void Assign(TPersistent* Source) override;
  bool Empty() override { return data_ == nullptr; }
  // The size in 0.01 mm at the screen's 96 pixels per inch, rounded.
  int Width() override;
  int Height() override;
  // Set the size in 0.01 mm from a size in pixels; the records are not changed.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  int64_t MMWidth() const { return mmWidth_; }
  int64_t MMHeight() const { return mmHeight_; }
  bool Enhanced() const { return data_ && data_->header.enhanced; }
  // Only the recorded shapes are drawn; what lies between them stays as it was.
  bool Transparent() override { return true; }

  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;

 protected:
  void Draw(TCanvas& ACanvas, const QRect& Rect) override;

 private:
  struct Data {
    QByteArray file;
    MetafileHeader header;
  };
  std::shared_ptr<const Data> data_;
  int64_t mmWidth_ = 0;
  int64_t mmHeight_ = 0;
};
