#pragma once
// The main menu's glyphs, drawn by the program: 16 x 16 pictures on a transparent
// ground, each drawn anew for every scale factor (never enlarged), so their edges stay
// sharp on a screen at twice the pixels.

#include <QIcon>
#include <QImage>

#include <vector>

// The image-list indices that have a glyph: 0 information, 3 help contents, 9 printing,
// 10 saving under a name, 11 editing, 25 home page.
std::vector<int> MenuGlyphIndices();
// The glyph of the index at 16 x 16 times the scale; a null image for other indices.
QImage MenuGlyph(int index, int scale = 1);
// The glyph at scale factors 1 and 2.
QIcon MenuGlyphIcon(int index);
