// Copying, comparing, storing and compressing JPEG pictures.

#include "picture/file_formats.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "platform/errors.h"
#include "platform/stream.h"
#include "test_jpeg_support.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace testjpeg;

namespace {

QByteArray Saved(TGraphic& graphic) {
  TMemoryStream stream;
  graphic.SaveToStream(stream);
  return stream.Bytes();
}

void LoadPattern(TBitmap& bitmap, int width, int height) {
  auto jpeg = LoadJpeg(MakeJpeg(width, height));
  bitmap.Assign(jpeg->Bitmap());
}

}  // namespace

TEST(JpegCopy, ACopySharesTheCompressedBytesAndDecodesOnItsOwn) {
  auto source = LoadJpeg(MakeJpeg(40, 30));
  TJPEGImage copy;
  copy.Assign(source.get());
  EXPECT_EQ(copy.Data(), source->Data());
  EXPECT_FALSE(copy.HasBitmap());
  EXPECT_EQ(copy.Width(), 40);
  EXPECT_EQ(copy.Height(), 30);
  EXPECT_NE(copy.Bitmap(), nullptr);
  EXPECT_FALSE(source->HasBitmap());
}

TEST(JpegCopy, ACopyOfADecodedPictureStartsDecoded) {
  auto source = LoadJpeg(MakeJpeg(40, 30));
  source->SetScale(TJPEGScale::jsHalf);
  source->Bitmap();
  TJPEGImage copy;
  ProgressRecorder recorder;
  copy.SetOnProgress(recorder.Handler());
  int changes = 0;
  copy.SetOnChange([&](TObject*) { ++changes; });
  copy.Assign(source.get());
  EXPECT_TRUE(copy.HasBitmap());
  EXPECT_NE(copy.Bitmap(), source->Bitmap());
  EXPECT_EQ(copy.Width(), 20) << "the decoded bitmap's size, not the copy's own full-size setting";
  EXPECT_EQ(copy.Height(), 15);
  EXPECT_TRUE(recorder.reports.empty()) << "no second decode";
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(copy.Scale(), TJPEGScale::jsFullSize) << "settings are not copied";
}

TEST(JpegCopy, FromABitmapCompressesOnlyWhenSaved) {
  TBitmap bitmap;
  LoadPattern(bitmap, 48, 32);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  EXPECT_FALSE(jpeg.Data()->Data.has_value());
  EXPECT_EQ(jpeg.Width(), 48);
  const QByteArray saved = Saved(jpeg);
  ASSERT_TRUE(jpeg.Data()->HasBytes());
  auto reloaded = LoadJpeg(saved);
  EXPECT_EQ(reloaded->Width(), 48);
  EXPECT_EQ(reloaded->Height(), 32);
  EXPECT_TRUE(ShowsPatternQuadrants(*reloaded->Bitmap()));
}

TEST(JpegCopy, IntoABitmapGivesTheDecodedPixels) {
  auto jpeg = LoadJpeg(MakeJpeg(40, 30));
  TBitmap bitmap;
  bitmap.Assign(jpeg.get());
  EXPECT_EQ(bitmap.Width(), 40);
  EXPECT_TRUE(ShowsPatternQuadrants(bitmap));
}

TEST(JpegCopy, AHolderCopiesOnlyItsJpegPicture) {
  InitializeJpegKind();
  TemporaryPictureFile file(MakeJpeg(40, 30));
  TPicture holder;
  holder.LoadFromFile(file.path);
  TJPEGImage jpeg;
  jpeg.Assign(&holder);
  EXPECT_EQ(jpeg.Data(), static_cast<TJPEGImage*>(holder.Graphic())->Data());

  TBitmap bitmap;
  LoadPattern(bitmap, 8, 8);
  holder.SetGraphic(&bitmap);
  try {
    jpeg.Assign(&holder);
    FAIL() << "a holder of a bitmap was copied";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("TPicture kann nicht zu  TJPEGImage zugewiesen werden"));
  }
  holder.SetGraphic(nullptr);
  EXPECT_THROW(jpeg.Assign(&holder), EConvertError);
  try {
    jpeg.Assign(nullptr);
    FAIL() << "nothing was copied";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("nil kann nicht zu  TJPEGImage zugewiesen werden"));
  }
}

