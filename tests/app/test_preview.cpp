// The preview: a selected file shown on both canvases, the preview switch, invalid and
// unreadable files, the clicks that clear a canvas, the progress title, and the decode
// that waits for the canvas's paint.
#include "app/main_form.h"
#include "browse/file_list.h"
#include "browse/preview.h"
#include "chrome/gradient_caption.h"
#include "framework/application.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "picture/file_formats.h"
#include "picture/image_control.h"
#include "picture/jpeg_image.h"
#include "picture/picture.h"
#include "platform/tick.h"
#include "support/scripted_dialogs.h"
#include "tests/app/main_form_fixture.h"
#include "tools/sample_jpeg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PreviewTest : public MainFormFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MainFormFixture::SetUp());
    InitializeJpegKind();
    createMainForm();
  }
  void TearDown() override {
    platform::SetTickSource(nullptr);
    MainFormFixture::TearDown();
    FinalizeJpegKind();
  }

  QString writeJpeg(const QString& name, int width, int height) {
    SampleJpegOptions options;
    options.width = width;
    options.height = height;
    return write(name, jpegBytes(options));
  }
  static QByteArray jpegBytes(const SampleJpegOptions& options) {
    const std::vector<uint8_t> bytes = MakeSampleJpeg(options);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  }
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = pictures_.path() + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  // Lists the folder again and selects the named file, as a click does.
  void select(const QString& name) {
    form_->FileListBox1->Refresh();
    const int index = static_cast<int>(form_->FileListBox1->Items().indexOf(name));
    ASSERT_GE(index, 0) << name.toStdString();
    form_->FileListBox1->SetItemIndex(index);
  }
  TJPEGImage* jpegOf(TImage* image) const { return dynamic_cast<TJPEGImage*>(image->Picture()->Graphic()); }
  // Counts Image3's decodes and records the title after each of its progress reports.
  void watchImage3Decodes() {
    const TProgressEvent wired = form_->Image3->OnProgress;
    form_->Image3->OnProgress = [this, wired](TObject* sender, TProgressStage stage, uint8_t percent, bool redraw,
                                              const QRect& r, const QString& msg) {
      if (stage == TProgressStage::Starting) ++decodes_;
      wired(sender, stage, percent, redraw, r, msg);
      titles_.push_back(form_->RxGradientCaption1->FormCaption());
    };
  }

  ScriptedDialogs dialogs_;
  int decodes_ = 0;
  std::vector<QString> titles_;
};

