// The inner loop of a quarter turn, the vector form and the portable one, over every
// shape of band near the vector widths: each column lands in its bitmap row, in band row
// order, and no byte around the pixels named is touched.

#include "picture/column_turn.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr uint8_t kUntouched = 0xEE;
constexpr int kGuardBytes = 16;  // around each bitmap row piece

struct Shape {
  int rows;
  int columns;
  bool bandUpwards;  // band rows taken from the last one up
  bool outUpwards;   // bitmap rows following each other upwards in memory
};

class TurnFixture {
 public:
  TurnFixture(const Shape& shape, int bandPixelBytes, int outPixelBytes)
      : shape_(shape), bandPixelBytes_(bandPixelBytes), outPixelBytes_(outPixelBytes) {
    band_.resize(static_cast<size_t>(shape.rows * shape.columns * bandPixelBytes));
    for (size_t i = 0; i < band_.size(); ++i) {
      // The unused fourth byte of a wide pixel holds a value no pixel byte has.
      band_[i] = bandPixelBytes == 4 && i % 4 == 3 ? kUntouched : static_cast<uint8_t>(i * 7 % 251);
    }
    out_.assign(static_cast<size_t>(shape.columns) * static_cast<size_t>(outStride()), kUntouched);
  }

  ColumnTurn Turn() {
    ColumnTurn turn;
    const ptrdiff_t bandStride = shape_.columns * bandPixelBytes_;
    turn.band = band_.data();
    turn.bandStep = bandStride;
    if (shape_.bandUpwards) {
      turn.band += (shape_.rows - 1) * bandStride;
      turn.bandStep = -bandStride;
    }
    turn.rows = shape_.rows;
    turn.columns = shape_.columns;
    turn.out = out_.data() + kGuardBytes;
    turn.outRowStep = outStride();
    if (shape_.outUpwards) {
      turn.out += (shape_.columns - 1) * outStride();
      turn.outRowStep = -outStride();
    }
    return turn;
  }

  std::vector<uint8_t> Expected() const {
    std::vector<uint8_t> expected(out_.size(), kUntouched);
    for (int x = 0; x < shape_.columns; ++x) {
      const int outRow = shape_.outUpwards ? shape_.columns - 1 - x : x;
      for (int i = 0; i < shape_.rows; ++i) {
        const int bandRow = shape_.bandUpwards ? shape_.rows - 1 - i : i;
        const size_t in = static_cast<size_t>((bandRow * shape_.columns + x) * bandPixelBytes_);
        const size_t at = static_cast<size_t>(outRow * outStride() + kGuardBytes + i * outPixelBytes_);
        for (int b = 0; b < outPixelBytes_; ++b) {
          expected[at + static_cast<size_t>(b)] = band_[in + static_cast<size_t>(b)];
        }
      }
    }
    return expected;
  }

  const std::vector<uint8_t>& Out() const { return out_; }

 private:
  int outStride() const { return shape_.rows * outPixelBytes_ + 2 * kGuardBytes; }

  Shape shape_;
  int bandPixelBytes_;
  int outPixelBytes_;
  std::vector<uint8_t> band_;
  std::vector<uint8_t> out_;
};

void ExpectEveryShapeTurned(const std::function<void(const ColumnTurn&)>& turnColumns, int bandPixelBytes,
                            int outPixelBytes) {
  for (int rows = 1; rows <= 21; ++rows) {
    for (int columns = 1; columns <= 19; ++columns) {
      for (int direction = 0; direction < 4; ++direction) {
        const Shape shape{rows, columns, (direction & 1) != 0, (direction & 2) != 0};
        TurnFixture fixture(shape, bandPixelBytes, outPixelBytes);
        turnColumns(fixture.Turn());
        ASSERT_EQ(fixture.Out(), fixture.Expected())
            << rows << " rows, " << columns << " columns, direction " << direction;
      }
    }
  }
}

TEST(ColumnTurn, WidePixelsLandInTheirRowsAndNothingAroundThemIsTouched) {
  ExpectEveryShapeTurned(TurnWideColumns, 4, 3);
}

TEST(ColumnTurn, PortableWidePixelsLandInTheirRowsAndNothingAroundThemIsTouched) {
  ExpectEveryShapeTurned(TurnWideColumnsPortable, 4, 3);
}

TEST(ColumnTurn, NarrowPixelsLandInTheirRowsAndNothingAroundThemIsTouched) {
  ExpectEveryShapeTurned(TurnNarrowColumns, 1, 1);
}

TEST(ColumnTurn, PortableNarrowPixelsLandInTheirRowsAndNothingAroundThemIsTouched) {
  ExpectEveryShapeTurned(TurnNarrowColumnsPortable, 1, 1);
}

}  // namespace
