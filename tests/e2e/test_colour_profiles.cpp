// Photos with colour profiles on a real desktop: a folder of charts saved with Adobe RGB,
// ProPhoto and CMYK profiles; a click on each shows it on the preview in the colours its
// profile means, not its stored numbers, and one dragged onto a slide and printed to
// "PDF-Datei" keeps those colours on the page.
#include "main_window.h"
#include "print_road.h"
#include "sample_looks.h"
#include "tests/picture/icc_builder.h"
#include "tests/tools/printed_page.h"
#include "tools/sample_jpeg.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace e2e {
namespace {

using Device = std::array<uint8_t, 4>;

struct Chart {
  QString file;
  SampleColorModel model;
  QByteArray profile;
  cmsUInt32Number format;
  std::array<Device, 4> quadrants;  // top left, top right, bottom left, bottom right
};

constexpr QSize kChartSize(300, 200);
// Screen and page hold the converted colours within JPEG's error; the stored numbers
// shown as sRGB would miss them by far more.
constexpr int kTolerance = 10;
constexpr int kConversionVisibleFrom = 25;

std::vector<Chart> Charts() {
  return {
      {"1_adobe_rgb.jpg", SampleColorModel::Color, testicc::AdobeRgb(), TYPE_RGB_DBL,
       {Device{20, 200, 60}, Device{0, 140, 200}, Device{230, 50, 40}, Device{90, 210, 180}}},
      {"2_prophoto.jpg", SampleColorModel::Color, testicc::ProPhoto(), TYPE_RGB_DBL,
       {Device{180, 60, 60}, Device{60, 140, 60}, Device{70, 90, 170}, Device{200, 170, 60}}},
      {"3_cmyk.jpg", SampleColorModel::Cmyk, testicc::CmykTables(), TYPE_CMYK_DBL,
       {Device{0, 200, 200, 0}, Device{200, 0, 220, 0}, Device{220, 140, 0, 0}, Device{30, 20, 0, 120}}},
  };
}

QByteArray ChartFile(const Chart& chart) {
  const int components = chart.model == SampleColorModel::Cmyk ? 4 : 3;
  std::vector<uint8_t> samples;
  for (int y = 0; y < kChartSize.height(); ++y) {
    for (int x = 0; x < kChartSize.width(); ++x) {
      const Device& d = chart.quadrants[static_cast<size_t>((y < kChartSize.height() / 2 ? 0 : 2) + (x < kChartSize.width() / 2 ? 0 : 1))];
      samples.insert(samples.end(), d.begin(), d.begin() + components);
    }
  }
  SampleJpegOptions options;
  options.width = kChartSize.width();
  options.height = kChartSize.height();
  options.model = chart.model;
  options.quality = 95;
  options.samples = samples.data();
  const std::vector<uint8_t> made = MakeSampleJpeg(options);
  const QByteArray bare(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size()));
  return testexif::WithSegments(bare, testicc::IccSegments(chart.profile));
}

QColor Expected(const Chart& chart, const Device& device) {
  std::array<double, 4> values{};
  for (size_t i = 0; i < 4; ++i) values[i] = device[i] / 255.0;
  const std::array<double, 3> srgb = testicc::EngineToSrgb(chart.profile, chart.format, values);
  return QColor::fromRgbF(static_cast<float>(srgb[0]), static_cast<float>(srgb[1]), static_cast<float>(srgb[2]));
}

printprobe::Quadrants ExpectedQuadrants(const Chart& chart) {
  return {Expected(chart, chart.quadrants[0]), Expected(chart, chart.quadrants[1]), Expected(chart, chart.quadrants[2]),
          Expected(chart, chart.quadrants[3])};
}

