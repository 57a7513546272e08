#include "picture/canvas.h"
#include "picture/metafile.h"
#include "platform/errors.h"
#include "platform/stream.h"
#include "tests/picture/metafile_builder.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testmeta;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

constexpr uint32_t kNullPen = 0x80000008;
constexpr uint32_t kNullBrush = 0x80000005;
constexpr uint32_t kBlackBrush = 0x80000004;

MetafileHeader Header(const QByteArray& file) {
  return ReadMetafileHeader(reinterpret_cast<const uint8_t*>(file.constData()), static_cast<size_t>(file.size()));
}

std::unique_ptr<TMetafile> Loaded(const QByteArray& file) {
  auto metafile = std::make_unique<TMetafile>();
  TMemoryStream stream(file);
  metafile->LoadFromStream(stream);
  return metafile;
}

// Draws the metafile into a white picture of the given size, filling it.
QImage Drawn(const QByteArray& file, QSize size = QSize(96, 96), QRect target = QRect()) {
  auto metafile = Loaded(file);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  TCanvas canvas(&painter);
  canvas.StretchDraw(target.isNull() ? QRect(QPoint(0, 0), size) : target, metafile.get());
  return image;
}

// Solid red brush in handle 1, no outline.
QByteArray RedFillNoPen() {
  return EmfRecord(37, {kNullPen}) + EmfRecord(39, {1, 0, 0x0000FF, 0}) + EmfRecord(37, {1});
}

// ---------------------------------------------------------------------------------------
// Recognition and size

struct Recognition {
  std::string name;
  std::function<QByteArray()> make;
  bool valid;
};

class MetafileRecognition : public ::testing::TestWithParam<Recognition> {};

TEST_P(MetafileRecognition, AcceptsOnlyTheTwoHeaders) {
  const QByteArray file = GetParam().make();
  if (GetParam().valid) {
    EXPECT_NO_THROW(Header(file));
    return;
  }
  try {
    Header(file);
    FAIL() << "accepted";
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Metadatei ist ungültig"));
  }
}

QByteArray Emf() { return MakeEmf({}); }

QByteArray EmfCut(int size) { return Emf().left(size); }

QByteArray EmfChanged(int at, uint32_t value) {
  QByteArray file = Emf();
  testdib::SetU32(file, at, value);
  return file;
}

QByteArray Wmf() { return MakePlaceable({}, 0, 0, 1000, 500, 1440); }

QByteArray WmfChanged(int at, char value) {
  QByteArray file = Wmf();
  file[at] = value;
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MetafileRecognition,
    ::testing::Values(Recognition{"emf", Emf, true},
                      // The signature is all that is checked beyond the first record's type.
                      Recognition{"emf_just_over_100_bytes", [] { return EmfCut(101); }, true},
                      Recognition{"emf_of_100_bytes", [] { return EmfCut(100); }, false},
                      Recognition{"emf_without_signature", [] { return EmfChanged(40, 0x464D4521); }, false},
                      Recognition{"emf_first_record_not_header", [] { return EmfChanged(0, 2); }, false},
                      Recognition{"placeable", Wmf, true},
                      Recognition{"placeable_header_only", [] { return Wmf().left(22); }, true},
                      Recognition{"placeable_bad_checksum", [] { return WmfChanged(20, 0x55); }, false},
                      Recognition{"placeable_box_changed", [] { return WmfChanged(10, 0x11); }, false},
                      Recognition{"placeable_bad_key", [] { return WmfChanged(0, 0x00); }, false},
                      Recognition{"placeable_cut", [] { return Wmf().left(21); }, false},
                      Recognition{"empty", [] { return QByteArray(); }, false},
                      Recognition{"text", [] { return QByteArray(200, 'x'); }, false},
                      Recognition{"plain_windows_metafile", [] { return Wmf().mid(22); }, false}),
    [](const auto& test) { return test.param.name; });

struct PlaceableSize {
  int left, right;
  uint16_t unitsPerInch;
  int64_t hundredthMm;
  int pixels;
};

class MetafilePlaceableSize : public ::testing::TestWithParam<PlaceableSize> {};

TEST_P(MetafilePlaceableSize, ExtentTimes2540PerUnitsPerInch) {
  const PlaceableSize& c = GetParam();
  auto metafile = Loaded(MakePlaceable({}, c.left, 0, c.right, 10, c.unitsPerInch));
  EXPECT_EQ(metafile->MMWidth(), c.hundredthMm);
  EXPECT_EQ(metafile->Width(), c.pixels);
  EXPECT_FALSE(metafile->Enhanced());
}