TEST(JpegCopy, IntoAnotherKindIsTheAssignmentError) {
  auto jpeg = LoadJpeg(MakeJpeg(8, 8));
  TPicture holder;
  try {
    TPersistentAccess::AssignTo(jpeg.get(), &holder);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("TJPEGImage kann nicht zu  TPicture zugewiesen werden"));
  }
}

TEST(JpegEquality, ComparesBytesOrSharedData) {
  const QByteArray a = MakeJpeg(16, 16);
  auto first = LoadJpeg(a);
  auto sameBytes = LoadJpeg(a);
  auto otherBytes = LoadJpeg(MakeJpeg(16, 17));
  EXPECT_TRUE(first->Equals(sameBytes.get()));
  EXPECT_FALSE(first->Equals(otherBytes.get()));

  TBitmap bitmap;
  LoadPattern(bitmap, 8, 8);
  TJPEGImage fromBitmap;
  fromBitmap.Assign(&bitmap);
  TJPEGImage sharing;
  sharing.Assign(&fromBitmap);
  TJPEGImage alsoFromBitmap;
  alsoFromBitmap.Assign(&bitmap);
  EXPECT_TRUE(fromBitmap.Equals(&sharing));
  EXPECT_FALSE(fromBitmap.Equals(&alsoFromBitmap));
  EXPECT_FALSE(first->Equals(&bitmap));
  EXPECT_FALSE(bitmap.Equals(first.get()));
}

TEST(JpegSize, CannotBeChanged) {
  auto jpeg = LoadJpeg(MakeJpeg(8, 8));
  for (auto change : {&TJPEGImage::SetWidth, &TJPEGImage::SetHeight}) {
    try {
      (jpeg.get()->*change)(5);
      FAIL();
    } catch (const EInvalidGraphicOperation& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Die Größe einer JPEG-Grafik kann nicht verändert werden"));
    }
  }
  EXPECT_EQ(jpeg->Width(), 8);
}

TEST(JpegStoredData, RoundTripsTheBytesWithTheirCount) {
  const QByteArray bytes = MakeJpeg(20, 10);
  auto jpeg = LoadJpeg(bytes);
  TMemoryStream stored;
  jpeg->WriteData(stored);
  EXPECT_EQ(stored.Size(), bytes.size() + 4);
  EXPECT_EQ(qFromLittleEndian<quint32>(stored.Memory()), static_cast<quint32>(bytes.size()));

  stored.SetPosition(0);
  TJPEGImage reread;
  reread.ReadData(stored);
  EXPECT_EQ(reread.Width(), 20);
  EXPECT_TRUE(reread.Equals(jpeg.get()));
}

TEST(JpegStoredData, EmptyPictureStoresACountOfZero) {
  TJPEGImage empty;
  TMemoryStream stored;
  empty.WriteData(stored);
  EXPECT_EQ(stored.Bytes(), QByteArray(4, '\0'));
}

TEST(JpegStoredData, ACountBeyondTheStreamIsAReadError) {
  QByteArray forged(4, '\0');
  qToLittleEndian<quint32>(0xFFFFFFF0u, forged.data());
  forged.append("\xFF\xD8", 2);
  TMemoryStream stream(forged);
  TJPEGImage jpeg;
  EXPECT_THROW(jpeg.ReadData(stream), EReadError);
}