int Farthest(QColor a, QColor b) {
  return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// The centres of the four quadrants of a picture shown over rect.
std::array<QPoint, 4> QuadrantCentres(const QRect& rect) {
  const int left = rect.left() + rect.width() / 4;
  const int right = rect.left() + rect.width() * 3 / 4;
  const int top = rect.top() + rect.height() / 4;
  const int bottom = rect.top() + rect.height() * 3 / 4;
  return {QPoint(left, top), QPoint(right, top), QPoint(left, bottom), QPoint(right, bottom)};
}

std::string Described(QColor c) {
  return std::to_string(c.red()) + "/" + std::to_string(c.green()) + "/" + std::to_string(c.blue());
}

// Whether the picture shown over rect holds the expected quadrant colours; what it shows
// is added to `seen`.
bool ShowsQuadrants(const QImage& image, const QRect& rect, const printprobe::Quadrants& q, std::string* seen) {
  const QColor expected[4] = {q.topLeft, q.topRight, q.bottomLeft, q.bottomRight};
  const std::array<QPoint, 4> centres = QuadrantCentres(rect);
  bool all = true;
  seen->clear();
  for (size_t i = 0; i < 4; ++i) {
    const QColor shown = image.pixelColor(centres[i]);
    all = all && Farthest(shown, expected[i]) <= kTolerance;
    *seen += Described(shown) + " (want " + Described(expected[i]) + ") ";
  }
  return all;
}

TEST(ColourProfileTest, ChartsShowAndPrintInTheColoursTheirProfilesMean) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::vector<Chart> charts = Charts();
  for (const Chart& chart : charts) {
    const QByteArray file = ChartFile(chart);
    ASSERT_TRUE(WriteBytes(folder.filePath(chart.file), std::vector<uint8_t>(file.begin(), file.end())));
    if (chart.model == SampleColorModel::Color) {
      // The check means something only where the conversion changes the colours.
      int farthest = 0;
      for (const Device& d : chart.quadrants) {
        farthest = std::max(farthest, Farthest(Expected(chart, d), QColor(d[0], d[1], d[2])));
      }
      EXPECT_GE(farthest, kConversionVisibleFrom) << chart.file.toStdString();
    }
  }
  Display display;
  ASSERT_TRUE(display.Ready()) << display.Failure();
  Velarim velarim(display, {.settings = LastFolderSettings(folder.path())});
  const std::optional<Window> main = velarim.WaitForMainWindow(30s);
  ASSERT_TRUE(main) << velarim.Log().toStdString();

  const QRect canvas = PreviewCanvasOf(*main);
  for (size_t row = 0; row < charts.size(); ++row) {
    ASSERT_TRUE(PreviewFileRow(display, *main, static_cast<int>(row))) << velarim.Log().toStdString();
    const printprobe::Quadrants expected = ExpectedQuadrants(charts[row]);
    std::string seen;
    EXPECT_TRUE(WaitUntil([&] { return ShowsQuadrants(display.Screenshot(), canvas, expected, &seen); }, 10s))
        << charts[row].file.toStdString() << " on the preview: " << seen;
  }

  // The ProPhoto chart onto the first slide, and that sheet printed.
  const Chart& printed = charts[1];
  const printprobe::Quadrants expected = ExpectedQuadrants(printed);
  const QPoint split = QuadSplitOf(*main).topLeft();
  const QPoint paneMiddle = split + QPoint(42, 22);
  display.Drag(FileRowOf(*main, 1), paneMiddle);
  ASSERT_TRUE(WaitUntil([&] { return printprobe::Near(display.Screenshot().pixelColor(paneMiddle - QPoint(20, 10)), expected.topLeft, kTolerance); }, 20s))
      << "the slide does not show the chart in its colours";
  PrintRoad road(display, velarim, *main);
  const QImage page = road.printedPage(PrintFormat::LandscapeSlides, true);
  ASSERT_FALSE(page.isNull()) << velarim.Log().toStdString();
  // The first slide's place on A4 landscape, in 0.1 mm.
  const QRect slide(50, 25, 1300, 900);
  std::string seen;
  EXPECT_TRUE(ShowsQuadrants(page, slide, expected, &seen)) << "on the page: " << seen;

  ASSERT_TRUE(CloseMainWindow(display, velarim, *main, CloseWay::AltF4));
  EXPECT_EQ(velarim.WaitForExit(30s), 0) << velarim.Log().toStdString();
}

}  // namespace
}  // namespace e2e
