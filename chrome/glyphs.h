#pragma once
// The toolbar's button pictures, drawn by the program: 32 x 32 pixels in 16 colours.

#include <QIcon>

QIcon ZoomGlyph();
QIcon PrintGlyph();
