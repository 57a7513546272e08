// The slides of both sheets: their panes as the window starts, a drag from the file list
// accepted and one from the folder list refused, a drop filling or replacing a slide, a
// file that does not load keeping the old picture with the error shown, and clicks
// clearing one slide only.
#include "app/main_form.h"
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "framework/application.h"
#include "framework/drag_drop.h"
#include "framework/page_control.h"
#include "picture/image_control.h"
#include "picture/picture.h"
#include "sheet/quad_split.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SlidesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(programDir_.isValid());
    ASSERT_TRUE(pictures_.isValid());
    writePicture("wide.bmp", 40, 20);
    writePicture("tall.bmp", 12, 30);
    WriteFile("damaged.bmp", QByteArray("BM not really a bitmap"));
    WriteFile("notes.txt", QByteArray("text"));
    CreateApplication()->SetExeName(programDir_.path() + QStringLiteral("/Velarim"));
    form_ = Application()->CreateForm<TForm1>();
    form_->DirectoryListBox1->SetDirectory(pictures_.path());
    form_->FileListBox1->SetMask(QStringLiteral("*.*"));
    form_->Show();  // drags reach visible controls only
  }
  void TearDown() override { DestroyApplication(); }

  void writePicture(const char* name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(pictures_.filePath(QString::fromLatin1(name)), "BMP"));
  }
  void WriteFile(const char* name, const QByteArray& bytes) {
    QFile file(pictures_.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  void select(const char* name) {
    const int index = form_->FileListBox1->Items().indexOf(QString::fromLatin1(name));
    ASSERT_GE(index, 0) << name;
    form_->FileListBox1->SetItemIndex(index);
  }

  std::vector<TImage*> slides() const {
    return {form_->Image4, form_->Image2, form_->Image6, form_->Image5,
            form_->Image7, form_->Image8, form_->Image9, form_->Image10};
  }

  // Whether the slide accepts a drag from source entering it (which decides the
  // cursor, and whether moves and the drop reach the slide at all).
  static bool acceptsDrag(TImage* slide, TControl* source) {
    ControlDragData data(source);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slide->Widget(), &enter);
    return enter.isAccepted();
  }
  static void drop(TImage* slide, TControl* source) {
    ASSERT_TRUE(acceptsDrag(slide, source));
    ControlDragData data(source);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slide->Widget(), &event);
  }
  void dropFile(TImage* slide, const char* name) {
    select(name);
    drop(slide, form_->FileListBox1);
  }
  static void click(TImage* slide) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(slide->Widget(), &event);
    }
  }

  ScriptedDialogs dialogs_;
  QTemporaryDir programDir_;
  QTemporaryDir pictures_;
  TForm1* form_ = nullptr;
};

TEST_F(SlidesTest, EightEmptyStretchedSlidesFillTheirPanes) {
  const std::vector<QSize> sizes{{82, 42}, {81, 42}, {81, 41}, {82, 41}, {37, 42}, {38, 42}, {38, 41}, {37, 41}};
  const std::vector<TImage*> all = slides();
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i]->BoundsRect(), QRect(QPoint(0, 0), sizes[i])) << all[i]->Name().toStdString();
    EXPECT_TRUE(all[i]->Stretch());
    EXPECT_TRUE(all[i]->Picture()->Empty());
  }
  EXPECT_EQ(form_->Image4->Parent(), form_->abcSplitPane1);
  EXPECT_EQ(form_->Image5->Parent(), form_->abcSplitPane4);
  EXPECT_EQ(form_->abcSplitPane8->PaneIndex(), 3);
  EXPECT_EQ(form_->abcQuadSplit2->BoundsRect(), QRect(116, 8, 81, 89));
  EXPECT_EQ(form_->abcQuadSplit1->Parent(), static_cast<TWinControl*>(form_->TabSheet1));
  EXPECT_EQ(form_->Image1->Parent(), static_cast<TWinControl*>(form_->TabSheet2));
  EXPECT_FALSE(form_->Image1->Visible());
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabSheet1);
  // Only the first sheet's slides report decoding progress, as the preview does.
  for (TImage* slide : {form_->Image7, form_->Image8, form_->Image9, form_->Image10}) EXPECT_FALSE(slide->OnProgress);
  for (TImage* slide : {form_->Image2, form_->Image4, form_->Image5, form_->Image6}) {
    EXPECT_EQ(static_cast<bool>(slide->OnProgress), static_cast<bool>(form_->Image3->OnProgress));
  }
}

