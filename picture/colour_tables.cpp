#include "picture/colour_tables.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t EncodedByte(double value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); }

// An sRGB value in [0, 1] as a grid point holds it: 8-bit steps with 8 bits of fraction.
uint16_t GridValue(double value) { return static_cast<uint16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0 * 256.0)); }

// Grid values weighted by 256ths sum to 8-bit steps times 65536.
uint8_t GridByte(uint32_t weighted) { return static_cast<uint8_t>((weighted + 32768) >> 16); }

}  // namespace

MatrixShaperTable::MatrixShaperTable(const std::array<std::array<float, 256>, 3>& linear,
                                     const std::array<double, 9>& matrix, const std::function<double(double)>& encode)
    : linear_(linear), encode_(kEncodeSteps + 1) {
  for (size_t i = 0; i < matrix.size(); ++i) {
    matrix_[i] = static_cast<float>(matrix[i]);
  }
  for (int i = 0; i <= kEncodeSteps; ++i) {
    encode_[static_cast<size_t>(i)] = EncodedByte(encode(static_cast<double>(i) / kEncodeSteps));
  }
}

int MatrixShaperTable::encodeIndex(float linear) const {
  return static_cast<int>(std::clamp(linear, 0.0f, 1.0f) * static_cast<float>(kEncodeSteps) + 0.5f);
}

void MatrixShaperTable::convertOne(uint8_t* pixel) const {
  const float r = linear_[0][pixel[2]];
  const float g = linear_[1][pixel[1]];
  const float b = linear_[2][pixel[0]];
  for (int c = 0; c < 3; ++c) {
    const float* m = &matrix_[static_cast<size_t>(c) * 3];
    pixel[2 - c] = encode_[static_cast<size_t>(encodeIndex(m[0] * r + m[1] * g + m[2] * b))];
  }
}

// Four pixels at a time, each step over all four, so that the compiler keeps the matrix
// arithmetic in vector registers.
void MatrixShaperTable::convertQuad(uint8_t* pixel, int pixelBytes) const {
  float r[4];
  float g[4];
  float b[4];
  for (int k = 0; k < 4; ++k) {
    const uint8_t* p = pixel + k * pixelBytes;
    r[k] = linear_[0][p[2]];
    g[k] = linear_[1][p[1]];
    b[k] = linear_[2][p[0]];
  }
  int index[3][4];
  for (int c = 0; c < 3; ++c) {
    const float* m = &matrix_[static_cast<size_t>(c) * 3];
    for (int k = 0; k < 4; ++k) {
      const float value = std::min(std::max(m[0] * r[k] + m[1] * g[k] + m[2] * b[k], 0.0f), 1.0f);
      index[c][k] = static_cast<int>(value * static_cast<float>(kEncodeSteps) + 0.5f);
    }
  }
  for (int k = 0; k < 4; ++k) {
    uint8_t* p = pixel + k * pixelBytes;
    p[2] = encode_[static_cast<size_t>(index[0][k])];
    p[1] = encode_[static_cast<size_t>(index[1][k])];
    p[0] = encode_[static_cast<size_t>(index[2][k])];
  }
}

void MatrixShaperTable::ConvertBgr(uint8_t* row, int width, int pixelBytes) const {
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    convertQuad(row + static_cast<ptrdiff_t>(x) * pixelBytes, pixelBytes);
  }
  for (; x < width; ++x) {
    convertOne(row + static_cast<ptrdiff_t>(x) * pixelBytes);
  }
}

// ---------------------------------------------------------------------------------------

ColourGrid::ColourGrid(int axes, int points, bool inverted, const Sampler& sampler) {
  size_t count = 1;
  for (int a = 0; a < axes; ++a) {
    strides_[static_cast<size_t>(a)] = static_cast<uint32_t>(count);
    count *= static_cast<size_t>(points);
  }
  for (int a = 0; a < axes; ++a) {
    for (int stored = 0; stored < 256; ++stored) {
      const int value = inverted ? 255 - stored : stored;
      const double position = value * (points - 1) / 255.0;
      // The last point has no cell above it: it is the far end of the cell below.
      const int below = std::min(static_cast<int>(position), points - 2);
      const auto fraction = static_cast<uint32_t>(std::lround((position - below) * 256.0));
      steps_[static_cast<size_t>(a)][static_cast<size_t>(stored)] =
          AxisStep{static_cast<uint32_t>(below) * strides_[static_cast<size_t>(a)], fraction};
    }
  }
  std::vector<double> device(count * static_cast<size_t>(axes));
  for (size_t i = 0; i < count; ++i) {
    size_t rest = i;
    for (int a = 0; a < axes; ++a) {
      device[i * static_cast<size_t>(axes) + static_cast<size_t>(a)] =
          static_cast<double>(rest % static_cast<size_t>(points)) / (points - 1);
      rest /= static_cast<size_t>(points);
    }
  }
  std::vector<double> srgb(count * 3);
  sampler(device, srgb);
  points_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    points_[i] = {GridValue(srgb[i * 3 + 2]), GridValue(srgb[i * 3 + 1]), GridValue(srgb[i * 3]), 0};
  }
}

// The colour inside the grid cell is a weighted sum of the corners of one simplex: start
// at the cell's lowest corner and step along the axes in order of decreasing fraction.
template <int Axes>
void ColourGrid::interpolate(const uint8_t* const device[Axes], uint8_t* bgr) const {
  uint32_t base = 0;
  uint32_t fraction[Axes];
  uint32_t stride[Axes];
  for (int a = 0; a < Axes; ++a) {
    const AxisStep& step = steps_[static_cast<size_t>(a)][*device[a]];
    base += step.offset;
    fraction[a] = step.fraction;
    stride[a] = strides_[static_cast<size_t>(a)];
  }
  // Sorted by decreasing fraction; a handful of elements, so a plain insertion sort.
  for (int i = 1; i < Axes; ++i) {
    for (int j = i; j > 0 && fraction[j] > fraction[j - 1]; --j) {
      std::swap(fraction[j], fraction[j - 1]);
      std::swap(stride[j], stride[j - 1]);
    }
  }
  uint32_t corner = base;
  uint32_t weight = 256 - fraction[0];
  uint32_t sum[3] = {0, 0, 0};
  for (int i = 0; i <= Axes; ++i) {
    const std::array<uint16_t, 4>& point = points_[corner];
    for (int c = 0; c < 3; ++c) {
      sum[c] += weight * point[static_cast<size_t>(c)];
    }
    if (i < Axes) {
      corner += stride[i];
      weight = fraction[i] - (i + 1 < Axes ? fraction[i + 1] : 0);
    }
  }
  for (int c = 0; c < 3; ++c) {
    bgr[c] = GridByte(sum[c]);
  }
}

void ColourGrid::ConvertBgr(uint8_t* row, int width, int pixelBytes) const {
  for (int x = 0; x < width; ++x, row += pixelBytes) {
    // The grid's axes are red, green, blue.
    const uint8_t* const device[3] = {row + 2, row + 1, row};
    interpolate<3>(device, row);
  }
}

void ColourGrid::ConvertCmyk(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += bgrPixelBytes) {
    const uint8_t* const device[4] = {cmyk, cmyk + 1, cmyk + 2, cmyk + 3};
    interpolate<4>(device, bgr);
  }
}
