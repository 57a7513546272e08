#pragma once
// The preview of the selected file: loading it into a canvas's picture holder, and the
// title text that shows a decode's progress.

#include "picture/graphic.h"

#include <QString>

class TPicture;

// The title text while nothing is decoding.
inline const QString kPreviewTitle = QStringLiteral("VELARIM V3.0 Webversion");

// Loads the file into the holder. A file that is no picture of a known kind (an
// invalid graphic, a JPEG header error, an unknown extension, an empty path) empties
// the holder without a message; any other error (the file cannot be opened) passes on
// and the holder keeps its picture.
void LoadPreviewPicture(TPicture& picture, const QString& path);

// The title for a progress report: the percentage while running, else kPreviewTitle.
[[nodiscard]] QString ProgressTitle(TProgressStage stage, int percentDone);
