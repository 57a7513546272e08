#pragma once
// The eight settings of a JPEG picture and the process-wide defaults that every new
// JPEG picture copies.

enum class TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum class TJPEGPixelFormat { jf24Bit, jf8Bit };
enum class TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

struct TJPEGSettings {
  int CompressionQuality = 90;  // 1 to 100
  bool Grayscale = false;
  TJPEGPerformance Performance = TJPEGPerformance::jpBestQuality;
  TJPEGPixelFormat PixelFormat = TJPEGPixelFormat::jf24Bit;
  bool ProgressiveDisplay = false;
  bool ProgressiveEncoding = false;
  TJPEGScale Scale = TJPEGScale::jsFullSize;
  bool Smoothing = true;
};

// The process-wide defaults (set up at process start by InitializeJpegKind).
TJPEGSettings& JPEGDefaults();

// The denominator of a scale: 1, 2, 4 or 8.
int ScaleDenominator(TJPEGScale Scale);
