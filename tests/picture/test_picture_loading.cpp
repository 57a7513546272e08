// The picture holder: loading by extension through the registry, copying, notifications.

#include "picture/bitmap.h"
#include "picture/dib_format.h"
#include "picture/file_formats.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "platform/errors.h"
#include "test_jpeg_support.h"

#include <QFile>
#include <QPainter>

#include <jerror.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace testjpeg;

namespace {

class PictureLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeJpegKind();
    ASSERT_TRUE(dir.isValid());
  }
  QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(dir, name, bytes); }
  // A holder that already shows a picture, to see that failed loads keep it.
  void LoadPrevious() {
    holder.LoadFromFile(Write(QStringLiteral("previous.jpg"), MakeJpeg(30, 20)));
    previous = holder.Graphic();
  }
  QString LoadError(const QString& path) {
    try {
      holder.LoadFromFile(path);
    } catch (const Exception& e) {
      EXPECT_EQ(holder.Graphic(), previous) << "the previous picture stays";
      return e.Message();
    }
    return QStringLiteral("(loaded)");
  }

  QTemporaryDir dir;
  TPicture holder;
  TGraphic* previous = nullptr;
};

}  // namespace

TEST(FileFormats, HoldsTheSixKindsInOrder) {
  InitializeJpegKind();
  InitializeJpegKind();
  const auto& formats = GetFileFormats().Formats();
  ASSERT_EQ(formats.size(), 6u);
  const char* extensions[] = {"wmf", "emf", "ico", "bmp", "jpeg", "jpg"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(formats[i].Extension, QString::fromLatin1(extensions[i]));
  }
  EXPECT_EQ(formats[4].Description, QStringLiteral("JPEG-Grafikdatei"));
  EXPECT_EQ(formats[3].Description, QStringLiteral("Bitmaps"));
}

TEST(FileFormats, TheJpegKindComesAndGoes) {
  FinalizeJpegKind();
  EXPECT_EQ(GetFileFormats().FindExt(QStringLiteral("jpg")), nullptr);
  EXPECT_NE(GetFileFormats().FindExt(QStringLiteral("BMP")), nullptr);
  InitializeJpegKind();
  const TFileFormat* jpg = GetFileFormats().FindExt(QStringLiteral("JpG"));
  ASSERT_NE(jpg, nullptr);
  EXPECT_EQ(jpg->Create()->ClassName(), QStringLiteral("TJPEGImage"));
}

struct ExtensionCase {
  const char* name;
  const char* extension;
};

class FileExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(FileExtension, IsWhatFollowsTheLastDotOfTheName) {
  EXPECT_EQ(FileNameExtension(QString::fromUtf8(GetParam().name)), QString::fromUtf8(GetParam().extension));
}

INSTANTIATE_TEST_SUITE_P(Table, FileExtension,
                         ::testing::Values(ExtensionCase{"/a/photo.JPG", "JPG"}, ExtensionCase{"photo", ""},
                                           ExtensionCase{"/x.y/photo", ""}, ExtensionCase{"a.tar.gz", "gz"},
                                           ExtensionCase{"trailing.", ""}, ExtensionCase{".hidden", "hidden"},
                                           ExtensionCase{"", ""}));

TEST_F(PictureLoading, CapitalExtensionLoadsAsJpeg) {
  holder.LoadFromFile(Write(QStringLiteral("HOLIDAY.JPG"), MakeJpeg(30, 20)));
  ASSERT_NE(holder.Graphic(), nullptr);
  EXPECT_EQ(holder.Graphic()->ClassName(), QStringLiteral("TJPEGImage"));
  EXPECT_EQ(holder.Width(), 30);
  EXPECT_EQ(holder.Height(), 20);
}

TEST_F(PictureLoading, UnknownExtensionsAreRefusedNamingTheExtensionAsWritten) {
  LoadPrevious();
  EXPECT_EQ(LoadError(Write(QStringLiteral("noextension"), MakeJpeg(4, 4))),
            QStringLiteral("Unbekannte Bilddateierweiterung (.)"));
  EXPECT_EQ(LoadError(Write(QStringLiteral("anim.GIF"), "GIF89a")),
            QStringLiteral("Unbekannte Bilddateierweiterung (.GIF)"));
  EXPECT_EQ(LoadError(QString()), QStringLiteral("Unbekannte Bilddateierweiterung (.)"));
}

TEST_F(PictureLoading, MissingFileIsAnOpenError) {
  LoadPrevious();
  const QString path = dir.filePath(QStringLiteral("gone.jpg"));
  EXPECT_EQ(LoadError(path), QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(path));
}

