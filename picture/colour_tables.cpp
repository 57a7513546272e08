#include "picture/colour_tables.h"

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#define VELARIM_SSE2_COLOURS 1
#include <emmintrin.h>
#else
#define VELARIM_SSE2_COLOURS 0
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VELARIM_AVX2_COLOURS 1
#include <immintrin.h>
#endif

namespace {

uint8_t EncodedByte(double value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0)); }

// An sRGB value in [0, 1] as a grid point holds it: 8-bit steps with 7 bits of fraction.
int16_t GridValue(double value) { return static_cast<int16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0 * 128.0)); }

// Grid values weighted by 256ths sum to 8-bit steps times 32768.
constexpr int kGridShift = 15;

#ifdef VELARIM_AVX2_COLOURS

bool HasAvx2AndFma() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has;
}

// sRGB's encoding computed rather than looked up, for eight values in encoding steps
// (linear light times kEncodeSteps, a power of two), rounded to 8-bit values.
//
// Above 2^-8 a value is 2^e times a mantissa y in [1, 2), and its encoding 1.055 x^(5/12)
// - 0.055 is 1.055 * 2^(5e/12) * y^(5/12) - 0.055: the octave's factor is picked by the
// exponent's low three bits from eight, and y^(5/12) is the cubic through its values at
// the four Chebyshev points of [1, 2] (within 1.1e-4). Below 2^-8, where the encoding is
// a line and then barely bends, a quadratic fitted to it stays within 0.07 of a step.
class SrgbEncoder {
 public:
  SrgbEncoder() {
    for (int biased = kFirstOctave; biased < kFirstOctave + 8; ++biased) {
      const int exponent = biased - 127 - kStepsExponent;
      scales_[static_cast<size_t>(biased & 7)] = static_cast<float>(255.0 * 1.055 * std::pow(2.0, exponent * 5.0 / 12.0));
    }
  }

  __attribute__((target("avx2,fma"))) __m256i Encode(__m256 steps) const {
    // Negative values come out of the dark branch negative; the packing clamps them to 0.
    const __m256 x = _mm256_min_ps(steps, _mm256_set1_ps(kTop));
    const __m256i bits = _mm256_castps_si256(x);
    const __m256 scale = _mm256_permutevar8x32_ps(_mm256_loadu_ps(scales_.data()), _mm256_srli_epi32(bits, 23));
    const __m256 y = _mm256_castsi256_ps(
        _mm256_or_si256(_mm256_and_si256(bits, _mm256_set1_epi32(0x7FFFFF)), _mm256_set1_epi32(0x3F800000)));
    __m256 power = _mm256_fmadd_ps(_mm256_set1_ps(0.023732815f), y, _mm256_set1_ps(-0.17331086f));
    power = _mm256_fmadd_ps(power, y, _mm256_set1_ps(0.68860106f));
    power = _mm256_fmadd_ps(power, y, _mm256_set1_ps(0.46108379f));
    const __m256 high = _mm256_fmadd_ps(power, scale, _mm256_set1_ps(-0.055f * 255.0f));
    const __m256 low = _mm256_mul_ps(x, _mm256_fmadd_ps(x, _mm256_set1_ps(kLowSquare), _mm256_set1_ps(kLowLinear)));
    const __m256 dark = _mm256_cmp_ps(x, _mm256_set1_ps(kSteps / 256.0f), _CMP_LT_OQ);
    return _mm256_cvtps_epi32(_mm256_blendv_ps(high, low, dark));
  }

 private:
  static constexpr float kSteps = static_cast<float>(MatrixShaperTable::kEncodeSteps);
  static constexpr int kStepsExponent = std::countr_zero(static_cast<unsigned>(MatrixShaperTable::kEncodeSteps));
  static_assert(MatrixShaperTable::kEncodeSteps == 1 << kStepsExponent);
  // The biased exponent of 2^-8 in encoding steps; the octaves up to 1 follow it.
  static constexpr int kFirstOctave = 127 + kStepsExponent - 8;
  // The largest value below 1 in encoding steps, so that 1 stays in the top octave.
  static constexpr float kTop = kSteps * (1.0f - 1.0f / (1 << 24));
  // The quadratic below 2^-8, in 8-bit steps: x * (3319 - 15000 x) for linear light x.
  static constexpr float kLowLinear = 3319.0f / kSteps;
  static constexpr float kLowSquare = -15000.0f / (kSteps * kSteps);