INSTANTIATE_TEST_SUITE_P(Sizes, MetafilePlaceableSize,
                         ::testing::Values(PlaceableSize{0, 96, 0, 2540, 96},         // 0 counts as 96
                                           PlaceableSize{0, 1000, 0, 26458, 1000},
                                           PlaceableSize{0, 1440, 1440, 2540, 96},
                                           PlaceableSize{0, 100, 1440, 176, 7},       // 176.4 -> 176, 6.65 -> 7
                                           PlaceableSize{-500, 500, 1000, 2540, 96},
                                           PlaceableSize{500, -500, 1000, 2540, 96},  // a reversed box
                                           PlaceableSize{0, 0, 1440, 0, 0}));

TEST(MetafileSize, EnhancedSizeIsTheFrameAt96PixelsPerInch) {
  auto metafile = Loaded(MakeEmf({}, EmfFrame{100, 200, 100 + 5080, 200 + 2540}));
  EXPECT_TRUE(metafile->Enhanced());
  EXPECT_EQ(metafile->MMWidth(), 5080);
  EXPECT_EQ(metafile->MMHeight(), 2540);
  EXPECT_EQ(metafile->Width(), 192);
  EXPECT_EQ(metafile->Height(), 96);
}

TEST(MetafileSize, SettingTheWidthSetsTheSizeIn001Mm) {
  auto metafile = Loaded(Emf());
  metafile->SetWidth(192);
  metafile->SetHeight(48);
  EXPECT_EQ(metafile->MMWidth(), 5080);
  EXPECT_EQ(metafile->Width(), 192);
  EXPECT_EQ(metafile->Height(), 48);
}

// ---------------------------------------------------------------------------------------
// Enhanced metafile drawing

TEST(EmfDrawing, RectangleWithSelectedBrushAndNullPen) {
  const QImage image = Drawn(MakeEmf(RedFillNoPen() + EmfRecord(43, {10, 10, 40, 40})));
  EXPECT_EQ(image.pixel(20, 20), kRed);
  EXPECT_EQ(image.pixel(11, 38), kRed);
  EXPECT_EQ(image.pixel(50, 50), kWhite);
  EXPECT_EQ(image.pixel(5, 5), kWhite);
}

TEST(EmfDrawing, FrameIsStretchedOverTheTarget) {
  const QImage image = Drawn(MakeEmf(RedFillNoPen() + EmfRecord(43, {0, 0, 48, 48})), QSize(192, 48));
  EXPECT_EQ(image.pixel(90, 20), kRed);   // x doubled
  EXPECT_EQ(image.pixel(100, 20), kWhite);
  EXPECT_EQ(image.pixel(10, 30), kWhite);  // y halved
}

TEST(EmfDrawing, TargetOffsetAndClipping) {
  const QImage image =
      Drawn(MakeEmf(RedFillNoPen() + EmfRecord(43, {I32(-50), I32(-50), 200, 200})), QSize(96, 96), QRect(20, 20, 48, 48));
  EXPECT_EQ(image.pixel(30, 30), kRed);
  EXPECT_EQ(image.pixel(10, 10), kWhite);  // the shape reaches beyond the target: clipped
  EXPECT_EQ(image.pixel(80, 80), kWhite);
}

TEST(EmfDrawing, AnisotropicMappingScalesLogicalUnits) {
  const QByteArray records = EmfRecord(17, {8}) + EmfRecord(9, {1000, 1000}) + EmfRecord(11, {96, 96}) +
                             RedFillNoPen() + EmfRecord(43, {500, 500, 900, 900});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(60, 60), kRed);
  EXPECT_EQ(image.pixel(40, 40), kWhite);
}

TEST(EmfDrawing, WindowOriginShiftsTheDrawing) {
  const QByteArray records = EmfRecord(10, {100, 100}) + RedFillNoPen() + EmfRecord(43, {100, 100, 120, 120});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(10, 10), kRed);
  EXPECT_EQ(image.pixel(30, 30), kWhite);
}

TEST(EmfDrawing, MetricModeHasYGoingUp) {
  // 0.1 mm units: 254 units are one inch, 96 pixels; y upwards from the viewport origin.
  const QByteArray records = EmfRecord(17, {2}) + EmfRecord(12, {0, 96}) + RedFillNoPen() +
                             EmfRecord(43, {0, 127, 127, 0});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(20, 80), kRed);
  EXPECT_EQ(image.pixel(20, 40), kWhite);
}

