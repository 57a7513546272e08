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

// A picture that takes seconds to decode here: large, noisy, at the highest quality, its
// colour at full resolution and arithmetic-coded. It is one sequential scan, so its
// rows reach the canvas while it decodes (a progressive file's rows come only in its
// last, quick pass).
SampleJpegOptions SlowToDecode();

// Whether the canvas shows the sample pattern in colour: its top-left quadrant.
bool ShowsColourPattern(const QImage& canvas);

// Whether the canvas shows the grey pattern: a mid grey where the empty canvas is light.
bool ShowsGrey(const QImage& canvas);

}  // namespace e2e
