// Draws the toolbar's pictures and writes them in the formats the program embeds:
// "BACKGROUND", the 640 x 125 wallpaper, as a run-length encoded 8-bit bitmap, and
// "RX_DRAGCUR", the cursor shown while the toolbar is dragged, as a monochrome cursor.
//
//   make_chrome_resources <folder>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutInfoHeader(Bytes& out, int width, int height, int bitCount, uint32_t compression, uint32_t imageSize,
                   uint32_t colours) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bitCount));
  Put32(out, compression);
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, colours);
  Put32(out, 0);
}

// ---- the wallpaper ----

constexpr int kWallWidth = 640;
constexpr int kWallHeight = 125;
constexpr int kShades = 48;
constexpr double kPi = 3.14159265358979323846;

// A calm pale blue-grey ramp: dark enough at one end to show the waves, light enough
// everywhere for the navy label text on it.
std::array<uint32_t, 256> WallpaperPalette() {
  std::array<uint32_t, 256> palette{};
  for (int i = 0; i < kShades; ++i) {
    const double t = static_cast<double>(i) / (kShades - 1);
    const int r = static_cast<int>(std::lround(0xC8 + t * (0xF2 - 0xC8)));
    const int g = static_cast<int>(std::lround(0xD2 + t * (0xF5 - 0xD2)));
    const int b = static_cast<int>(std::lround(0xE0 + t * (0xFA - 0xE0)));
    palette[static_cast<size_t>(i)] = static_cast<uint32_t>(b | (g << 8) | (r << 16));
  }
  return palette;
}

// Soft diagonal waves, periodic in both directions so the tiles meet without a seam.
int WallpaperShade(int x, int y) {
  const double u = 2 * kPi * x / kWallWidth;
  const double v = 2 * kPi * y / kWallHeight;
  const double wave = 0.45 * std::sin(2 * u + v) + 0.30 * std::sin(3 * u - 2 * v) + 0.25 * std::cos(u + 3 * v);
  const int shade = static_cast<int>(std::lround((wave + 1.0) / 2.0 * (kShades - 1)));
  return shade < 0 ? 0 : shade >= kShades ? kShades - 1 : shade;
}

// One row in RLE8: runs of equal pixels as (count, index); stretches without runs in
// absolute mode (0, count, pixels, padded to a whole word).
void EncodeRow(const std::vector<uint8_t>& row, Bytes& out) {
  size_t x = 0;
  while (x < row.size()) {
    size_t run = 1;
    while (x + run < row.size() && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    size_t literal = 1;
    while (x + literal < row.size() && literal < 255 &&
           !(x + literal + 1 < row.size() && row[x + literal] == row[x + literal + 1])) {
      ++literal;
    }
    if (literal < 3) {
      for (size_t i = 0; i < literal; ++i) {
        out.push_back(1);
        out.push_back(row[x + i]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(literal));
      out.insert(out.end(), row.begin() + static_cast<long>(x), row.begin() + static_cast<long>(x + literal));
      if (literal % 2 != 0) out.push_back(0);
    }
    x += literal;
  }
  out.push_back(0);
  out.push_back(0);  // end of line
}

Bytes WallpaperFile() {
  Bytes pixels;
  for (int y = kWallHeight - 1; y >= 0; --y) {  // stored bottom-up
    std::vector<uint8_t> row(kWallWidth);
    for (int x = 0; x < kWallWidth; ++x) row[static_cast<size_t>(x)] = static_cast<uint8_t>(WallpaperShade(x, y));
    EncodeRow(row, pixels);
  }
  pixels.push_back(0);
  pixels.push_back(1);  // end of bitmap
  const uint32_t offset = 14 + 40 + 256 * 4;
  Bytes file = {'B', 'M'};
  Put32(file, offset + static_cast<uint32_t>(pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  PutInfoHeader(file, kWallWidth, kWallHeight, 8, 1, static_cast<uint32_t>(pixels.size()), 256);
  for (uint32_t colour : WallpaperPalette()) Put32(file, colour);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// ---- the drag cursor ----

constexpr int kCursorSize = 32;
enum Ink : char { kClear = ' ', kBlack = 'X', kWhite = '.' };

// An arrow whose tip is the hot spot, carrying a small bar with two buttons.
std::vector<std::string> DragCursorPicture() {
  std::vector<std::string> rows(kCursorSize, std::string(kCursorSize, kClear));
  for (int r = 0; r < 12; ++r) {
    for (int x = 1; x <= 1 + r; ++x) rows[static_cast<size_t>(1 + r)][static_cast<size_t>(x)] = (x == 1 || x == 1 + r) ? kBlack : kWhite;
  }
  for (int x = 1; x <= 13; ++x) rows[13][static_cast<size_t>(x)] = kBlack;
  const int left = 12, top = 17, right = 30, bottom = 28;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const bool edge = y == top || y == bottom || x == left || x == right;
      rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = edge ? kBlack : kWhite;
    }
  }
  for (int button : {14, 22}) {
    for (int y = top + 3; y <= bottom - 3; ++y) {
      for (int x = button; x <= button + 5; ++x) {
        const bool edge = y == top + 3 || y == bottom - 3 || x == button || x == button + 5;
        if (edge) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = kBlack;
      }
    }
  }
  return rows;
}

Bytes DragCursorFile() {
  const std::vector<std::string> picture = DragCursorPicture();
  Bytes colour, mask;
  for (int y = kCursorSize - 1; y >= 0; --y) {  // bottom-up, 4 bytes a row
    for (int byte = 0; byte < kCursorSize / 8; ++byte) {
      uint8_t c = 0, m = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const char ink = picture[static_cast<size_t>(y)][static_cast<size_t>(byte * 8 + bit)];
        if (ink == kWhite) c |= static_cast<uint8_t>(0x80 >> bit);
        if (ink == kClear) m |= static_cast<uint8_t>(0x80 >> bit);
      }
      colour.push_back(c);
      mask.push_back(m);
    }
  }
  Bytes image;
  PutInfoHeader(image, kCursorSize, 2 * kCursorSize, 1, 0, static_cast<uint32_t>(colour.size() + mask.size()), 2);
  Put32(image, 0x000000);
  Put32(image, 0xFFFFFF);
  image.insert(image.end(), colour.begin(), colour.end());
  image.insert(image.end(), mask.begin(), mask.end());
  Bytes file;
  Put16(file, 0);
  Put16(file, 2);  // a cursor
  Put16(file, 1);
  file.push_back(kCursorSize);
  file.push_back(kCursorSize);
  file.push_back(2);
  file.push_back(0);
  Put16(file, 1);  // hot spot x
  Put16(file, 1);  // hot spot y
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_chrome_resources <folder>\n");
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::filesystem::create_directories(folder);
  const bool ok = Write(folder / "BACKGROUND.bmp", WallpaperFile()) && Write(folder / "RX_DRAGCUR.cur", DragCursorFile());
  return ok ? 0 : 1;
}
