#pragma once
// The icon graphic kind: an ".ico" file. Of the images the file holds, the one a
// 32 x 32 display would pick is shown (see ChooseIconEntry), with its transparency;
// saving writes the file's original bytes.

#include "picture/graphic.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One image of an icon file as its directory describes it.
struct IconDirEntry {
  int width = 0;   // 1..256 (a stored 0 means 256)
  int height = 0;
  int bitCount = 0;  // the stored bit count, or one derived from the colour count
  uint32_t bytes = 0;
  uint32_t offset = 0;
};

// The size an icon is chosen for: the system's standard icon size.
inline constexpr int kIconDisplaySize = 32;

// The entry whose size is nearest to kIconDisplaySize (sum of the width and height
// differences); between equally near sizes the larger, since shrinking keeps detail
// that enlarging cannot invent; then the most colours; then the first in the file.
size_t ChooseIconEntry(const std::vector<IconDirEntry>& entries);

// The directory of an icon file. Raises EInvalidGraphic "Ungültiges Symbol" for a wrong
// header, no entries, or an entry whose image lies outside the file.
std::vector<IconDirEntry> ReadIconDirectory(const uint8_t* data, size_t size);

// The chosen image of an icon file in Format_ARGB32 (exact colours), its transparency
// from the image's alpha channel (32-bit images that carry one, and PNG images) or
// else from the AND mask. Mask pixels that would invert the screen show transparent.
QImage ReadIconFile(const uint8_t* data, size_t size);

// A cursor file (".cur"): the image chosen as for an icon, and its hot spot, kept on the
// image. Raises EInvalidGraphic "Ungültiger Mauszeiger" for a damaged file.
struct CursorImage {
  QImage image;
  QPoint hotSpot;
};
CursorImage ReadCursorFile(const uint8_t* data, size_t size);

class TIcon : public TGraphic {
 public:
  TIcon();

  QString ClassName() const override { return QStringLiteral("TIcon"); }
  std::unique_ptr<TGraphic> NewSameKind() const override;

  // From another icon: shares its file and picture. Nothing makes the icon empty.
  void Assign(TPersistent* Source) override;
  bool Empty() override { return data_ == nullptr; }
  int Width() override;
  int Height() override;
  // Icons always draw through their mask.
  bool Transparent() override { return true; }

  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;

  // The picture shown; null when empty.
  QImage Image() const;

 protected:
  void Draw(TCanvas& ACanvas, const QRect& Rect) override;
  // An icon's size is that of its image.
  QString SizeRefusal() const override { return QStringLiteral("Die Größe eines Symbols kann nicht verändert werden"); }

 private:
  struct Data {
    QByteArray file;
    QImage image;
  };
  std::shared_ptr<const Data> data_;
};
