#include "picture/tiff_bytes.h"

#include <algorithm>

namespace {

constexpr uint16_t kTiffMagic = 42;

}  // namespace

std::optional<TiffBytes> TiffBytes::Open(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 8) {
    return std::nullopt;
  }
  const bool little = data[0] == 'I' && data[1] == 'I';
  const bool big = data[0] == 'M' && data[1] == 'M';
  if (!little && !big) {
    return std::nullopt;
  }
  const TiffBytes tiff(data, size, big);
  if (tiff.U16(2) != kTiffMagic) {
    return std::nullopt;
  }
  return tiff;
}

std::optional<size_t> TiffBytes::FindEntry(size_t directory, uint16_t tag) const {
  if (!Has(directory, 2)) {
    return std::nullopt;
  }
  const uint32_t entries = std::min<uint32_t>(U16(directory), kMaxEntries);
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + size_t{i} * kEntrySize;
    if (!Has(entry, kEntrySize)) {
      break;
    }
    if (U16(entry) == tag) {
      return entry;
    }
  }
  return std::nullopt;
}

std::optional<uint32_t> TiffBytes::SingleNumber(size_t entry) const {
  if (U32(entry + 4) != 1) {
    return std::nullopt;
  }
  switch (U16(entry + 2)) {
    case kTypeShort:
      return U16(entry + 8);
    case kTypeLong:
      return U32(entry + 8);
    default:
      return std::nullopt;
  }
}
