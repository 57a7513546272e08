#include "print/area_resample.h"

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The source cells that each output cell covers, with the share of each: cell i covers
// count[i] cells from first[i], their shares at weights[offset[i]...]. Flat arrays, so
// the shrink across a row reads them in order.
struct Spans {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<int> offset;
  std::vector<float> weights;
};

Spans SpansFor(int sourceSize, int outputSize) {
  Spans spans;
  const auto size = static_cast<size_t>(outputSize);
  spans.first.resize(size);
  spans.count.resize(size);
  spans.offset.resize(size);
  const double scale = static_cast<double>(sourceSize) / outputSize;
  for (int i = 0; i < outputSize; ++i) {
    const double begin = i * scale;
    const double end = std::min<double>(sourceSize, (i + 1) * scale);
    const auto at = static_cast<size_t>(i);
    spans.first[at] = static_cast<int>(begin);
    spans.offset[at] = static_cast<int>(spans.weights.size());
    for (int cell = spans.first[at]; cell < end; ++cell) {
      const double covered = std::min<double>(end, cell + 1) - std::max<double>(begin, cell);
      spans.weights.push_back(static_cast<float>(covered / (end - begin)));
    }
    spans.count[at] = static_cast<int>(spans.weights.size()) - spans.offset[at];
  }
  return spans;
}

// Every byte value as a float, looked up rather than converted pixel by pixel.
const std::array<float, 256>& ByteValues() {
  static const std::array<float, 256> values = [] {
    std::array<float, 256> table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<float>(i);
    return table;
  }();
  return values;
}

// One source row shrunk across: each output pixel the weighted sum of the cells it covers.
void ShrinkAcross(const uint8_t* row, const Spans& columns, std::vector<float>& across) {
  const std::array<float, 256>& value = ByteValues();
  const size_t outputs = columns.first.size();
  for (size_t x = 0; x < outputs; ++x) {
    const uint8_t* pixel = row + static_cast<size_t>(columns.first[x]) * 3;
    const float* weight = columns.weights.data() + columns.offset[x];
    float c0 = 0, c1 = 0, c2 = 0;
    for (int k = 0; k < columns.count[x]; ++k, pixel += 3) {
      c0 += weight[k] * value[pixel[0]];
      c1 += weight[k] * value[pixel[1]];
      c2 += weight[k] * value[pixel[2]];
    }
    float* out = across.data() + x * 3;
    out[0] = c0;
    out[1] = c1;
    out[2] = c2;
  }
}

void AddWeighted(const std::vector<float>& across, float weight, std::vector<float>& sums) {
  for (size_t i = 0; i < sums.size(); ++i) sums[i] += weight * across[i];
}

}  // namespace

QImage AreaAverageShrink(const PixelRows& source, QImage::Format format, int width, int height) {
  width = std::clamp(width, 1, std::max(1, source.width));
  height = std::clamp(height, 1, std::max(1, source.height));
  QImage shrunk(width, height, format);
  if (shrunk.isNull() || source.width <= 0 || source.height <= 0) throw EOutOfMemory();

  const Spans columns = SpansFor(source.width, width);
  const Spans rows = SpansFor(source.height, height);
  std::vector<float> across(static_cast<size_t>(width) * 3);
  std::vector<float> sums(across.size());
  // A source row on the border of two output rows counts in both; it is shrunk across once.
  int acrossRow = -1;
  for (int y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    const auto at = static_cast<size_t>(y);
    for (int k = 0; k < rows.count[at]; ++k) {
      const int row = rows.first[at] + k;
      if (row != acrossRow) {
        ShrinkAcross(source.Row(row), columns, across);
        acrossRow = row;
      }
      AddWeighted(across, rows.weights[static_cast<size_t>(rows.offset[at] + k)], sums);
    }
    uint8_t* out = shrunk.scanLine(y);
    for (size_t i = 0; i < sums.size(); ++i) out[i] = static_cast<uint8_t>(std::min(255.0f, sums[i] + 0.5f));
  }
  return shrunk;
}

QImage AreaAverageShrink(const QImage& source, int width, int height) {
  const bool rgb = source.format() == QImage::Format_RGB888;
  const QImage picture =
      rgb || source.format() == QImage::Format_BGR888 ? source : source.convertToFormat(QImage::Format_BGR888);
  if (picture.isNull()) throw EOutOfMemory();
  const PixelRows rows{picture.width(), picture.height(), [&picture](int row) { return picture.constScanLine(row); }};
  return AreaAverageShrink(rows, picture.format(), width, height);
}
