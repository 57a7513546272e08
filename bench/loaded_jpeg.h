#pragma once
// A JPEG picture loaded from bytes in memory and not yet decoded, so that a benchmark's
// measurement holds the decode alone.

#include "picture/jpeg_image.h"
#include "platform/stream.h"

#include <QByteArray>

#include <memory>

inline std::unique_ptr<TJPEGImage> Loaded(const QByteArray& file) {
  auto jpeg = std::make_unique<TJPEGImage>();
  TMemoryStream stream(file);
  jpeg->LoadFromStream(stream);
  return jpeg;
}
