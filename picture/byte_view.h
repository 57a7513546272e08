#pragma once
// A read-only, bounds-checked view of untrusted file bytes (little-endian values, as
// the bitmap, icon and metafile formats store them). A read outside the view raises
// the invalid-graphic error of the format being read, so a parser never needs its own
// range arithmetic and cannot read past the end.

#include "platform/errors.h"
#include "platform/stream.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class ByteView {
 public:
  ByteView(const uint8_t* data, size_t size, const char* errorText)
      : data_(data), size_(data ? size : 0), errorText_(errorText) {}

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }

  // True when count bytes starting at offset lie inside the view (no overflow possible).
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

  void Require(size_t offset, size_t count) const {
    if (!Has(offset, count)) Fail();
  }

  uint8_t U8(size_t offset) const {
    Require(offset, 1);
    return data_[offset];
  }
  uint16_t U16(size_t offset) const {
    Require(offset, 2);
    return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  uint32_t U32(size_t offset) const {
    Require(offset, 4);
    return static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<uint32_t>(data_[offset + 2]) << 16) | (static_cast<uint32_t>(data_[offset + 3]) << 24);
  }
  int16_t I16(size_t offset) const { return static_cast<int16_t>(U16(offset)); }
  int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }

  // The count bytes from offset as a view of their own, with the same error.
  ByteView Sub(size_t offset, size_t count) const {
    Require(offset, count);
    return ByteView(data_ + offset, count, errorText_);
  }
  // Everything from offset to the end.
  ByteView From(size_t offset) const {
    Require(offset, 0);
    return ByteView(data_ + offset, size_ - offset, errorText_);
  }

  [[noreturn]] void Fail() const { throw EInvalidGraphic(QString::fromUtf8(errorText_)); }

 private:
  const uint8_t* data_;
  size_t size_;
  const char* errorText_;
};

// All bytes from the stream's position to its end; more than limit raises EOutOfMemory
// before anything is allocated.
inline QByteArray ReadRestOfStream(TStream& stream, int64_t limit) {
  const int64_t count = stream.Size() - stream.Position();
  if (count > limit) throw EOutOfMemory();
  QByteArray bytes(count > 0 ? count : 0, Qt::Uninitialized);
  stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}
