// Loads a ".bmp" file, draws what loads into a small picture, and checks that writing
// the picture and reading it back gives the same pixels.
#include "picture/canvas.h"
#include "picture/dib_format.h"
#include "platform/errors.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace {

// Drawing converts the picture to true colour first; beyond this the run would only
// measure the machine's memory, not the decoder.
constexpr int64_t kMaxDrawnPixels = int64_t{1} << 24;

void DrawSmall(const QImage& image) {
  if (int64_t{image.width()} * image.height() > kMaxDrawnPixels) return;
  QImage target(48, 32, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  TCanvas canvas(&painter);
  canvas.StretchImage(QRect(2, 2, 40, -25), image, image.depth());
}

void CheckWriteReadsBack(const QImage& image) {
  if (int64_t{image.width()} * image.height() > kMaxDrawnPixels) return;
  const QByteArray file = WriteBitmapFile(image);
  const QImage back = ReadBitmapFile(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
  if (back.size() != image.size() || back.pixel(0, 0) != image.pixel(0, 0) ||
      back.pixel(image.width() - 1, image.height() - 1) != image.pixel(image.width() - 1, image.height() - 1)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const QImage image = ReadBitmapFile(data, size);
    DrawSmall(image);
    CheckWriteReadsBack(image);
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfMemory&) {
  }
  return 0;
}