TEST_F(SlidesTest, OnlyTheFileListIsAcceptedAsDragSource) {
  for (TImage* slide : slides()) {
    EXPECT_TRUE(acceptsDrag(slide, form_->FileListBox1)) << slide->Name().toStdString();
    EXPECT_FALSE(acceptsDrag(slide, form_->DirectoryListBox1)) << slide->Name().toStdString();
    EXPECT_FALSE(acceptsDrag(slide, form_->Image3));
  }
  // A kind derived from the file list is a file list too.
  TFileListBox plainList(nullptr);
  EXPECT_TRUE(acceptsDrag(form_->Image9, &plainList));
  // A drag from another program carries no control.
  QMimeData files;
  files.setText(QStringLiteral("file:///tmp/x.jpg"));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_->Image4->Widget(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(SlidesTest, DropFillsTheSlideAndReplacesItsPicture) {
  dropFile(form_->Image4, "wide.bmp");
  EXPECT_EQ(form_->Image4->Picture()->Width(), 40);
  dropFile(form_->Image4, "tall.bmp");
  EXPECT_EQ(form_->Image4->Picture()->Width(), 12);
  EXPECT_EQ(form_->Image4->Picture()->Height(), 30);
  // Squeezed to the landscape pane: the whole slide shows the picture.
  const QImage shown = form_->Image4->Widget()->grab().toImage();
  EXPECT_EQ(shown.pixel(0, 0), QColor(Qt::darkCyan).rgb());
  EXPECT_EQ(shown.pixel(81, 41), QColor(Qt::darkCyan).rgb());
  for (TImage* other : slides()) {
    if (other != form_->Image4) {
      EXPECT_TRUE(other->Picture()->Empty()) << other->Name().toStdString();
    }
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(SlidesTest, DropLoadsTheFileListSelectionWhateverTheSource) {
  select("wide.bmp");
  TFileListBox otherList(nullptr);
  drop(form_->Image10, &otherList);
  EXPECT_EQ(form_->Image10->Picture()->Width(), 40);
}

TEST_F(SlidesTest, FileThatDoesNotLoadKeepsTheOldPictureAndIsReported) {
  dropFile(form_->Image6, "wide.bmp");
  dropFile(form_->Image6, "notes.txt");
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_TRUE(dialogs_.shown[0].text.startsWith(QStringLiteral("Unbekannte Bilddateierweiterung (.txt)")))
      << dialogs_.shown[0].text.toStdString();
  EXPECT_EQ(dialogs_.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(form_->Image6->Picture()->Width(), 40);

  dropFile(form_->Image6, "damaged.bmp");
  EXPECT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(form_->Image6->Picture()->Width(), 40);
}

TEST_F(SlidesTest, ClickClearsOnlyItsOwnSlide) {
  for (TImage* slide : slides()) dropFile(slide, "wide.bmp");
  click(form_->Image8);
  EXPECT_TRUE(form_->Image8->Picture()->Empty());
  for (TImage* slide : slides()) {
    if (slide != form_->Image8) {
      EXPECT_FALSE(slide->Picture()->Empty()) << slide->Name().toStdString();
    }
  }
  click(form_->Image4);
  EXPECT_TRUE(form_->Image4->Picture()->Empty());
  EXPECT_FALSE(form_->Image7->Picture()->Empty());
  click(form_->Image4);  // an empty slide stays empty
  EXPECT_TRUE(form_->Image4->Picture()->Empty());
  // Each slide has its own click handler.
  for (TImage* slide : {form_->Image2, form_->Image5, form_->Image6, form_->Image7, form_->Image9, form_->Image10}) {
    click(slide);
    EXPECT_TRUE(slide->Picture()->Empty()) << slide->Name().toStdString();
  }
}

}  // namespace
