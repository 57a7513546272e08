#pragma once
// The compressed form of a JPEG picture, shared by all copies of one picture: the file's
// bytes (absent until loaded or compressed) and what its header says, with the width and
// height of the upright picture (as its EXIF orientation turns it). Freed when the last
// picture that uses it lets go.

#include <QByteArray>

#include <memory>
#include <optional>

struct TJPEGData {
  std::optional<QByteArray> Data;
  int Width = 0;
  int Height = 0;
  bool Grayscale = false;

  bool HasBytes() const { return Data.has_value() && !Data->isEmpty(); }
};

using TJPEGDataRef = std::shared_ptr<TJPEGData>;
