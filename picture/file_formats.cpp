#include "picture/file_formats.h"

#include "picture/bitmap.h"
#include "picture/icon.h"
#include "picture/jpeg_image.h"
#include "picture/metafile.h"

#include <algorithm>

TFileFormatsList::TFileFormatsList() {
  Add<TMetafile>(QStringLiteral("wmf"), QStringLiteral("Metadateien"));
  Add<TMetafile>(QStringLiteral("emf"), QStringLiteral("Erweiterte Metadateien"));
  Add<TIcon>(QStringLiteral("ico"), QStringLiteral("Symbole"));
  Add<TBitmap>(QStringLiteral("bmp"), QStringLiteral("Bitmaps"));
}

void TFileFormatsList::Add(const QString& Ext, const QString& Desc, std::type_index GraphicClass,
                           TGraphicFactory Create) {
  formats_.push_back(TFileFormat{Ext.toLower(), Desc, GraphicClass, std::move(Create)});
}

void TFileFormatsList::Remove(std::type_index GraphicClass) {
  std::erase_if(formats_, [&](const TFileFormat& f) { return f.GraphicClass == GraphicClass; });
}

const TFileFormat* TFileFormatsList::FindExt(const QString& Ext) const {
  const QString wanted = Ext.toLower();
  const auto found = std::find_if(formats_.rbegin(), formats_.rend(),
                                  [&](const TFileFormat& f) { return f.Extension == wanted; });
  return found == formats_.rend() ? nullptr : &*found;
}

TFileFormatsList& GetFileFormats() {
  static TFileFormatsList formats;
  return formats;
}

void InitializeJpegKind() {
  JPEGDefaults().PixelFormat =
      ScreenBitsPerPixel() <= 8 ? TJPEGPixelFormat::jf8Bit : TJPEGPixelFormat::jf24Bit;
  TFileFormatsList& formats = GetFileFormats();
  if (formats.FindExt(QStringLiteral("jpg")) != nullptr) {
    return;
  }
  const QString description = QStringLiteral("JPEG-Grafikdatei");
  formats.Add<TJPEGImage>(QStringLiteral("jpeg"), description);
  formats.Add<TJPEGImage>(QStringLiteral("jpg"), description);
}

void FinalizeJpegKind() { GetFileFormats().Remove(typeid(TJPEGImage)); }
