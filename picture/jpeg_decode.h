#pragma once
// Decoding a JPEG picture's compressed bytes into its decoded bitmap, with progress
// reports to the picture's progress notification.

#include "picture/graphic.h"
#include "picture/jpeg_codec.h"
#include "picture/jpeg_data.h"
#include "picture/jpeg_progress.h"
#include "picture/jpeg_settings.h"

#include <QSize>

#include <memory>

class TBitmap;
class TJPEGImage;

// How the decompressor was set up for a picture's settings.
struct JpegDecodePlan {
  bool eightBit = false;     // colour-mapped output into an 8-bit bitmap
  bool cmyk = false;         // four-component file, converted to blue, green, red by us
  bool buffered = false;     // progressive display: one output pass per input scan
  J_DCT_METHOD finalDctMethod = JDCT_ISLOW;
  bool finalTwoPass = false;
  J_DITHER_MODE finalDitherMode = JDITHER_FS;
};

// Reads the header and sets the decompression parameters from the settings.
JpegDecodePlan ConfigureDecompressor(JpegDecompressor& decompressor, const TJPEGSettings& settings);

// The output size the settings give for these bytes (the header read, nothing decoded).
QSize JpegOutputSize(const QByteArray& bytes, const TJPEGSettings& settings);

// One decode of owner's compressed bytes into bitmap, which owner already holds as its
// decoded bitmap (empty) so that progress handlers can draw it while it fills.
class JpegBitmapDecode : private JpegProgressSink {
 public:
  JpegBitmapDecode(TJPEGImage& owner, std::shared_ptr<TBitmap> bitmap);
  // Returns false when the owner was freed during the decode (by a progress handler).
  bool Run();

 private:
  void LibraryProgress(j_common_ptr info) override;
  bool report(TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& region);
  void decodeRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan);
  void useTemporaryPalette(JpegDecompressor& decompressor);
  void takeGeneratedPalette(const jpeg_decompress_struct& info);
  void readAllRows(JpegDecompressor& decompressor, const JpegDecodePlan& plan);
  int readScanlines(JpegDecompressor& decompressor, JSAMPROW* rows, int count);
  void checkBitmapShape(const jpeg_decompress_struct& info, const JpegDecodePlan& plan);

  TJPEGImage& owner_;
  std::shared_ptr<bool> ownerAlive_;
  TJPEGDataRef data_;
  std::shared_ptr<TBitmap> bitmap_;
  TJPEGSettings settings_;
  JpegProgressMeter meter_{true};
  bool generatePalette_ = true;
};

// Turns four-component rows into blue, green, red. Files with an Adobe marker store the
// components inverted, as the programs that write them do.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool adobeInverted);
