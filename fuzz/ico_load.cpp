// Loads an ".ico" file as the icon graphic and draws what loads into a small picture;
// reads the same bytes as a ".cur" cursor file too.
#include "picture/canvas.h"
#include "picture/icon.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    (void)ReadCursorFile(data, size);
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfMemory&) {
  }
  TIcon icon;
  try {
    TMemoryStream stream(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    icon.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const EOutOfMemory&) {
    return 0;
  }
  QImage target(40, 40, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(1, 1, 37, 30), &icon);
  canvas.Draw(3, 3, &icon);
  return 0;
}
