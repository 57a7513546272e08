#pragma once
// Helpers of the picture tests: sample JPEG files made on the fly and loaded, files in a
// temporary folder, a recorder of progress reports and a clock the test drives.

#include "picture/bitmap.h"
#include "picture/graphic.h"
#include "picture/jpeg_image.h"
#include "platform/stream.h"
#include "platform/tick.h"
#include "tools/sample_jpeg.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace testjpeg {

inline QByteArray MakeJpeg(const SampleJpegOptions& options) {
  const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

inline QByteArray MakeJpeg(int width, int height, SampleColorModel model = SampleColorModel::Color,
                           bool progressive = false) {
  SampleJpegOptions options;
  options.width = width;
  options.height = height;
  options.model = model;
  options.progressive = progressive;
  return MakeJpeg(options);
}

// A JPEG picture loaded from bytes (only the header is read).
inline std::unique_ptr<TJPEGImage> LoadJpeg(const QByteArray& bytes) {
  auto jpeg = std::make_unique<TJPEGImage>();
  TMemoryStream stream(bytes);
  jpeg->LoadFromStream(stream);
  return jpeg;
}

inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

// A file in its own temporary folder.
struct TemporaryPictureFile {
  explicit TemporaryPictureFile(const QByteArray& bytes, const QString& name = QStringLiteral("picture.jpg"))
      : path(WriteFile(dir, name, bytes)) {}
  QTemporaryDir dir;
  QString path;
};

// Whether the decoded pixels around (x, y) show the pattern's colour there, within
// JPEG's tolerance. Averaged over a few pixels, since 8-bit output is dithered.
inline ::testing::AssertionResult ShowsPattern(TBitmap& bitmap, int x, int y, int tolerance = 24) {
  const QImage& image = bitmap.Image();
  int sum[3] = {0, 0, 0};
  int count = 0;
  for (int v = std::max(0, y - 3); v <= std::min(image.height() - 1, y + 3); ++v) {
    for (int u = std::max(0, x - 3); u <= std::min(image.width() - 1, x + 3); ++u) {
      const QRgb c = image.pixel(u, v);
      sum[0] += qRed(c);
      sum[1] += qGreen(c);
      sum[2] += qBlue(c);
      ++count;
    }
  }
  const SampleRgb expected = SamplePatternColor(x, y, bitmap.Width(), bitmap.Height());
  const int actual[3] = {sum[0] / count, sum[1] / count, sum[2] / count};
  const int wanted[3] = {expected.r, expected.g, expected.b};
  for (int i = 0; i < 3; ++i) {
    if (std::abs(actual[i] - wanted[i]) > tolerance) {
      return ::testing::AssertionFailure() << "around (" << x << ", " << y << ") " << actual[0] << "/" << actual[1]
                                           << "/" << actual[2] << ", pattern " << wanted[0] << "/" << wanted[1] << "/"
                                           << wanted[2];
    }
  }
  return ::testing::AssertionSuccess();
}

// The centres of the four quadrants, where the pattern is flat.
inline ::testing::AssertionResult ShowsPatternQuadrants(TBitmap& bitmap) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  for (const auto& [x, y] : {std::pair{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}}) {
    if (auto result = ShowsPattern(bitmap, x, y); !result) {
      return result;
    }
  }
  return ::testing::AssertionSuccess();
}

struct ProgressReport {
  TObject* sender;
  TProgressStage stage;
  int percent;
  bool redrawNow;
  QRect region;
};

// Records every progress report; an optional action runs inside each.
class ProgressRecorder {
 public:
  TProgressEvent Handler() {
    return [this](TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow, const QRect& r,
                  const QString& msg) {
      EXPECT_TRUE(msg.isEmpty());
      reports.push_back({sender, stage, percent, redrawNow, r});
      if (action) {
        action(reports.back());
      }
    };
  }
  int Count(TProgressStage stage) const {
    int n = 0;
    for (const ProgressReport& r : reports) {
      n += r.stage == stage ? 1 : 0;
    }
    return n;
  }

  std::vector<ProgressReport> reports;
  std::function<void(const ProgressReport&)> action;
};

// A clock that moves on by a fixed step at every reading, so rate-limited progress
// reports come without waiting.
class SteppingClock {
 public:
  explicit SteppingClock(uint32_t stepMs) {
    platform::SetTickSource([this, stepMs] { return now_ += stepMs; });
  }
  ~SteppingClock() { platform::SetTickSource(nullptr); }
  SteppingClock(const SteppingClock&) = delete;
  SteppingClock& operator=(const SteppingClock&) = delete;

 private:
  uint32_t now_ = 1000;
};

}  // namespace testjpeg