TEST_F(PictureLoading, TextNamedJpegFailsAtLoad) {
  LoadPrevious();
  EXPECT_EQ(LoadError(Write(QStringLiteral("notes.jpg"), "Einkaufsliste: Milch, Brot")),
            QStringLiteral("JPEG-Fehler #%1").arg(JERR_NO_SOI));
}

namespace {

// Bytes this process has read through read() so far, as the kernel counts them.
qint64 BytesReadByProcess() {
  QFile io(QStringLiteral("/proc/self/io"));
  if (!io.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : io.readAll().split('\n')) {
    if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
  }
  return -1;
}

}  // namespace

// A gigabyte of zeros named .jpg (sparse, so it costs no disk) is refused on its first
// bytes with the error a short text file gets, instead of being read whole first.
TEST_F(PictureLoading, HugeFileWithoutStartMarkerFailsAfterItsFirstBytes) {
  const QString path = Write(QStringLiteral("zeros.jpg"), QByteArray());
  ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t{1} << 30), 0);
  const qint64 before = BytesReadByProcess();
  ASSERT_GE(before, 0) << "no read count in /proc/self/io";
  EXPECT_EQ(LoadError(path), QStringLiteral("JPEG-Fehler #%1").arg(JERR_NO_SOI));
  EXPECT_LT(BytesReadByProcess() - before, 1 << 20) << "the file was read beyond its start";
  EXPECT_EQ(LoadError(Write(QStringLiteral("two.jpg"), QByteArray("\0\0", 2))), QStringLiteral("JPEG-Fehler #%1").arg(JERR_NO_SOI));
}

TEST_F(PictureLoading, ZeroByteJpegLoadsAndFailsOnlyAtItsFirstDraw) {
  holder.LoadFromFile(Write(QStringLiteral("empty.jpg"), QByteArray()));
  ASSERT_NE(holder.Graphic(), nullptr);
  QImage screen(10, 10, QImage::Format_RGB32);
  QPainter painter(&screen);
  TCanvas canvas(&painter);
  try {
    canvas.StretchDraw(QRect(0, 0, 10, 10), holder.Graphic());
    FAIL() << "first draw succeeded";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_INPUT_EMPTY);
  }
  EXPECT_NO_THROW(canvas.StretchDraw(QRect(0, 0, 10, 10), holder.Graphic()));
}

TEST_F(PictureLoading, BitmapFilesLoadAsBitmaps) {
  TBitmap source;
  source.SetSize(3, 2);
  source.SaveToFile(dir.filePath(QStringLiteral("small.bmp")));
  holder.LoadFromFile(dir.filePath(QStringLiteral("small.bmp")));
  ASSERT_NE(dynamic_cast<TBitmap*>(holder.Graphic()), nullptr);
  EXPECT_EQ(holder.Width(), 3);
}

TEST_F(PictureLoading, ProgressDuringLoadingAndDrawingReachesTheHolder) {
  ProgressRecorder recorder;
  holder.SetOnProgress(recorder.Handler());
  holder.LoadFromFile(Write(QStringLiteral("a.jpg"), MakeJpeg(16, 16)));
  static_cast<TJPEGImage*>(holder.Graphic())->Bitmap();
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].sender, holder.Graphic()) << "the graphic reports";
}

TEST_F(PictureLoading, ChangesOfTheHolderAndItsGraphicAreNotified) {
  int changes = 0;
  holder.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &holder);
    ++changes;
  });
  holder.LoadFromFile(Write(QStringLiteral("a.jpg"), MakeJpeg(16, 16)));
  EXPECT_EQ(changes, 1);
  holder.Graphic()->SetTransparent(true);
  EXPECT_EQ(changes, 2);
  holder.SetGraphic(nullptr);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(holder.Empty());
  EXPECT_EQ(holder.Width(), 0);
}

TEST_F(PictureLoading, AssignCopiesTheGraphicOfItsExactKind) {
  LoadPrevious();
  TPicture copy;
  copy.Assign(&holder);
  ASSERT_NE(copy.Graphic(), nullptr);
  EXPECT_NE(copy.Graphic(), holder.Graphic());
  auto* jpeg = dynamic_cast<TJPEGImage*>(copy.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Data(), static_cast<TJPEGImage*>(holder.Graphic())->Data());
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Graphic(), nullptr);
}

TEST_F(PictureLoading, BitmapAccessReplacesOtherKinds) {
  LoadPrevious();
  TBitmap* bitmap = holder.Bitmap();
  EXPECT_EQ(holder.Graphic(), bitmap);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(holder.Bitmap(), bitmap);
}
