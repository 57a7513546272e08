#pragma once
// The one place that calls libjpeg. Each library call runs inside a small frame that
// holds only plain objects and catches the library's fatal-error longjmp; the failure is
// then raised as a C++ exception from ordinary code: EJPEG with the library's message
// code, or the exception a progress handler threw inside the library call.
//
// Input comes from memory through 4096-byte windows; when the data ends early a fake
// end-of-image marker is supplied (with an ignored warning), so a truncated file decodes
// as far as it goes. Warnings are ignored. Output of the compressor goes to a QByteArray.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

// Our message codes, numbered after the library's and raised through its error mechanism.
inline constexpr int kJpegErrTooManyScans = 1000;    // more than kJpegMaxScans scans
inline constexpr int kJpegErrStoppedByHandler = 1001;  // a progress handler threw
inline constexpr int kJpegErrTooMuchWork = 1002;       // beyond the work budget of jpeg_work_budget.h

// A progressive file with more scans than this is refused: every scan costs a pass over
// the picture, and a forged file can hold hundreds of thousands of empty ones.
inline constexpr int kJpegMaxScans = 1000;

// Receives the library's progress calls. It may throw; the library is then stopped and
// the exception is raised again after the library call has returned.
class JpegProgressSink {
 public:
  virtual void LibraryProgress(j_common_ptr info) = 0;

 protected:
  ~JpegProgressSink() = default;
};

class JpegDecompressor {
 public:
  // Reads size bytes at data, which must stay unchanged while this object lives.
  JpegDecompressor(const uint8_t* data, size_t size, JpegProgressSink* sink);
  ~JpegDecompressor();
  JpegDecompressor(const JpegDecompressor&) = delete;
  JpegDecompressor& operator=(const JpegDecompressor&) = delete;

  jpeg_decompress_struct& Info();

  void ReadHeader();
  void CalcOutputDimensions();
  void StartDecompress();
  JDIMENSION ReadScanlines(JSAMPROW* rows, JDIMENSION maxRows);
  bool InputComplete();
  void StartOutput(int scanNumber);
  void FinishOutput();
  void FinishDecompress();
  // A colour map of count entries and `components` rows in the library's memory.
  JSAMPARRAY AllocColormap(int count, int components);

  struct State;

 private:
  std::unique_ptr<State> state_;
};

class JpegCompressor {
 public:
  // Appends the compressed file to *out, which must outlive this object.
  JpegCompressor(QByteArray* out, JpegProgressSink* sink);
  ~JpegCompressor();
  JpegCompressor(const JpegCompressor&) = delete;
  JpegCompressor& operator=(const JpegCompressor&) = delete;

  jpeg_compress_struct& Info();

  void SetDefaults();
  void SetQuality(int quality, bool forceBaseline);
  void SetColorspace(J_COLOR_SPACE colorSpace);
  void SimpleProgression();
  void StartCompress();
  JDIMENSION WriteScanlines(JSAMPROW* rows, JDIMENSION count);
  void FinishCompress();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// What a file's header says, read without decoding any pixels. The size is that of the
// upright picture, as its EXIF orientation turns it.
struct JpegHeaderInfo {
  int width = 0;
  int height = 0;
  bool grayscale = false;
  bool progressive = false;  // more than one scan
};

JpegHeaderInfo ReadJpegHeader(const QByteArray& data);
