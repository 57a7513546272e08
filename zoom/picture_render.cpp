#include "zoom/picture_render.h"

#include "picture/bitmap.h"
#include "picture/picture.h"
#include "picture/picture_bitmap.h"

void RenderPictureToBitmap(TPicture& Source, std::initializer_list<TPicture*> Targets) {
  TBitmap bitmap;
  PictureToBitmap(Source, bitmap);
  for (TPicture* target : Targets) target->Bitmap()->Assign(&bitmap);
}
