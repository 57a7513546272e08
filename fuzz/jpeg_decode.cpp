// Loads arbitrary bytes as a JPEG picture and decodes them as the program would: plain,
// with progressive display, with 8-bit output at best speed, and drawn onto a canvas;
// small pictures are also compressed again.

#include "picture/canvas.h"
#include "picture/jpeg_image.h"
#include "platform/errors.h"
#include "platform/stream.h"

#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

namespace {

// Decoding cost grows with the picture's area, which the header alone decides. Larger
// pictures are measured but not decoded, so every run stays quick; the size limits
// themselves are covered by the tests.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 22;
constexpr int64_t kMaxPassedPixels = int64_t{1} << 18;  // progressive display: a pass per scan
constexpr int64_t kMaxCompressedPixels = int64_t{1} << 14;

void DecodeAndDraw(TJPEGImage& jpeg, int64_t pixelLimit) {
  if (int64_t{jpeg.Width()} * jpeg.Height() > pixelLimit) {
    return;
  }
  QImage screen(17, 13, QImage::Format_RGB32);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 17, 13), &jpeg);
  canvas.Draw(-3, -2, &jpeg);
}

void Recompress(TJPEGImage& decoded) {
  if (!decoded.HasBitmap() || int64_t{decoded.Width()} * decoded.Height() > kMaxCompressedPixels) {
    return;
  }
  TBitmap* bitmap = decoded.Bitmap();
  TJPEGImage copy;
  copy.Assign(bitmap);
  TMemoryStream out;
  copy.SaveToStream(out);
}

void Run(const QByteArray& bytes, bool progressiveDisplay, bool eightBit) {
  TJPEGImage jpeg;
  jpeg.SetProgressiveDisplay(progressiveDisplay);
  if (eightBit) {
    jpeg.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    jpeg.SetPerformance(TJPEGPerformance::jpBestSpeed);
    jpeg.SetScale(TJPEGScale::jsHalf);
  }
  try {
    TMemoryStream stream(bytes);
    jpeg.LoadFromStream(stream);
    DecodeAndDraw(jpeg, progressiveDisplay ? kMaxPassedPixels : kMaxDecodedPixels);
    Recompress(jpeg);
  } catch (const Exception&) {
    // Refusing a damaged file with the program's own error is the expected outcome.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  Run(bytes, false, false);
  Run(bytes, true, false);
  Run(bytes, true, true);
  return 0;
}
