#include "sample_looks.h"

#include <QColor>
#include <QFile>

#include <cstdlib>

namespace e2e {

bool WriteBytes(const QString& path, const std::vector<uint8_t>& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
             static_cast<qint64>(bytes.size());
}

SampleJpegOptions SlowToDecode() {
  SampleJpegOptions options;
  options.width = 2800;
  options.height = 2100;
  options.noise = 40;
  options.quality = 100;
  options.fullChroma = true;
  options.arithmeticCoding = true;
  return options;
}

bool ShowsColourPattern(const QImage& canvas) {
  const SampleRgb expected = SamplePatternColor(1, 1, 64, 48);
  const QColor seen = canvas.pixelColor(canvas.width() / 5, canvas.height() / 5);
  return std::abs(seen.red() - expected.r) < 40 && std::abs(seen.green() - expected.g) < 40 &&
         std::abs(seen.blue() - expected.b) < 40;
}

bool ShowsGrey(const QImage& canvas) {
  const QColor seen = canvas.pixelColor(canvas.width() / 5, canvas.height() / 5);
  return std::abs(seen.red() - seen.green()) <= 3 && std::abs(seen.green() - seen.blue()) <= 3 && seen.red() < 200;
}

}  // namespace e2e
