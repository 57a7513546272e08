#pragma once
// Compressing a JPEG picture's decoded bitmap into new compressed bytes.

#include "picture/graphic.h"
#include "picture/jpeg_codec.h"
#include "picture/jpeg_progress.h"

class TJPEGImage;

class JpegBitmapEncode : private JpegProgressSink {
 public:
  explicit JpegBitmapEncode(TJPEGImage& owner) : owner_(owner) {}
  // Gives the owner new compressed data made from its decoded bitmap: none when there
  // is no bitmap, no bytes when a progress handler aborted silently.
  void Run();

 private:
  void LibraryProgress(j_common_ptr info) override;
  void compress(JpegCompressor& compressor);

  TJPEGImage& owner_;
  JpegProgressMeter meter_{false};
};