TEST_F(PreviewTest, SelectedJpegGoesToBothCanvasesSharingItsBytesWithoutDecoding) {
  writeJpeg(QStringLiteral("bild.jpg"), 320, 240);
  EXPECT_FALSE(form_->Speichern1->Enabled());
  select(QStringLiteral("bild.jpg"));
  EXPECT_TRUE(form_->Speichern1->Enabled());
  TJPEGImage* shown = jpegOf(form_->Image3);
  TJPEGImage* copy = jpegOf(form_->Imagehoch);
  ASSERT_NE(shown, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(shown, copy);
  EXPECT_EQ(shown->Data(), copy->Data());
  EXPECT_EQ(copy->Width(), 320);
  EXPECT_FALSE(shown->HasBitmap());
  EXPECT_FALSE(copy->HasBitmap());
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(PreviewTest, SwitchedOffPreviewStillEnablesSaving) {
  writeJpeg(QStringLiteral("a.jpg"), 32, 24);
  writeJpeg(QStringLiteral("b.jpg"), 40, 30);
  select(QStringLiteral("a.jpg"));
  form_->Speichern1->SetEnabled(false);
  form_->NichtAnzeigen->SetChecked(true);
  select(QStringLiteral("b.jpg"));
  EXPECT_TRUE(form_->Speichern1->Enabled());
  EXPECT_EQ(form_->Image3->Picture()->Width(), 32);
  EXPECT_EQ(form_->Imagehoch->Picture()->Width(), 32);
}

TEST_F(PreviewTest, InvalidGraphicEmptiesBothCanvasesSilently) {
  writeJpeg(QStringLiteral("a.jpg"), 32, 24);
  write(QStringLiteral("brief.jpg"), "Lieber Hans, anbei die Bilder.\n");
  select(QStringLiteral("a.jpg"));
  select(QStringLiteral("brief.jpg"));
  EXPECT_TRUE(form_->Image3->Picture()->Empty());
  EXPECT_TRUE(form_->Imagehoch->Picture()->Empty());
  EXPECT_TRUE(dialogs_.shown.empty());

  // An empty path (nothing selected) is an unknown extension: empty canvases, no message.
  select(QStringLiteral("a.jpg"));
  form_->FileListBox1->SetItemIndex(-1);
  form_->FileListBox1Click(form_->FileListBox1);
  EXPECT_TRUE(form_->Image3->Picture()->Empty());
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(PreviewTest, FileGoneSinceListingIsReportedAndCanvasesKeepTheirPictures) {
  writeJpeg(QStringLiteral("a.jpg"), 32, 24);
  const QString gone = writeJpeg(QStringLiteral("weg.jpg"), 40, 30);
  select(QStringLiteral("a.jpg"));
  ASSERT_TRUE(QFile::remove(gone));
  const int index = static_cast<int>(form_->FileListBox1->Items().indexOf(QStringLiteral("weg.jpg")));
  form_->FileListBox1->SetItemIndex(index);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, QStringLiteral("Datei %1 kann nicht geöffnet werden.").arg(gone));
  EXPECT_EQ(form_->Image3->Picture()->Width(), 32);
  EXPECT_EQ(form_->Imagehoch->Picture()->Width(), 32);
}

TEST_F(PreviewTest, EachCanvasClearsAlone) {
  writeJpeg(QStringLiteral("a.jpg"), 32, 24);
  select(QStringLiteral("a.jpg"));
  form_->Image3->Click();
  EXPECT_TRUE(form_->Image3->Picture()->Empty());
  EXPECT_FALSE(form_->Imagehoch->Picture()->Empty());
  select(QStringLiteral("a.jpg"));
  form_->Imagehoch->Click();
  EXPECT_FALSE(form_->Image3->Picture()->Empty());
  EXPECT_TRUE(form_->Imagehoch->Picture()->Empty());
}

TEST_F(PreviewTest, ProgressShowsPercentInTheCaptionAndTheTitleOtherwise) {
  EXPECT_EQ(form_->RxGradientCaption1->FormCaption(), kPreviewTitle);
  EXPECT_EQ(form_->Caption(), QStringLiteral("Velarim"));
  form_->Image3->OnProgress(form_->Image3, TProgressStage::Running, 37, true, QRect(), QString());
  EXPECT_EQ(form_->RxGradientCaption1->FormCaption(), QStringLiteral("37%"));
  form_->Image5->OnProgress(form_->Image5, TProgressStage::Ending, 100, false, QRect(), QString());
  EXPECT_EQ(form_->RxGradientCaption1->FormCaption(), kPreviewTitle);
  EXPECT_EQ(ProgressTitle(TProgressStage::Starting, 0), kPreviewTitle);
  EXPECT_EQ(form_->Caption(), QStringLiteral("Velarim"));

  for (TImage* wired : {form_->Image3, form_->Image2, form_->Image4, form_->Image5, form_->Image6}) {
    EXPECT_TRUE(static_cast<bool>(wired->OnProgress)) << wired->Name().toStdString();
  }
  for (TImage* unwired : {form_->Imagehoch, form_->Image1, form_->Image7, form_->Image8, form_->Image9, form_->Image10}) {
    EXPECT_FALSE(static_cast<bool>(unwired->OnProgress)) << unwired->Name().toStdString();
  }
}

TEST_F(PreviewTest, OnlyThePictureSelectedWhenItsPaintComesIsDecoded) {
  writeJpeg(QStringLiteral("a.jpg"), 640, 480);
  writeJpeg(QStringLiteral("b.jpg"), 320, 240);
  watchImage3Decodes();
  form_->Show();
  QCoreApplication::processEvents();
  select(QStringLiteral("a.jpg"));
  form_->Image3->Repaint();  // the paint of a.jpg asks for its decode
  select(QStringLiteral("b.jpg"));  // ... but b.jpg is selected before the decode runs
  for (int i = 0; i < 5 && !jpegOf(form_->Image3)->HasBitmap(); ++i) {
    QCoreApplication::processEvents();
    form_->Image3->Repaint();
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(jpegOf(form_->Image3)->HasBitmap());
  EXPECT_EQ(jpegOf(form_->Image3)->Width(), 320);
  EXPECT_EQ(decodes_, 1);
  EXPECT_FALSE(jpegOf(form_->Imagehoch)->HasBitmap());  // its page is not shown
  EXPECT_EQ(form_->RxGradientCaption1->FormCaption(), kPreviewTitle);
}

// A progressive file whose third scan asks for an impossible coefficient range: its
// decode fails part-way, after it has begun to report progress.
QByteArray WithBrokenThirdScan(QByteArray jpeg) {
  qsizetype sos = -1;
  for (int scan = 0; scan < 3; ++scan) sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2), sos + 1);
  if (sos < 0) return {};
  const qsizetype spectralStart = sos + 5 + 2 * static_cast<uchar>(jpeg[sos + 4]);
  jpeg[spectralStart] = 5;      // Ss
  jpeg[spectralStart + 1] = 2;  // Se, below Ss
  return jpeg;
}

TEST_F(PreviewTest, DecodeFailingPartWayIsReportedOnceAndEndsOnTheProgramTitle) {
  SampleJpegOptions options;
  options.width = 640;
  options.height = 480;
  options.progressive = true;
  const QByteArray broken = WithBrokenThirdScan(jpegBytes(options));
  ASSERT_FALSE(broken.isEmpty());
  write(QStringLiteral("kaputt.jpg"), broken);
  uint32_t now = 0;
  platform::SetTickSource([&] { return now += 600; });  // every report is due
  watchImage3Decodes();
  form_->Show();
  QCoreApplication::processEvents();
  select(QStringLiteral("kaputt.jpg"));
  for (int i = 0; i < 3; ++i) {
    form_->Image3->Repaint();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(decodes_, 1) << "not decoded again after the failure";
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_TRUE(dialogs_.shown[0].text.startsWith(QStringLiteral("JPEG-Fehler #"))) << dialogs_.shown[0].text.toStdString();
  EXPECT_TRUE(std::any_of(titles_.begin(), titles_.end(), [](const QString& t) { return t.endsWith(u'%'); }))
      << "the decode failed before it reported progress";
  EXPECT_EQ(form_->RxGradientCaption1->FormCaption(), kPreviewTitle);
}

TEST_F(PreviewTest, MaskFieldRereadsOnEveryChange) {
  write(QStringLiteral("a.jpg"), "x");
  write(QStringLiteral("b.bmp"), "x");
  form_->FileListBox1->Refresh();
  EXPECT_EQ(form_->FileListBox1->Items(), QStringList{QStringLiteral("a.jpg")});
  form_->Edit1->SetText(QStringLiteral("*.bmp"));
  EXPECT_EQ(form_->FileListBox1->Items(), QStringList{QStringLiteral("b.bmp")});
  form_->Edit1->SetText(QStringLiteral("*.bmp;"));
  EXPECT_EQ(form_->FileListBox1->Mask(), QStringLiteral("*.bmp;"));
  EXPECT_EQ(form_->FileListBox1->Items(), QStringList{QStringLiteral("b.bmp")});
}

}  // namespace
