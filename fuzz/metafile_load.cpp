// Loads an enhanced or placeable Windows metafile and plays what loads into a small
// picture, once filling it and once mirrored into a part of it.
#include "picture/canvas.h"
#include "picture/metafile.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMetafile metafile;
  try {
    TMemoryStream stream(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    metafile.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  metafile.Width();
  metafile.Height();
  QImage target(48, 40, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 48, 40), &metafile);
  canvas.StretchDraw(QRect(40, 30, -30, -20), &metafile);
  return 0;
}
