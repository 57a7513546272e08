#pragma once
// The toolbar's button pictures, drawn by the program: 32 x 32 pixels in the 16 standard
// colours; the bottom-left pixel's colour (olive) is the transparent one.

#include <QImage>

QImage ZoomGlyph();
QImage PrintGlyph();
