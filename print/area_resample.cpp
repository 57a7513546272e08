#include "print/area_resample.h"

#include "platform/errors.h"

#include <algorithm>
#include <vector>

namespace {

// The source cells that one output cell covers, with the share of each.
struct Span {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Span> spansFor(int sourceSize, int outputSize) {
  std::vector<Span> spans(static_cast<size_t>(outputSize));
  const double scale = static_cast<double>(sourceSize) / outputSize;
  for (int i = 0; i < outputSize; ++i) {
    const double begin = i * scale;
    const double end = std::min<double>(sourceSize, (i + 1) * scale);
    Span& span = spans[static_cast<size_t>(i)];
    span.first = static_cast<int>(begin);
    for (int cell = span.first; cell < end; ++cell) {
      const double covered = std::min<double>(end, cell + 1) - std::max<double>(begin, cell);
      span.weights.push_back(static_cast<float>(covered / (end - begin)));
    }
  }
  return spans;
}

// One source row shrunk horizontally, added with a weight into the accumulator.
void addRow(const uint8_t* row, const std::vector<Span>& columns, float weight, std::vector<float>& sums) {
  for (size_t x = 0; x < columns.size(); ++x) {
    const Span& span = columns[x];
    const uint8_t* pixel = row + static_cast<size_t>(span.first) * 3;
    float c0 = 0, c1 = 0, c2 = 0;
    for (const float w : span.weights) {
      c0 += w * pixel[0];
      c1 += w * pixel[1];
      c2 += w * pixel[2];
      pixel += 3;
    }
    sums[x * 3] += weight * c0;
    sums[x * 3 + 1] += weight * c1;
    sums[x * 3 + 2] += weight * c2;
  }
}

}  // namespace

QImage AreaAverageShrink(const QImage& source, int width, int height) {
  const bool rgb = source.format() == QImage::Format_RGB888;
  const QImage picture =
      rgb || source.format() == QImage::Format_BGR888 ? source : source.convertToFormat(QImage::Format_BGR888);
  width = std::clamp(width, 1, std::max(1, picture.width()));
  height = std::clamp(height, 1, std::max(1, picture.height()));
  QImage shrunk(width, height, picture.format());
  if (shrunk.isNull() || picture.isNull()) throw EOutOfMemory();

  const std::vector<Span> columns = spansFor(picture.width(), width);
  const std::vector<Span> rows = spansFor(picture.height(), height);
  std::vector<float> sums(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    const Span& span = rows[static_cast<size_t>(y)];
    for (size_t k = 0; k < span.weights.size(); ++k) {
      addRow(picture.constScanLine(span.first + static_cast<int>(k)), columns, span.weights[k], sums);
    }
    uint8_t* out = shrunk.scanLine(y);
    for (size_t i = 0; i < sums.size(); ++i) out[i] = static_cast<uint8_t>(std::min(255.0f, sums[i] + 0.5f));
  }
  return shrunk;
}
