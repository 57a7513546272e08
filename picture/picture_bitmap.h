#pragma once
// The conversion of a held picture into a bitmap of its own pixel size, as the zoom
// window shows it and the print job prints it.

class TBitmap;
class TPicture;

// Converts Source's JPEG picture (sharing its compressed bytes, and its decoded bitmap
// where it has one) into a bitmap in the display's format at the picture's size and
// makes Target hold it. A picture of another kind raises the assignment error, a damaged
// one its decoding error; Target then keeps what it held.
void PictureToBitmap(TPicture& Source, TBitmap& Target);
