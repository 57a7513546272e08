#pragma once
// The metafile graphic kind: an enhanced metafile (".emf") or a placeable Windows
// metafile (".wmf"). The file's bytes are kept as loaded and saved unchanged; drawing
// plays a bounds-checked subset of the drawing records into the target rectangle (see
// metafile_player.h for exactly what is drawn).

#include "picture/graphic.h"

#include <QByteArray>
#include <QRect>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <memory>

// The screen resolution at which metafile sizes in 0.01 mm become pixels.
inline constexpr int kMetafileScreenDpi = 96;
inline constexpr int kHundredthMmPerInch = 2540;

// What the header of a metafile says about its picture.
struct MetafileHeader {
  bool enhanced = false;
  int64_t mmWidth = 0;  // picture size in 0.01 mm
  int64_t mmHeight = 0;
  // Enhanced metafiles: the picture frame (0.01 mm), the bounds of what is drawn and
  // the reference device's size in pixels and in millimetres.
  QRect frame;
  QRect bounds;
  QSize devicePixels;
  QSize deviceMillimetres;
  int handles = 0;  // size of the object table
  // Placeable metafiles: the picture's box in metafile units.
  QRect box;
  int unitsPerInch = 0;
};

// Integer a * b / c rounded to the nearest; 0 when c is 0, so a header without units
// gives no size instead of a fault.
int64_t MulDiv(int64_t a, int64_t b, int64_t c);

// Recognises the header. Enhanced: more than 100 bytes, the first record of type 1 and
// the signature " EMF" at byte 40; the size is the frame's extent. Placeable: the key
// 0x9AC6CDD7 and a matching checksum (XOR of the first ten 16-bit words); the size is
// the box's extent times 2540 divided by the units per inch (96 when given as 0).
// Anything else raises EInvalidGraphic "Metadatei ist ungültig".
MetafileHeader ReadMetafileHeader(const uint8_t* data, size_t size);

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
