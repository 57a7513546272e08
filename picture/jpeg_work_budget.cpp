#include "picture/jpeg_work_budget.h"

namespace {

int64_t ComponentBlocks(const jpeg_component_info& component) {
  return int64_t{component.width_in_blocks} * int64_t{component.height_in_blocks};
}

int64_t PictureBlocks(const jpeg_decompress_struct& info) {
  int64_t blocks = 0;
  for (int c = 0; c < info.num_components; ++c) {
    blocks += ComponentBlocks(info.comp_info[c]);
  }
  return blocks;
}

int64_t ScanBlocks(const jpeg_decompress_struct& info) {
  int64_t blocks = 0;
  for (int i = 0; i < info.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
    if (info.cur_comp_info[i] != nullptr) {
      blocks += ComponentBlocks(*info.cur_comp_info[i]);
    }
  }
  return blocks;
}

}  // namespace

bool JpegWorkMeter::Charge(const jpeg_decompress_struct& info) {
  if (info.comp_info == nullptr || info.input_scan_number < 1) {
    return true;  // no scan begun yet
  }
  if (pictureBlocks == 0) {
    pictureBlocks = PictureBlocks(info);
  }
  if (info.input_scan_number != lastInputScan) {
    lastInputScan = info.input_scan_number;
    blocksDone += ScanBlocks(info);
  }
  if (info.buffered_image && info.output_scan_number != lastOutputScan) {
    lastOutputScan = info.output_scan_number;
    blocksDone += pictureBlocks;
  }
  const int allowedPasses = info.buffered_image ? kJpegAllowedDisplayPasses : kJpegAllowedScanPasses;
  return blocksDone <= allowedPasses * pictureBlocks;
}
