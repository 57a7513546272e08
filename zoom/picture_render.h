#pragma once
// The conversion of a held picture into a bitmap of its own pixel size, as the zoom
// window shows it and the print job prints it.

#include <initializer_list>

class TPicture;

// Converts Source's JPEG picture (sharing its compressed bytes, and its decoded bitmap
// where it has one) into a bitmap in the display's format at the picture's size, and
// makes every target hold that bitmap. A picture of another kind raises the assignment
// error, a damaged one its decoding error; the targets then keep what they held.
void RenderPictureToBitmap(TPicture& Source, std::initializer_list<TPicture*> Targets);
