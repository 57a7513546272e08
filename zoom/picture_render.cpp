#include "zoom/picture_render.h"

#include "picture/bitmap.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"

void RenderPictureToBitmap(TPicture& Source, std::initializer_list<TPicture*> Targets) {
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
  // Decoding can fail part-way; the targets change only once the bitmap is complete.
  for (TPicture* target : Targets) target->Bitmap()->Assign(&bitmap);
}
