#pragma once
// a * b / c through a 64-bit product, rounded to the nearest integer with halves away
// from zero, so scaled sizes, colour steps and metafile sizes land on the nearest value
// rather than below it; -1 when c is 0. The product must fit in 64 bits, which it does
// for the pixel counts, colour channels and metafile units this program scales.

#include <cstdint>

inline int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return -1;
  const int64_t product = a * b;
  const int64_t divisor = c < 0 ? -c : c;
  const int64_t magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  return (product < 0) != (c < 0) ? -magnitude : magnitude;
}
