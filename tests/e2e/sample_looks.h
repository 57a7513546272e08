#pragma once
// The sample pictures of the end-to-end cases: written to files, and recognised on a
// canvas in a screenshot.

#include "tools/sample_jpeg.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace e2e {

bool WriteBytes(const QString& path, const std::vector<uint8_t>& bytes);

// Whether the canvas shows the sample pattern in colour: its top-left quadrant.
bool ShowsColourPattern(const QImage& canvas);

// Whether the canvas shows the grey pattern: a mid grey where the empty canvas is light.
bool ShowsGrey(const QImage& canvas);

}  // namespace e2e
