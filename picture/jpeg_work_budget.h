#pragma once
// The work a decode may do, bounded by the picture's size rather than by the file's.
// Every scan of a file is a pass of the decoder over the blocks of the components it
// covers, however few bytes it holds, so a small file of many scans over a large picture
// could keep the decoder busy for seconds. An ordinary progressive file is worth about
// six passes over all of its picture's blocks (its DC scans cover every component, its
// AC scans each cover one); a decode may do twice that. With a progressive display each
// output pass also redraws the whole picture, which an ordinary file does about ten
// times more. Past the allowance the file is refused as a damaged one.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

// Passes over all of the picture's blocks a decode may make: input scans alone, and
// input scans together with the output passes of a progressive display.
inline constexpr int kJpegAllowedScanPasses = 12;
inline constexpr int kJpegAllowedDisplayPasses = 32;

// Counts the work of one decode from the library's progress calls. Plain data, since it
// lives in the library's progress monitor.
struct JpegWorkMeter {
  int64_t pictureBlocks = 0;
  int64_t blocksDone = 0;
  int lastInputScan = 0;
  int lastOutputScan = 0;

  // Counts a scan the first time the decoder is seen in it, and an output pass of a
  // progressive display the first time it is started; false once the work is beyond the
  // allowance.
  bool Charge(const jpeg_decompress_struct& info);
};
