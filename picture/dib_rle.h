#pragma once
// Run-length decoding of 8 and 4-bit bitmaps.

#include "picture/byte_view.h"

#include <QImage>

// Decodes RLE8 (or, with fourBit, RLE4) data into image, an Indexed8 picture of the
// bitmap's size whose first stored row is its bottom line. Pixels that the data skips
// (by a delta, an early end of line or end of bitmap) get index 0; runs beyond the right
// edge are cut there and data beyond the top row is ignored. Data that ends before the
// bitmap does raises the view's invalid-graphic error. Returns the highest colour index
// written (0 when every pixel was skipped), so that nobody needs to scan the pixels.
int DecodeRle(const ByteView& data, bool fourBit, QImage& image);