  std::array<float, 8> scales_{};
};

#endif

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

void MatrixShaperTable::ConvertBgr(uint8_t* row, int width, int pixelBytes) const {
  const int done = convertVector(row, width, pixelBytes);
  ConvertBgrPortable(row + static_cast<ptrdiff_t>(done) * pixelBytes, width - done, pixelBytes);
}

// Each input value's share of the three outputs (matrix column times its linear light,
// in encoding steps) sits ready in one vector, so a pixel costs three loads and two
// additions before the encoding. The tables are held in locals: the byte stores could
// otherwise alias them and force a reload per pixel.
void MatrixShaperTable::ConvertBgrPortable(uint8_t* row, int width, int pixelBytes) const {
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

#ifdef VELARIM_AVX2_COLOURS

// Pixels i and i + 4 share a vector: their shares are summed side by side, the four sums
// are turned into one vector per output channel, and those are encoded without a table,
// so that the only look-ups left are the shares.
__attribute__((target("avx2,fma"))) int MatrixShaperTable::convertVector(uint8_t* row, int width, int pixelBytes) const {
  if (!HasAvx2AndFma()) {
    return 0;
  }
  static const SrgbEncoder encoder;
  const auto* red = reinterpret_cast<const uint8_t*>(shares_[0].data());
  const auto* green = reinterpret_cast<const uint8_t*>(shares_[1].data());
  const auto* blue = reinterpret_cast<const uint8_t*>(shares_[2].data());
  const auto share = [](const uint8_t* table, uint8_t value) {
    return reinterpret_cast<const float*>(table + size_t{value} * sizeof(shares_[0][0]));
  };
  // The packed bytes of a 128-bit lane (four blue, four green, four red, four red again)
  // as four pixels, then the two lanes' pixels together.
  const __m256i interleave = _mm256_setr_epi8(0, 4, 8, 1, 5, 9, 2, 6, 10, 3, 7, 11, -1, -1, -1, -1, 0, 4, 8, 1, 5, 9, 2, 6,
                                              10, 3, 7, 11, -1, -1, -1, -1);
  const __m256i interleaveWide = _mm256_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1, 0, 4, 8, -1, 1, 5,
                                                  9, -1, 2, 6, 10, -1, 3, 7, 11, -1);
  const __m256i joinLanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  const __m256i spare = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    uint8_t* p = row + static_cast<ptrdiff_t>(x) * pixelBytes;
    __m256 sums[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
      const uint8_t* first = p + i * pixelBytes;
      const uint8_t* second = first + 4 * pixelBytes;
      const __m256 r = _mm256_loadu2_m128(share(red, second[2]), share(red, first[2]));
      const __m256 g = _mm256_loadu2_m128(share(green, second[1]), share(green, first[1]));
      const __m256 b = _mm256_loadu2_m128(share(blue, second[0]), share(blue, first[0]));
      sums[i] = _mm256_add_ps(_mm256_add_ps(r, g), b);
    }
    const __m256 redGreen01 = _mm256_unpacklo_ps(sums[0], sums[1]);
    const __m256 redGreen23 = _mm256_unpacklo_ps(sums[2], sums[3]);
    const __m256 blue01 = _mm256_unpackhi_ps(sums[0], sums[1]);
    const __m256 blue23 = _mm256_unpackhi_ps(sums[2], sums[3]);
    const __m256i r = encoder.Encode(_mm256_shuffle_ps(redGreen01, redGreen23, 0x44));
    const __m256i g = encoder.Encode(_mm256_shuffle_ps(redGreen01, redGreen23, 0xEE));
    const __m256i b = encoder.Encode(_mm256_shuffle_ps(blue01, blue23, 0x44));
    // Saturating packs clamp each value to a byte.
    const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(b, g), _mm256_packus_epi32(r, r));
    if (pixelBytes == 4) {
      const __m256i stored = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
      const __m256i bgr = _mm256_shuffle_epi8(bytes, interleaveWide);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_or_si256(bgr, _mm256_and_si256(stored, spare)));
    } else {
      const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(bytes, interleave), joinLanes);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(packed, 1));
    }
  }
  return x;
}

#else

int MatrixShaperTable::convertVector(uint8_t*, int, int) const { return 0; }

#endif

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
