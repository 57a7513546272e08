#pragma once
// Reads a TIFF structure (the part of an EXIF segment after "Exif\0\0") in its own byte
// order. Nothing in it is trusted: every read is checked against its end first, and a
// directory is read for at most a fixed number of entries.

#include <cstddef>
#include <cstdint>
#include <optional>

class TiffBytes {
 public:
  // Real directories hold a few dozen entries; the limit only keeps a forged one cheap.
  static constexpr uint32_t kMaxEntries = 512;
  static constexpr size_t kEntrySize = 12;
  static constexpr uint16_t kTypeShort = 3;
  static constexpr uint16_t kTypeLong = 4;

  // Empty when the bytes do not start with a TIFF header.
  static std::optional<TiffBytes> Open(const uint8_t* data, size_t size);

  // True when count bytes from offset lie inside (no overflow possible).
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
  const uint8_t* At(size_t offset) const { return data_ + offset; }

  uint16_t U16(size_t offset) const {
    const uint8_t* p = data_ + offset;
    return static_cast<uint16_t>(bigEndian_ ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
  }
  uint32_t U32(size_t offset) const {
    const uint32_t high = U16(offset);
    const uint32_t low = U16(offset + 2);
    return bigEndian_ ? (high << 16) | low : (low << 16) | high;
  }

  // The offset of the first image directory.
  uint32_t FirstDirectory() const { return U32(4); }
  // The offset of the entry with this tag in the directory at `directory`, if any.
  std::optional<size_t> FindEntry(size_t directory, uint16_t tag) const;
  // The single number an entry holds: one SHORT, or one LONG as some writers store it.
  std::optional<uint32_t> SingleNumber(size_t entry) const;

 private:
  TiffBytes(const uint8_t* data, size_t size, bool bigEndian) : data_(data), size_(size), bigEndian_(bigEndian) {}

  const uint8_t* data_;
  size_t size_;
  bool bigEndian_;
};
