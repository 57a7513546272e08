#include "picture/jpeg_settings.h"

TJPEGSettings& JPEGDefaults() {
  static TJPEGSettings defaults;
  return defaults;
}

int ScaleDenominator(TJPEGScale Scale) { return 1 << static_cast<int>(Scale); }
