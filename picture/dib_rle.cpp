#include "picture/dib_rle.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

class RleDecoder {
 public:
  RleDecoder(const ByteView& data, bool fourBit, QImage& image)
      : data_(data), fourBit_(fourBit), image_(image), width_(image.width()), height_(image.height()) {}

  int Run() {
    image_.fill(0);
    while (y_ < height_) {
      const uint8_t count = Next();
      const uint8_t value = Next();
      if (count > 0) {
        PutRun(count, value);
      } else if (!Escape(value)) {
        break;
      }
    }
    return highest_;
  }

 private:
  uint8_t Next() { return data_.U8(at_++); }

  // Returns false at the end of the bitmap.
  bool Escape(uint8_t code) {
    switch (code) {
      case kEndOfLine:
        x_ = 0;
        ++y_;
        return true;
      case kEndOfBitmap:
        return false;
      case kDelta: {
        const uint8_t dx = Next();
        const uint8_t dy = Next();
        x_ = std::min(x_ + dx, width_);
        y_ += dy;
        return true;
      }
      default:
        PutLiteral(code);
        return true;
    }
  }

  // A run repeats one byte: in RLE4 its two pixels alternate.
  void PutRun(int count, uint8_t value) {
    if (!fourBit_) {
      const int shown = std::min(count, width_ - x_);
      if (shown <= 0) return;
      std::memset(Line() + x_, value, static_cast<size_t>(shown));
      x_ += shown;
      highest_ = std::max<int>(highest_, value);
      return;
    }
    for (int i = 0; i < count; ++i) Put(i % 2 == 0 ? value >> 4 : value & 0x0F);
  }

  // Literal pixels follow the escape, padded to a whole 16-bit word.
  void PutLiteral(int count) {
    const size_t bytes = fourBit_ ? static_cast<size_t>(count + 1) / 2 : static_cast<size_t>(count);
    data_.Require(at_, bytes);
    for (int i = 0; i < count; ++i) {
      const uint8_t byte = data_.Data()[at_ + (fourBit_ ? static_cast<size_t>(i / 2) : static_cast<size_t>(i))];
      Put(!fourBit_ ? byte : i % 2 == 0 ? byte >> 4 : byte & 0x0F);
    }
    at_ += bytes + bytes % 2;
  }

  void Put(int index) {
    if (x_ >= width_) return;
    Line()[x_++] = static_cast<uchar>(index);
    highest_ = std::max(highest_, index);
  }

  uchar* Line() { return image_.scanLine(height_ - 1 - y_); }

  const ByteView& data_;
  const bool fourBit_;
  QImage& image_;
  const int width_;
  const int height_;
  size_t at_ = 0;
  int x_ = 0;
  int y_ = 0;
  int highest_ = 0;
};

}  // namespace

int DecodeRle(const ByteView& data, bool fourBit, QImage& image) { return RleDecoder(data, fourBit, image).Run(); }
