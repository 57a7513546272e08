#pragma once
// Plays the records of a metafile into a rectangle of a painter.
//
// Enhanced metafiles: the picture frame fills the target rectangle (the reference
// device's pixels are related to the frame through its size in millimetres; without a
// usable frame the bounds are used). Played records:
//   header, end of file;
//   mapping: SETMAPMODE (text, isotropic, anisotropic and the fixed metric, English
//     and twips modes), SETWINDOWEXTEX, SETWINDOWORGEX, SETVIEWPORTEXTEX,
//     SETVIEWPORTORGEX, SETWORLDTRANSFORM, MODIFYWORLDTRANSFORM, SAVEDC, RESTOREDC;
//   objects: CREATEPEN, EXTCREATEPEN (style, width, colour), CREATEBRUSHINDIRECT
//     (solid, hollow, hatched), SELECTOBJECT (with the stock pens and brushes),
//     DELETEOBJECT; pattern brushes select a hollow brush;
//   SETPOLYFILLMODE;
//   shapes, in 32 and 16-bit point forms: POLYGON, POLYLINE, POLYLINETO, POLYBEZIER,
//     POLYBEZIERTO, POLYPOLYGON, POLYPOLYLINE, RECTANGLE, ROUNDRECT, ELLIPSE,
//     MOVETOEX, LINETO;
//   paths: BEGINPATH, ENDPATH, CLOSEFIGURE, ABORTPATH, FILLPATH, STROKEPATH,
//     STROKEANDFILLPATH.
// Placeable Windows metafiles: the window (origin and extent, initially the header's
// box) fills the target rectangle. Played records: SETWINDOWORG, SETWINDOWEXT,
// SETPOLYFILLMODE, SAVEDC, RESTOREDC, CREATEPENINDIRECT, CREATEBRUSHINDIRECT,
// SELECTOBJECT, DELETEOBJECT (other object records take their place in the object
// table), MOVETO, LINETO, POLYGON, POLYLINE, POLYPOLYGON, RECTANGLE, ROUNDRECT,
// ELLIPSE, end of file.
//
// Everything else (text, bitmaps, regions, clipping, raster operations, background
// mode and colour) is skipped. A record whose size is impossible ends the playback; a
// record too short for its fields is skipped. Drawing is clipped to the target.

#include "picture/metafile_header.h"

#include <QPainter>
#include <QRectF>

#include <cstddef>
#include <cstdint>

// The two players, on the bytes of a whole file.
void PlayEnhancedMetafile(const uint8_t* data, size_t size, const MetafileHeader& header, QPainter& painter,
                          const QRectF& target);
void PlayPlaceableMetafile(const uint8_t* data, size_t size, const MetafileHeader& header, QPainter& painter,
                           const QRectF& target);
