// Writes the JPEG files of the program's sample folder, or (with --seeds) the small seed
// files of the JPEG decoding fuzz target.
//
//   make_samples <folder>           landscape, portrait, grayscale, progressive, 24 megapixels
//   make_samples --seeds <folder>   a few kilobytes each: every kind of file the decoder meets

#include "tools/sample_jpeg.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, size_t length) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteSample(const std::filesystem::path& folder, const char* name, const SampleJpegOptions& options) {
  const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
  return WriteFile(folder / name, bytes, bytes.size());
}

SampleJpegOptions Sized(int width, int height) {
  SampleJpegOptions o;
  o.width = width;
  o.height = height;
  return o;
}

bool WriteSamples(const std::filesystem::path& folder) {
  SampleJpegOptions gray = Sized(1024, 768);
  gray.model = SampleColorModel::Grayscale;
  SampleJpegOptions progressive = Sized(1600, 1200);
  progressive.progressive = true;
  return WriteSample(folder, "quer.jpg", Sized(1600, 1200)) && WriteSample(folder, "hoch.jpg", Sized(1200, 1600)) &&
         WriteSample(folder, "graustufen.jpg", gray) && WriteSample(folder, "progressiv.jpg", progressive) &&
         WriteSample(folder, "gross_24_megapixel.jpg", Sized(6000, 4000));
}

bool WriteSeeds(const std::filesystem::path& folder) {
  SampleJpegOptions baseline = Sized(64, 48);
  baseline.quality = 75;
  SampleJpegOptions progressive = Sized(48, 32);
  progressive.progressive = true;
  progressive.quality = 75;
  SampleJpegOptions gray = Sized(40, 30);
  gray.model = SampleColorModel::Grayscale;
  SampleJpegOptions grayProgressive = gray;
  grayProgressive.progressive = true;
  SampleJpegOptions restarts = Sized(64, 48);
  restarts.restartIntervalRows = 1;
  restarts.quality = 75;
  SampleJpegOptions cmyk = Sized(32, 24);
  cmyk.model = SampleColorModel::Cmyk;
  cmyk.quality = 75;
  SampleJpegOptions cmykPlain = cmyk;
  cmykPlain.adobeMarker = false;
  SampleJpegOptions ycck = cmyk;
  ycck.model = SampleColorModel::Ycck;
  SampleJpegOptions refined = Sized(16, 16);
  refined.model = SampleColorModel::Grayscale;
  refined.refinementLevels = 2;

  const std::vector<uint8_t> whole = MakeSampleJpeg(baseline);
  return WriteSample(folder, "baseline_64x48.jpg", baseline) && WriteSample(folder, "progressive_48x32.jpg", progressive) &&
         WriteSample(folder, "grayscale_40x30.jpg", gray) && WriteSample(folder, "grayscale_progressive.jpg", grayProgressive) &&
         WriteSample(folder, "tiny_1x1.jpg", Sized(1, 1)) && WriteSample(folder, "restart_every_row.jpg", restarts) &&
         WriteSample(folder, "cmyk_adobe_inverted.jpg", cmyk) && WriteSample(folder, "cmyk_without_adobe_marker.jpg", cmykPlain) &&
         WriteSample(folder, "ycck.jpg", ycck) && WriteSample(folder, "refined_scan_per_coefficient.jpg", refined) &&
         WriteFile(folder / "baseline_cut_in_half.jpg", whole, whole.size() / 2);
}

}  // namespace

int main(int argc, char** argv) {
  const bool seeds = argc == 3 && std::string(argv[1]) == "--seeds";
  if (argc != 2 && !seeds) {
    std::fprintf(stderr, "usage: make_samples [--seeds] <folder>\n");
    return 2;
  }
  const std::filesystem::path folder(argv[argc - 1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s\n", folder.c_str());
    return 1;
  }
  return (seeds ? WriteSeeds(folder) : WriteSamples(folder)) ? 0 : 1;
}