TEST(JpegCompression, QualityGrayscaleAndProgressionReachTheFile) {
  TBitmap bitmap;
  LoadPattern(bitmap, 64, 48);
  auto compressed = [&](int quality, bool grayscale, bool progressive) {
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(quality);
    jpeg.SetGrayscale(grayscale);
    jpeg.SetProgressiveEncoding(progressive);
    jpeg.Assign(&bitmap);
    return Saved(jpeg);
  };
  EXPECT_LT(compressed(10, false, false).size(), compressed(95, false, false).size());
  auto gray = LoadJpeg(compressed(90, true, false));
  EXPECT_TRUE(gray->Data()->Grayscale);
  EXPECT_EQ(gray->Bitmap()->PixelFormat(), TPixelFormat::pf8bit);
  auto progressive = LoadJpeg(compressed(90, false, true));
  EXPECT_TRUE(progressive->ProgressiveEncoding());
  EXPECT_TRUE(ShowsPatternQuadrants(*progressive->Bitmap()));
}

TEST(JpegCompression, ReportsStartAndEnd) {
  TBitmap bitmap;
  LoadPattern(bitmap, 16, 16);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  ProgressRecorder recorder;
  jpeg.SetOnProgress(recorder.Handler());
  jpeg.Compress();
  ASSERT_GE(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports.front().stage, TProgressStage::Starting);
  EXPECT_EQ(recorder.reports.back().stage, TProgressStage::Ending);
  EXPECT_EQ(recorder.reports.back().percent, 100);
}

TEST(JpegCompression, SilentAbortLeavesNoBytes) {
  TBitmap bitmap;
  LoadPattern(bitmap, 16, 16);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  jpeg.SetOnProgress([](TObject*, TProgressStage stage, uint8_t, bool, const QRect&, const QString&) {
    if (stage == TProgressStage::Starting) throw EAbort();
  });
  EXPECT_NO_THROW(jpeg.Compress());
  EXPECT_FALSE(jpeg.Data()->Data.has_value());
}

TEST(JpegSettings, NewPicturesTakeTheProcessDefaults) {
  const TJPEGSettings saved = JPEGDefaults();
  JPEGDefaults().CompressionQuality = 55;
  JPEGDefaults().Scale = TJPEGScale::jsQuarter;
  TJPEGImage jpeg;
  JPEGDefaults() = saved;
  EXPECT_EQ(jpeg.CompressionQuality(), 55);
  EXPECT_EQ(jpeg.Scale(), TJPEGScale::jsQuarter);
  EXPECT_TRUE(TJPEGImage().Smoothing());
  EXPECT_EQ(TJPEGImage().CompressionQuality(), 90);
}

TEST(JpegPalette, ANewPaletteDropsTheDecodedBitmap) {
  auto jpeg = LoadJpeg(MakeJpeg(32, 32));
  jpeg->SetPixelFormat(TJPEGPixelFormat::jf8Bit);
  jpeg->Bitmap();
  int changes = 0;
  jpeg->SetOnChange([&](TObject*) { ++changes; });
  const TPalette palette = CreateHalftonePalette();
  jpeg->SetPalette(palette);
  EXPECT_FALSE(jpeg->HasBitmap());
  EXPECT_EQ(changes, 1);
  jpeg->SetPalette(palette);
  EXPECT_EQ(changes, 1) << "already the temporary palette";
  EXPECT_EQ(jpeg->Palette(), palette);
  TBitmap* bitmap = jpeg->Bitmap();
  EXPECT_EQ(bitmap->Palette()->palPalEntry, palette->palPalEntry) << "decoded through the given palette";
}

TEST(JpegPalette, TrueColourOnAPaletteScreenGetsAHalftonePalette) {
  auto jpeg = LoadJpeg(MakeJpeg(8, 8));
  EXPECT_EQ(jpeg->Palette(), nullptr);
  SetScreenBitsPerPixel(8);
  const TPalette halftone = jpeg->Palette();
  SetScreenBitsPerPixel(0);
  ASSERT_TRUE(halftone);
  EXPECT_EQ(halftone->palVersion, 0x300);
  EXPECT_EQ(jpeg->Palette(), halftone) << "kept as the temporary palette";
  jpeg->Bitmap();
  EXPECT_EQ(jpeg->Palette(), nullptr) << "24-bit decode drops it";
}
