#pragma once
// The tables that turn 8-bit device colours into sRGB, computed once per colour profile
// and then applied to every pixel of a picture: a profile of three curves and a matrix
// through three input tables, one matrix and an encoding table; any other profile through
// a grid of sRGB colours over its device values, interpolated between the corners of the
// simplex around each colour.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Device red, green and blue through their curves into linear light, a matrix into linear
// sRGB, then the sRGB encoding. The vector form computes that encoding from its formula
// instead of the table, as sRGB is the only encoding these tables are made for.
class MatrixShaperTable {
 public:
  // linear[c][v]: the linear light of value v on channel c (red, green, blue). matrix:
  // row-major, from linear device colours to linear sRGB. encode: linear sRGB in [0, 1]
  // to the encoded value in [0, 1].
  MatrixShaperTable(const std::array<std::array<float, 256>, 3>& linear, const std::array<double, 9>& matrix,
                    const std::function<double(double)>& encode);

  // Pixels of blue, green, red (and a fourth byte, left alone, when pixelBytes is 4),
  // converted in place: eight at a time where the processor has the vector instructions
  // for it, the rest through the portable form.
  void ConvertBgr(uint8_t* row, int width, int pixelBytes) const;
  // The portable form, which tests hold the vector form against; the two differ by at
  // most one 8-bit step.
  void ConvertBgrPortable(uint8_t* row, int width, int pixelBytes) const;

  // Steps of the encoding table over [0, 1]: fine enough that the darkest colours, where
  // the encoding is steepest, land within a fifth of an 8-bit step of their exact value.
  static constexpr int kEncodeSteps = 8192;

 private:
  void convertOne(uint8_t* pixel) const;
  int encodeIndex(float linear) const;
  // Eight pixels at a time; returns how many it converted.
  int convertVector(uint8_t* row, int width, int pixelBytes) const;

  std::array<std::array<float, 256>, 3> linear_;
  std::array<float, 9> matrix_;
  // Per input channel and value: its share of the three linear outputs, in encoding steps.
  alignas(16) std::array<std::array<std::array<float, 4>, 256>, 3> shares_;
  std::vector<uint8_t> encode_;
};

// sRGB colours at the points of a regular grid over three or four device axes.
class ColourGrid {
 public:
  // The device values in [0, 1] at every grid point, the first axis changing fastest;
  // the sRGB colours are given back in the same order (red, green, blue in [0, 1]).
  using Sampler = std::function<void(const std::vector<double>& device, std::vector<double>& srgb)>;

  // inverted: device value v is stored as 255 - v (CMYK files with Adobe's marker).
  ColourGrid(int axes, int points, bool inverted, const Sampler& sampler);

  // Pixels of blue, green, red converted in place.
  void ConvertBgr(uint8_t* row, int width, int pixelBytes) const;
  // Pixels of cyan, magenta, yellow, black into pixels of blue, green, red.
  void ConvertCmyk(const uint8_t* cmyk, uint8_t* bgr, int width, int bgrPixelBytes) const;

 private:
  // Where an input byte falls on an axis: the offset of the grid point below it and the
  // distance beyond that point, in 256ths of a cell.
  struct AxisStep {
    uint32_t offset = 0;
    uint32_t fraction = 0;
  };

  template <int Axes>
  void interpolate(const uint8_t* const device[Axes], uint8_t* bgr) const;

  std::array<uint32_t, 4> strides_{};
  std::array<std::array<AxisStep, 256>, 4> steps_{};
  // Per grid point: blue, green, red in 128ths of an 8-bit step, and a spare, so that
  // two points and their weights multiply in one vector instruction.
  std::vector<std::array<int16_t, 4>> points_;
};
