#pragma once
// The inner loop of a quarter turn: columns of a band of decoded rows become pieces of
// bitmap rows. This is where a turned picture spends its extra time, so it has vector
// forms; the portable ones serve other processors and the edges of a band.

#include <cstddef>
#include <cstdint>

// A band of rows and where its columns go: column x of the band, taken from the rows
// band, band + bandStep, ... in that order, becomes the consecutive pixels of the bitmap
// row that starts at out + x * outRowStep.
struct ColumnTurn {
  const uint8_t* band = nullptr;  // the pixel of column 0 in the first band row taken
  ptrdiff_t bandStep = 0;         // bytes from one band row taken to the next (may be negative)
  int rows = 0;                   // band rows taken
  int columns = 0;                // band columns, one per bitmap row
  uint8_t* out = nullptr;         // where column 0's first pixel goes
  ptrdiff_t outRowStep = 0;       // bytes from one bitmap row to the next (may be negative)
};

// One-byte pixels, into one-byte pixels.
void TurnNarrowColumns(const ColumnTurn& turn);

// Four-byte band pixels (blue, green, red, unused) into three-byte bitmap pixels. No byte
// outside the pixels named is read or written.
void TurnWideColumns(const ColumnTurn& turn);

// The portable forms, which tests hold the vector forms against.
void TurnNarrowColumnsPortable(const ColumnTurn& turn);
void TurnWideColumnsPortable(const ColumnTurn& turn);
