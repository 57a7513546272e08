#pragma once
// The file-format registry: which graphic kind loads a file, by the file's extension.
// One process-wide list; the JPEG kind is entered at process start and removed at its end.

#include "picture/graphic.h"

#include <QString>

#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TFileFormat {
  QString Extension;  // lower case, without the dot
  QString Description;
  std::type_index GraphicClass;
  TGraphicFactory Create;
};

class TFileFormatsList {
 public:
  // Holds the metafile, icon and bitmap kinds.
  TFileFormatsList();

  void Add(const QString& Ext, const QString& Desc, std::type_index GraphicClass, TGraphicFactory Create);
  template <class Kind>
  void Add(const QString& Ext, const QString& Desc) {
    Add(Ext, Desc, typeid(Kind), [] { return std::make_unique<Kind>(); });
  }
  // Removes every entry of that graphic kind.
  void Remove(std::type_index GraphicClass);
  // The last entry whose extension equals Ext ignoring case, or nullptr.
  const TFileFormat* FindExt(const QString& Ext) const;
  const std::vector<TFileFormat>& Formats() const { return formats_; }

 private:
  std::vector<TFileFormat> formats_;
};

// The process-wide registry, created on first use.
TFileFormatsList& GetFileFormats();

// Process start: computes the JPEG defaults' pixel format from the screen (8-bit for a
// screen of 8 bits per pixel or less) and registers "jpeg" and "jpg". Process end:
// removes every JPEG entry. Calling the start twice registers nothing new.
void InitializeJpegKind();
void FinalizeJpegKind();
