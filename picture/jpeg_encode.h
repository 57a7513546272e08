#pragma once
// Compressing a bitmap into the bytes of a JPEG file.

#include "picture/jpeg_progress.h"
#include "picture/jpeg_settings.h"

#include <QByteArray>

class TBitmap;

// A compressed file and what its header says.
struct EncodedJpeg {
  QByteArray bytes;
  int width = 0;
  int height = 0;
  bool grayscale = false;
};

// Compresses bitmap (not empty) with the settings' quality, grey scale and progressive
// encoding, reporting Starting, Running and Ending. A failure, one thrown by a progress
// report included, is raised after the Ending report.
EncodedJpeg EncodeJpeg(TBitmap& bitmap, const TJPEGSettings& settings, const JpegProgressCallback& progress);
