#pragma once
// Makes JPEG files in memory with libjpeg, for the program's sample folder, the tests,
// the fuzz seeds and the benchmark. The picture is a recognisable pattern: four coloured
// quadrants with a white disc in the middle, whose colours a test can check.

#include <cstdint>
#include <vector>

enum class SampleColorModel {
  Color,      // YCbCr
  Grayscale,  // one component
  Cmyk,       // four components, stored as CMYK
  Ycck,       // four components, stored as YCCK
};

struct SampleJpegOptions {
  int width = 64;
  int height = 48;
  SampleColorModel model = SampleColorModel::Color;
  bool progressive = false;  // the library's simple progression
  int quality = 90;
  // Four-component files: with the Adobe marker the components are stored inverted, as
  // the programs that write such files do; without it they are stored as they are.
  bool adobeMarker = true;
  int restartIntervalRows = 0;  // restart markers every n MCU rows (0: none)
  // More than 0: a progressive script with one scan per coefficient, component and bit
  // level, refined from this many bits down (many scans: 1 + components * 63 * (n + 1)).
  int refinementLevels = 0;
  // More than 0, with refinementLevels: the script ends after this many scans, leaving
  // the last coefficients out, as a file may.
  int scanLimit = 0;
  // More than 0: each sample varies by up to this much around the pattern (the same
  // noise for the same options), so the file holds much to decode.
  int noise = 0;
  bool fullChroma = false;         // colour components at full resolution, not halved
  bool arithmeticCoding = false;   // arithmetic instead of Huffman coding: slower to decode
  // When set, the picture itself instead of the pattern: width x height pixels of the
  // model's components (red, green, blue; gray; or ink amounts of cyan, magenta,
  // yellow, black, which the Adobe marker makes stored inverted), row after row.
  const uint8_t* samples = nullptr;
};

struct SampleRgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

// The pattern's colour at (x, y) of a width x height picture (without noise).
SampleRgb SamplePatternColor(int x, int y, int width, int height);

// The number of scans a file made with these options holds.
int SampleScanCount(const SampleJpegOptions& options);

// The JPEG file. Library errors (impossible options) end the process with a message.
std::vector<uint8_t> MakeSampleJpeg(const SampleJpegOptions& options);