TEST(EmfDrawing, WorldTransformScales) {
  const QByteArray records =
      EmfRecord(35, {F32(2), F32(0), F32(0), F32(2), F32(0), F32(0)}) + RedFillNoPen() + EmfRecord(43, {10, 10, 20, 20});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(35, 35), kRed);
  EXPECT_EQ(image.pixel(15, 15), kWhite);
}

TEST(EmfDrawing, EllipseAndPolygon16) {
  const QByteArray records = EmfRecord(37, {kNullPen}) + EmfRecord(39, {1, 0, 0xFF0000, 0}) + EmfRecord(37, {1}) +
                             EmfRecord(42, {0, 0, 96, 96}) + EmfRecord(39, {2, 0, 0x00FF00, 0}) + EmfRecord(37, {2}) +
                             EmfRecord(86, {0, 0, 0, 0, 3, P16(0, 0), P16(40, 0), P16(0, 40)});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(48, 48), kBlue);
  EXPECT_EQ(image.pixel(92, 92), kWhite);  // outside the ellipse
  EXPECT_EQ(image.pixel(5, 5), kGreen);
}

TEST(EmfDrawing, PenDrawsPolylinesAndLines) {
  const QByteArray records = EmfRecord(37, {kNullBrush}) + EmfRecord(38, {3, 0, 0, 0, 0xFF0000}) +
                             EmfRecord(37, {3}) + EmfRecord(87, {0, 0, 0, 0, 2, P16(0, 50), P16(95, 50)}) +
                             EmfRecord(27, {20, 0}) + EmfRecord(54, {20, 95});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(70, 50), kBlue);
  EXPECT_EQ(image.pixel(20, 80), kBlue);
  EXPECT_EQ(image.pixel(70, 60), kWhite);
}

TEST(EmfDrawing, StockBrushAndDeletedObjects) {
  const QByteArray records = EmfRecord(37, {kNullPen}) + EmfRecord(37, {kBlackBrush}) +
                             EmfRecord(39, {1, 0, 0x0000FF, 0}) + EmfRecord(40, {1}) +
                             EmfRecord(37, {1}) +  // deleted: selecting it changes nothing
                             EmfRecord(43, {10, 10, 40, 40});
  EXPECT_EQ(Drawn(MakeEmf(records)).pixel(20, 20), qRgb(0, 0, 0));
}

TEST(EmfDrawing, PathIsDrawnOnlyWhenFilled) {
  const QByteArray rectangle = EmfRecord(43, {10, 10, 40, 40});
  const QByteArray filled =
      RedFillNoPen() + EmfRecord(59, {}) + rectangle + EmfRecord(60, {}) + EmfRecord(62, {0, 0, 0, 0});
  const QByteArray aborted = RedFillNoPen() + EmfRecord(59, {}) + rectangle + EmfRecord(68, {}) +
                             EmfRecord(62, {0, 0, 0, 0});
  const QByteArray unfinished = RedFillNoPen() + EmfRecord(59, {}) + rectangle;
  EXPECT_EQ(Drawn(MakeEmf(filled)).pixel(20, 20), kRed);
  EXPECT_EQ(Drawn(MakeEmf(aborted)).pixel(20, 20), kWhite);
  EXPECT_EQ(Drawn(MakeEmf(unfinished)).pixel(20, 20), kWhite);
}

TEST(EmfDrawing, SaveAndRestoreBringBackTheBrush) {
  const QByteArray records = RedFillNoPen() + EmfRecord(33, {}) + EmfRecord(37, {kBlackBrush}) +
                             EmfRecord(34, {I32(-1)}) + EmfRecord(43, {10, 10, 40, 40});
  EXPECT_EQ(Drawn(MakeEmf(records)).pixel(20, 20), kRed);
}

TEST(EmfDrawing, NothingAfterTheEndOfFile) {
  const QByteArray records = RedFillNoPen() + EmfRecord(14, {0, 16, 20}) + EmfRecord(43, {10, 10, 40, 40});
  EXPECT_EQ(Drawn(MakeEmf(records)).pixel(20, 20), kWhite);
}

TEST(EmfDrawing, ImpossibleRecordSizeEndsPlayback) {
  QByteArray bad = EmfRecord(43, {50, 50, 60, 60});
  testdib::SetU32(bad, 4, 0xFFFFFFF0);
  const QByteArray records = RedFillNoPen() + EmfRecord(43, {10, 10, 40, 40}) + bad;
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(20, 20), kRed);
  EXPECT_EQ(image.pixel(55, 55), kWhite);
}

