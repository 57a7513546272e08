// Reads a cursor file (".cur") as the program reads its own cursors and turns what
// loads into a cursor pixmap.
#include "picture/icon.h"
#include "platform/errors.h"

#include <QPixmap>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const CursorImage cursor = ReadCursorFile(data, size);
    if (cursor.hotSpot.x() < 0 || cursor.hotSpot.y() < 0 ||
        (!cursor.image.isNull() && !cursor.image.rect().contains(cursor.hotSpot))) {
      __builtin_trap();  // the hot spot must lie on the picture
    }
    const QPixmap pixmap = QPixmap::fromImage(cursor.image);
    (void)pixmap;
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfMemory&) {
  }
  return 0;
}
