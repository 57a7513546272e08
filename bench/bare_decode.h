#pragma once
// The reference the benchmarks measure the program against: what any program would do
// with libjpeg-turbo, the library's memory source and rows straight into one buffer
// with rows padded to 4 bytes, as a bitmap has them.

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

[[noreturn]] inline void AbortOnJpegError(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::abort();
}

inline void DecodeBare(const QByteArray& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  error.error_exit = AbortOnJpegError;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  const size_t stride = (static_cast<size_t>(info.output_width) * 3 + 3) / 4 * 4;
  auto* pixels = static_cast<unsigned char*>(std::calloc(stride * info.output_height, 1));
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[4];
    const int count = std::min<int>(std::min(info.rec_outbuf_height, 4), info.output_height - info.output_scanline);
    for (int i = 0; i < count; ++i) {
      rows[i] = pixels + stride * (info.output_scanline + i);
    }
    jpeg_read_scanlines(&info, rows, count);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::free(pixels);
}
