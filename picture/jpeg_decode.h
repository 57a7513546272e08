#pragma once
// Decoding the bytes of a JPEG file into a bitmap, with progress reports.

#include "picture/graphic.h"
#include "picture/jpeg_codec.h"
#include "picture/jpeg_progress.h"
#include "picture/jpeg_settings.h"

#include <QSize>

#include <exception>
#include <memory>

class TBitmap;

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

// How a decode ended, for the picture that asked for it.
struct JpegDecodeOutcome {
  // A progress report found the receiver gone: the decode stopped and touched nothing.
  bool receiverGone = false;
  // A silent abort in the Starting report: nothing was decoded, no Ending is due.
  bool abortedAtStart = false;
  // The decode made the 8-bit bitmap's palette.
  bool paletteGenerated = false;
  // The error that ended the rows (the rows decoded so far stay in the bitmap).
  std::exception_ptr failure;
};

// Decodes bytes into bitmap, an empty bitmap that its picture already holds so that
// progress handlers can draw it while it fills. palette, when given for an 8-bit
// decode, is used instead of one the library makes. Reports Starting and Running; the
// Ending report is the caller's, after it has looked at the outcome. An unreadable
// header or a picture too large for memory is raised before anything is reported.
JpegDecodeOutcome DecodeJpeg(QByteArray bytes, const TJPEGSettings& settings, const TPalette& palette,
                             const std::shared_ptr<TBitmap>& bitmap, const JpegProgressCallback& progress);

// Turns four-component rows into blue, green, red, each pixel bgrPixelBytes after the one
// before (a fourth byte is left as it is). Files with an Adobe marker store the
// components inverted, as the programs that write them do.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool adobeInverted, int bgrPixelBytes = 3);