TEST(EmfDrawing, ShortRecordIsSkipped) {
  const QByteArray records = RedFillNoPen() + EmfRecord(43, {70, 70}) + EmfRecord(43, {10, 10, 40, 40}) +
                             EmfRecord(3, {0, 0, 0, 0, 0xFFFFFFFF, P16(1, 1)});  // a billion points claimed
  EXPECT_EQ(Drawn(MakeEmf(records)).pixel(20, 20), kRed);
}

TEST(EmfDrawing, ShapesBeyondAnyRealSizeAreNotDrawn) {
  const QByteArray records = RedFillNoPen() + EmfRecord(43, {I32(-2000000000), I32(-2000000000), 2000000000, 2000000000}) +
                             EmfRecord(38, {3, 0, 2000000000, 0, 0xFF0000}) + EmfRecord(37, {3}) +
                             EmfRecord(42, {10, 10, 20, 20});
  const QImage image = Drawn(MakeEmf(records));
  EXPECT_EQ(image.pixel(50, 50), kWhite);
}

TEST(EmfDrawing, DegenerateMappingDrawsNothing) {
  const QByteArray records = EmfRecord(17, {8}) + EmfRecord(9, {0, 0}) + RedFillNoPen() + EmfRecord(43, {0, 0, 90, 90});
  EXPECT_EQ(Drawn(MakeEmf(records)).pixel(20, 20), kWhite);
}

// ---------------------------------------------------------------------------------------
// Placeable metafile drawing

TEST(WmfDrawing, WindowFillsTheTargetAndObjectsTakeTheLowestFreeSlot) {
  const QByteArray records =
      WmfRecord(0x020B, {0, 0}) + WmfRecord(0x020C, {1000, 1000}) +
      WmfRecord(0x02FB, {0, 0, 0, 0, 0, 0, 0, 0, 0}) +       // a font: slot 0
      WmfRecord(0x02FC, {0, 0x00FF, 0x0000, 0}) +            // red brush: slot 1
      WmfRecord(0x02FA, {5, 0, 0, 0, 0}) +                   // null pen: slot 2
      WmfRecord(0x012D, {1}) + WmfRecord(0x012D, {2}) +      //
      WmfRecord(0x041B, {500, 500, 100, 100}) +              // rectangle: bottom, right, top, left
      WmfRecord(0x01F0, {0}) + WmfRecord(0x02FC, {0, 0x0000, 0x00FF, 0}) +  // blue brush takes slot 0
      WmfRecord(0x012D, {0}) + WmfRecord(0x0418, {900, 900, 600, 600});
  const QImage image = Drawn(MakePlaceable(records, 0, 0, 1000, 1000, 1440));
  EXPECT_EQ(image.pixel(30, 30), kRed);
  EXPECT_EQ(image.pixel(55, 55), kWhite);
  EXPECT_EQ(image.pixel(72, 72), kBlue);
}

// A full table drops new objects; a place freed twice is still only one free place, and
// freed places are taken again lowest first.
TEST(WmfDrawing, FullObjectTableDropsCreatesAndRefillsFreedSlotsLowestFirst) {
  const auto brush = [](int red, int green, int blue) { return WmfRecord(0x02FC, {0, red | green << 8, blue, 0}); };
  const auto bar = [](int slot) {
    return WmfRecord(0x012D, {slot}) + WmfRecord(0x041B, {900, 300 * slot + 300, 0, 300 * slot});
  };
  const QByteArray records = brush(255, 0, 0) + brush(0, 255, 0) + brush(0, 0, 255) + brush(255, 255, 0) +
                             WmfRecord(0x01F0, {0}) + WmfRecord(0x01F0, {0}) + WmfRecord(0x01F0, {2}) +
                             brush(0, 255, 255) + brush(255, 0, 255) + brush(255, 255, 255) + bar(0) + bar(1) +
                             bar(2);
  const QImage image = Drawn(MakePlaceable(records, 0, 0, 900, 900, 1440, 3));
  EXPECT_EQ(image.pixel(16, 48), qRgb(0, 255, 255));
  EXPECT_EQ(image.pixel(48, 48), kGreen);
  EXPECT_EQ(image.pixel(80, 48), qRgb(255, 0, 255));
}

TEST(WmfDrawing, WithoutWindowRecordsTheBoxFillsTheTarget) {
  const QByteArray records = WmfRecord(0x02FC, {0, 0x00FF, 0x0000, 0}) + WmfRecord(0x012D, {0}) +
                             WmfRecord(0x0324, {3, 100, 100, 150, 100, 100, 150});
  const QImage image = Drawn(MakePlaceable(records, 100, 100, 200, 200, 0));
  EXPECT_EQ(image.pixel(10, 10), kRed);
  EXPECT_EQ(image.pixel(60, 60), kWhite);
}

