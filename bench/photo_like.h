#pragma once
// A picture made at run time with what makes photographs expensive to decode and to
// compress: smooth shading, a few edges and fine grain (about 6 MB for 24 megapixels at
// quality 90), different for each seed.

#include "bench/bare_decode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

inline std::vector<unsigned char> MakePhotoLikeJpeg(int width, int height, unsigned seed) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  error.error_exit = AbortOnJpegError;
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  uint32_t noise = 0x9E3779B9u ^ seed;
  const double phase = seed * 0.7;
  while (info.next_scanline < info.image_height) {
    const double y = info.next_scanline;
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int grain = static_cast<int>(noise % 23) - 11;
      const double shade = 0.5 + 0.25 * std::sin(x / 700.0 + phase) * std::cos(y / 500.0 - phase);
      const double detail = 18 * std::sin(x / 23.0 + y / 31.0) + ((x / 400 + static_cast<int>(y) / 300) % 2) * 30;
      const double channel[3] = {shade * 220 + detail, shade * 180 + detail * 0.8, shade * 140 + detail * 0.6};
      for (int c = 0; c < 3; ++c) {
        row[static_cast<size_t>(x) * 3 + c] =
            static_cast<unsigned char>(std::clamp(static_cast<int>(channel[c]) + grain, 0, 255));
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<unsigned char> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

