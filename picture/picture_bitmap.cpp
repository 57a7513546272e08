#include "picture/picture_bitmap.h"

#include "picture/bitmap.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"

void PictureToBitmap(TPicture& Source, TBitmap& Target) {
  // A fresh JPEG object has the default settings and no progress handler, so the
  // decode below reports nothing.
  TJPEGImage jpeg;
  jpeg.Assign(&Source);
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pfDevice);
  // Drawing the picture at its own size onto a bitmap of its own size gives exactly
  // the decoded pixels, so the bitmap takes them over (shared, not copied).
  if (TBitmap* decoded = jpeg.Bitmap()) {
    bitmap.Assign(decoded);
    bitmap.SetPixelFormat(TPixelFormat::pfDevice);
  } else {
    bitmap.SetSize(jpeg.Width(), jpeg.Height());
  }
  // Decoding can fail part-way; the target changes only once the bitmap is complete.
  Target.Assign(&bitmap);
}