TEST(WmfDrawing, PenLines) {
  const QByteArray records = WmfRecord(0x02FA, {0, 0, 0, 0x0000, 0x00FF}) + WmfRecord(0x012D, {0}) +
                             WmfRecord(0x0214, {50, 0}) + WmfRecord(0x0213, {50, 95}) +
                             WmfRecord(0x0325, {2, 20, 0, 20, 95});
  const QImage image = Drawn(MakePlaceable(records, 0, 0, 96, 96, 96));
  EXPECT_EQ(image.pixel(70, 50), kBlue);
  EXPECT_EQ(image.pixel(20, 70), kBlue);
  EXPECT_EQ(image.pixel(70, 70), kWhite);
}

TEST(WmfDrawing, MissingMetafileHeaderDrawsNothing) {
  const QImage image = Drawn(MakePlaceable({}, 0, 0, 96, 96, 96).left(22));
  EXPECT_EQ(image.pixel(10, 10), kWhite);
}

// ---------------------------------------------------------------------------------------
// Damaged files: loading fails cleanly or the file draws; nothing else may happen.

void LoadAndDrawIfValid(const QByteArray& file) {
  std::unique_ptr<TMetafile> metafile;
  try {
    metafile = Loaded(file);
  } catch (const EInvalidGraphic&) {
    return;
  }
  QImage image(32, 32, QImage::Format_RGB32);
  QPainter painter(&image);
  TCanvas canvas(&painter);
  canvas.StretchDraw(QRect(0, 0, 32, 32), metafile.get());
}

std::vector<QByteArray> SampleFiles() {
  const QByteArray emf = MakeEmf(RedFillNoPen() + EmfRecord(9, {1000, 1000}) + EmfRecord(17, {8}) +
                                 EmfRecord(91, {0, 0, 0, 0, 2, 5, 3, 2, P16(0, 0), P16(9, 0), P16(0, 9), P16(3, 3),
                                                P16(5, 5)}) +
                                 EmfRecord(59, {}) + EmfRecord(42, {1, 2, 3, 4}) + EmfRecord(60, {}) +
                                 EmfRecord(64, {0, 0, 0, 0}));
  const QByteArray wmf =
      MakePlaceable(WmfRecord(0x02FC, {0, 0x00FF, 0, 0}) + WmfRecord(0x012D, {0}) +
                        WmfRecord(0x0538, {2, 3, 2, 0, 0, 9, 0, 0, 9, 3, 3, 5, 5}) + WmfRecord(0x061C, {4, 4, 9, 9, 1, 1}),
                    0, 0, 10, 10, 0);
  return {emf, wmf};
}

TEST(MetafileDamage, EveryTruncationLoadsAndDrawsOrFails) {
  for (const QByteArray& file : SampleFiles()) {
    for (int length = 0; length <= file.size(); ++length) LoadAndDrawIfValid(file.left(length));
  }
}

TEST(MetafileDamage, FlippedBytesLoadAndDrawOrFail) {
  for (const QByteArray& good : SampleFiles()) {
    for (int at = 0; at < good.size(); ++at) {
      for (const int flip : {0x01, 0x80, 0xFF}) {
        QByteArray file = good;
        file[at] = static_cast<char>(file[at] ^ flip);
        LoadAndDrawIfValid(file);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------
// The graphic

TEST(TMetafile, SavesTheBytesItLoaded) {
  const QByteArray file = Wmf();
  auto metafile = Loaded(file);
  TMemoryStream saved;
  metafile->SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), file);
}

TEST(TMetafile, FailedLoadKeepsThePreviousMetafile) {
  auto metafile = Loaded(Wmf());
  TMemoryStream text(QByteArray("not a metafile"));
  EXPECT_THROW(metafile->LoadFromStream(text), EInvalidGraphic);
  EXPECT_FALSE(metafile->Empty());
  EXPECT_EQ(metafile->Width(), 67);  // 1000 twips
}

TEST(TMetafile, AssignSharesAndNewSameKindIsEmpty) {
  auto source = Loaded(Emf());
  TMetafile copy;
  int changes = 0;
  copy.SetOnChange([&](TObject*) { ++changes; });
  copy.Assign(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(copy.Enhanced());
  EXPECT_EQ(copy.Width(), 96);
  EXPECT_TRUE(copy.Equals(source.get()));
  EXPECT_EQ(copy.NewSameKind()->ClassName(), QStringLiteral("TMetafile"));
  EXPECT_TRUE(copy.NewSameKind()->Empty());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(copy.Width(), 0);
}

}  // namespace
