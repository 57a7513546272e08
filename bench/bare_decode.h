#pragma once
// The reference the benchmarks measure the program against: what a plain program would
// do with libjpeg-turbo at its best, doing the same work as the program. The library's
// memory source, the same DCT method as the program's decode (the library's default, as
// the program's default settings leave it), rows straight into one buffer with rows
// padded to 4 bytes in blue-green-red order, as a bitmap has them. The buffer is either
// allocated the way the program's bitmap is (zeroed, asking for huge pages), or one that
// is already in memory, which shows the decode alone.

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <sys/mman.h>

[[noreturn]] inline void AbortOnJpegError(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::abort();
}

// A zeroed buffer that asks for huge pages, as the program's bitmaps do.
struct BareBuffer {
  explicit BareBuffer(size_t size) : bytes(size), pixels(static_cast<unsigned char*>(std::calloc(size, 1))) {
    if (pixels == nullptr) std::abort();
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(pixels) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(pixels) + size) & ~(kHugePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
  ~BareBuffer() { std::free(pixels); }
  BareBuffer(const BareBuffer&) = delete;
  BareBuffer& operator=(const BareBuffer&) = delete;
  // Touches every page, so that a decode into it pays no page faults.
  void Prefault() { std::memset(pixels, 0, bytes); }

  size_t bytes;
  unsigned char* pixels;
};

// A decompressor over the file, its header read; the caller destroys it.
inline void OpenBare(jpeg_decompress_struct& info, jpeg_error_mgr& error, const QByteArray& file) {
  info.err = jpeg_std_error(&error);
  error.error_exit = AbortOnJpegError;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
}

// The bytes a decoded picture of this file takes in 24-bit rows padded to 4 bytes.
inline size_t BarePictureBytes(const QByteArray& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  OpenBare(info, error, file);
  const size_t bytes = (static_cast<size_t>(info.image_width) * 3 + 3) / 4 * 4 * info.image_height;
  jpeg_destroy_decompress(&info);
  return bytes;
}

// Decodes into `into` when given (big enough for BarePictureBytes), else into a buffer
// allocated as the program allocates its bitmap.
inline void DecodeBare(const QByteArray& file, BareBuffer* into = nullptr) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  OpenBare(info, error, file);
  info.out_color_space = JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;  // the program's default settings decode with best quality
  jpeg_start_decompress(&info);
  const size_t stride = (static_cast<size_t>(info.output_width) * 3 + 3) / 4 * 4;
  std::unique_ptr<BareBuffer> own;
  if (into == nullptr) {
    own = std::make_unique<BareBuffer>(stride * info.output_height);
    into = own.get();
  }
  unsigned char* const pixels = into->pixels;
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
}
