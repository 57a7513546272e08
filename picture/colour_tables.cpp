#include "picture/colour_tables.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#define VELARIM_SSE2_COLOURS 1
#include <emmintrin.h>
#else
#define VELARIM_SSE2_COLOURS 0
#endif

namespace {

uint8_t EncodedByte(double value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); }

// An sRGB value in [0, 1] as a grid point holds it: 8-bit steps with 7 bits of fraction.
int16_t GridValue(double value) { return static_cast<int16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0 * 128.0)); }

// Grid values weighted by 256ths sum to 8-bit steps times 32768.
constexpr int kGridShift = 15;

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
  for (size_t in = 0; in < 3; ++in) {
    for (size_t v = 0; v < 256; ++v) {
      for (size_t out = 0; out < 3; ++out) {
        shares_[in][v][out] = static_cast<float>(matrix[out * 3 + in] * linear[in][v] * kEncodeSteps);
      }
      shares_[in][v][3] = 0;
    }
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

// Each input value's share of the three outputs (matrix column times its linear light,
// in encoding steps) sits ready in one vector, so a pixel costs three loads and two
// additions before the encoding. The tables are held in locals: the byte stores could
// otherwise alias them and force a reload per pixel.
void MatrixShaperTable::ConvertBgr(uint8_t* row, int width, int pixelBytes) const {
#if VELARIM_SSE2_COLOURS
  const float* red = shares_[0][0].data();
  const float* green = shares_[1][0].data();
  const float* blue = shares_[2][0].data();
  const uint8_t* encode = encode_.data();
  const __m128 zero = _mm_setzero_ps();
  const __m128 top = _mm_set1_ps(static_cast<float>(kEncodeSteps));
  uint8_t* const end = row + static_cast<ptrdiff_t>(width) * pixelBytes;
  for (uint8_t* p = row; p < end; p += pixelBytes) {
    const __m128 value = _mm_add_ps(_mm_add_ps(_mm_load_ps(red + size_t{p[2]} * 4), _mm_load_ps(green + size_t{p[1]} * 4)),
                                    _mm_load_ps(blue + size_t{p[0]} * 4));
    const __m128i index = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(value, zero), top));
    const auto r = static_cast<uint32_t>(_mm_cvtsi128_si32(index));
    const auto g = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 0x55)));
    const auto b = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 0xAA)));
    p[2] = encode[r];
    p[1] = encode[g];
    p[0] = encode[b];
  }
#else
  for (int x = 0; x < width; ++x) {
    convertOne(row + static_cast<ptrdiff_t>(x) * pixelBytes);
  }
#endif
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
  // Each axis as one number, its fraction above its index, so that the sort below moves
  // both at once and needs no branches (the order is as random as the pixels).
  uint32_t base = 0;
  uint32_t key[Axes];
#pragma GCC unroll 4
  for (int a = 0; a < Axes; ++a) {
    const AxisStep& step = steps_[static_cast<size_t>(a)][*device[a]];
    base += step.offset;
    key[a] = step.fraction << 2 | static_cast<uint32_t>(a);
  }
  const auto order = [&key](int i, int j) {
    const uint32_t high = std::max(key[i], key[j]);
    key[j] = std::min(key[i], key[j]);
    key[i] = high;
  };
  if constexpr (Axes == 3) {
    order(0, 1);
    order(1, 2);
    order(0, 1);
  } else {
    order(0, 1);
    order(2, 3);
    order(0, 2);
    order(1, 3);
    order(1, 2);
  }
  // The simplex's corners and their weights: the first gets what the largest fraction
  // leaves, each next one the step down to the following fraction.
  uint32_t corner[Axes + 2];
  int32_t weight[Axes + 2];
  corner[0] = base;
  uint32_t above = 256;
#pragma GCC unroll 4
  for (int i = 0; i < Axes; ++i) {
    const uint32_t fraction = key[i] >> 2;
    weight[i] = static_cast<int32_t>(above - fraction);
    corner[i + 1] = corner[i] + strides_[key[i] & 3];
    above = fraction;
  }
  weight[Axes] = static_cast<int32_t>(above);
  // A spare corner of no weight evens out the pairs below.
  corner[Axes + 1] = base;
  weight[Axes + 1] = 0;
#if VELARIM_SSE2_COLOURS
  __m128i sum = _mm_set1_epi32(1 << (kGridShift - 1));
#pragma GCC unroll 3
  for (int i = 0; i < Axes + 1; i += 2) {
    const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(points_[corner[i]].data()));
    const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(points_[corner[i + 1]].data()));
    const __m128i weights = _mm_set1_epi32(weight[i] | weight[i + 1] << 16);
    sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(first, second), weights));
  }
  const __m128i words = _mm_packs_epi32(_mm_srai_epi32(sum, kGridShift), _mm_setzero_si128());
  const auto packed = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  bgr[0] = static_cast<uint8_t>(packed);
  bgr[1] = static_cast<uint8_t>(packed >> 8);
  bgr[2] = static_cast<uint8_t>(packed >> 16);
#else
  int32_t sum[3] = {1 << (kGridShift - 1), 1 << (kGridShift - 1), 1 << (kGridShift - 1)};
  for (int i = 0; i <= Axes; ++i) {
    for (size_t c = 0; c < 3; ++c) {
      sum[c] += weight[i] * points_[corner[i]][c];
    }
  }
  for (size_t c = 0; c < 3; ++c) {
    bgr[c] = static_cast<uint8_t>(sum[c] >> kGridShift);
  }
#endif
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
