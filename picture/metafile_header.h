#pragma once
// What the header of a metafile (an enhanced ".emf" or a placeable Windows ".wmf") says
// about its picture, read apart from the records that the players draw.

#include <QRect>
#include <QSize>

#include <cstddef>
#include <cstdint>

// The error of a file that is no metafile we can read, raised by the loader and the
// players' bounds-checked reads.
inline constexpr char kInvalidMetafile[] = "Metadatei ist ungültig";

// The screen resolution at which metafile sizes in 0.01 mm become pixels.
inline constexpr int kMetafileScreenDpi = 96;
inline constexpr int kHundredthMmPerInch = 2540;

// What the header of a metafile says about its picture.
struct MetafileHeader {
  bool enhanced = false;
  int64_t mmWidth = 0;  // picture size in 0.01 mm
  int64_t mmHeight = 0;
  // Enhanced metafiles: the picture frame (0.01 mm), the bounds of what is drawn and
  // the reference device's size in pixels and in millimetres.
  QRect frame;
  QRect bounds;
  QSize devicePixels;
  QSize deviceMillimetres;
  int handles = 0;  // size of the object table
  // Placeable metafiles: the picture's box in metafile units.
  QRect box;
  int unitsPerInch = 0;
};

// Recognises the header. Enhanced: more than 100 bytes, the first record of type 1 and
// the signature " EMF" at byte 40; the size is the frame's extent. Placeable: the key
// 0x9AC6CDD7 and a matching checksum (XOR of the first ten 16-bit words); the size is
// the box's extent times 2540 divided by the units per inch (96 when given as 0).
// Anything else raises EInvalidGraphic "Metadatei ist ungültig".
MetafileHeader ReadMetafileHeader(const uint8_t* data, size_t size);
