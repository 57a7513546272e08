#pragma once
// What a camera's EXIF segment says about the colour space of a file without an ICC
// profile. Cameras set to Adobe RGB mark their files by convention with the colour space
// "uncalibrated" and the interoperability index "R03" (sRGB files say "R98"). The reader
// follows the two directory links that lead there, checking every offset against the
// segment's end.

#include <cstddef>
#include <cstdint>

bool JpegExifSaysAdobeRgb(const uint8_t* data, size_t size);
