#include "tools/sample_jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

constexpr SampleRgb kTopLeft{200, 30, 30};
constexpr SampleRgb kTopRight{30, 160, 50};
constexpr SampleRgb kBottomLeft{30, 50, 190};
constexpr SampleRgb kBottomRight{230, 200, 30};
constexpr SampleRgb kDisc{250, 250, 250};

// Sample making only ever gets options the code chose, so a library error is a bug.
[[noreturn]] void AbortOnError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  std::fprintf(stderr, "sample JPEG: %s\n", message);
  std::abort();
}

int ComponentsOf(SampleColorModel model) {
  switch (model) {
    case SampleColorModel::Grayscale:
      return 1;
    case SampleColorModel::Cmyk:
    case SampleColorModel::Ycck:
      return 4;
    case SampleColorModel::Color:
      break;
  }
  return 3;
}

uint8_t Gray(SampleRgb c) { return static_cast<uint8_t>((c.r * 299 + c.g * 587 + c.b * 114) / 1000); }

// Ink amounts of a colour, with the black ink taking the common part.
void ToCmyk(SampleRgb c, bool inverted, uint8_t* out) {
  const int k = 255 - std::max({c.r, c.g, c.b});
  const int rgb[3] = {c.r, c.g, c.b};
  for (int i = 0; i < 3; ++i) {
    const int ink = k == 255 ? 0 : (255 - rgb[i] - k) * 255 / (255 - k);
    out[i] = static_cast<uint8_t>(inverted ? 255 - ink : ink);
  }
  out[3] = static_cast<uint8_t>(inverted ? 255 - k : k);
}

// A small linear congruential generator: the same noise on every machine.
class Noise {
 public:
  explicit Noise(int amplitude) : amplitude_(amplitude) {}
  uint8_t Apply(uint8_t value) {
    if (amplitude_ <= 0) return value;
    state_ = state_ * 1664525u + 1013904223u;
    const int offset = static_cast<int>((state_ >> 8) % static_cast<uint32_t>(2 * amplitude_ + 1)) - amplitude_;
    return static_cast<uint8_t>(std::clamp(value + offset, 0, 255));
  }

 private:
  int amplitude_;
  uint32_t state_ = 1;
};

SampleRgb Noisy(SampleRgb c, Noise& noise) { return {noise.Apply(c.r), noise.Apply(c.g), noise.Apply(c.b)}; }

void FillRow(const SampleJpegOptions& o, int y, std::vector<uint8_t>& row, Noise& noise) {
  const int components = ComponentsOf(o.model);
  if (o.samples != nullptr) {
    const uint8_t* given = o.samples + static_cast<size_t>(y) * row.size();
    const bool inverted = components == 4 && o.adobeMarker;
    std::transform(given, given + row.size(), row.begin(), [inverted](uint8_t v) { return static_cast<uint8_t>(inverted ? 255 - v : v); });
    return;
  }
  for (int x = 0; x < o.width; ++x) {
    const SampleRgb c = Noisy(SamplePatternColor(x, y, o.width, o.height), noise);
    uint8_t* px = row.data() + static_cast<size_t>(x) * static_cast<size_t>(components);
    if (components == 1) {
      px[0] = Gray(c);
    } else if (components == 3) {
      px[0] = c.r;
      px[1] = c.g;
      px[2] = c.b;
    } else {
      ToCmyk(c, o.adobeMarker, px);
    }
  }
}

jpeg_scan_info Scan(int components, int first, int last, int ah, int al) {
  jpeg_scan_info s{};
  s.comps_in_scan = components < 0 ? 1 : components;
  for (int i = 0; i < s.comps_in_scan; ++i) {
    s.component_index[i] = components < 0 ? -components - 1 : i;
  }
  s.Ss = first;
  s.Se = last;
  s.Ah = ah;
  s.Al = al;
  return s;
}

// DC in one scan, then every AC coefficient of every component on its own, first at
// reduced precision and then refined one bit at a time.
std::vector<jpeg_scan_info> ManyScanScript(int components, int levels) {
  std::vector<jpeg_scan_info> script;
  script.push_back(Scan(components, 0, 0, 0, 0));
  for (int c = 0; c < components; ++c) {
    for (int k = 1; k < 64; ++k) {
      script.push_back(Scan(-c - 1, k, k, 0, levels));
      for (int a = levels; a > 0; --a) {
        script.push_back(Scan(-c - 1, k, k, a, a - 1));
      }
    }
  }
  return script;
}

void SetColorModel(jpeg_compress_struct& info, const SampleJpegOptions& o) {
  switch (o.model) {
    case SampleColorModel::Cmyk:
      jpeg_set_colorspace(&info, JCS_CMYK);
      break;
    case SampleColorModel::Ycck:
      jpeg_set_colorspace(&info, JCS_YCCK);
      break;
    default:
      return;
  }
  info.write_Adobe_marker = o.adobeMarker ? TRUE : FALSE;
}

}  // namespace

SampleRgb SamplePatternColor(int x, int y, int width, int height) {
  const double dx = x + 0.5 - width / 2.0;
  const double dy = y + 0.5 - height / 2.0;
  const double radius = std::min(width, height) / 6.0;
  if (dx * dx + dy * dy < radius * radius) {
    return kDisc;
  }
  const bool left = x < width / 2;
  const bool top = y < height / 2;
  if (top) {
    return left ? kTopLeft : kTopRight;
  }
  return left ? kBottomLeft : kBottomRight;
}

int SampleScanCount(const SampleJpegOptions& options) {
  if (options.refinementLevels > 0) {
    const int all = 1 + ComponentsOf(options.model) * 63 * (options.refinementLevels + 1);
    return options.scanLimit > 0 ? std::min(all, options.scanLimit) : all;
  }
  return options.progressive ? -1 : 1;  // the simple progression's count is the library's
}

std::vector<uint8_t> MakeSampleJpeg(const SampleJpegOptions& o) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  error.error_exit = AbortOnError;
  jpeg_create_compress(&info);

  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);

  const int components = ComponentsOf(o.model);
  info.image_width = static_cast<JDIMENSION>(o.width);
  info.image_height = static_cast<JDIMENSION>(o.height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&info);
  SetColorModel(info, o);
  jpeg_set_quality(&info, o.quality, TRUE);
  if (o.fullChroma) {
    for (int i = 0; i < info.num_components; ++i) {
      info.comp_info[i].h_samp_factor = 1;
      info.comp_info[i].v_samp_factor = 1;
    }
  }
  info.arith_code = o.arithmeticCoding ? TRUE : FALSE;
  info.restart_in_rows = o.restartIntervalRows;
  std::vector<jpeg_scan_info> script;
  if (o.refinementLevels > 0) {
    script = ManyScanScript(components, o.refinementLevels);
    if (o.scanLimit > 0 && script.size() > static_cast<size_t>(o.scanLimit)) {
      script.resize(static_cast<size_t>(o.scanLimit));
    }
    info.scan_info = script.data();
    info.num_scans = static_cast<int>(script.size());
  } else if (o.progressive) {
    jpeg_simple_progression(&info);
  }

  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(o.width) * static_cast<size_t>(components));
  Noise noise(o.noise);
  while (info.next_scanline < info.image_height) {
    FillRow(o, static_cast<int>(info.next_scanline), row, noise);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);

  std::vector<uint8_t> file(buffer, buffer + size);
  std::free(buffer);
  return file;
}
