#include "browse/preview.h"

#include "picture/picture.h"
#include "platform/errors.h"

void LoadPreviewPicture(TPicture& picture, const QString& path) {
  try {
    picture.LoadFromFile(path);
  } catch (const EInvalidGraphic&) {
    picture.Assign(nullptr);
  }
}

QString ProgressTitle(TProgressStage stage, int percentDone) {
  if (stage == TProgressStage::Running) return QString::asprintf("%d%%", percentDone);
  return kPreviewTitle;
}
