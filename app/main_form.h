#pragma once
// The main window: toolbar, the two slide pages with their previews, the file browser,
// and the main menu; its creation and close handlers.

#include "framework/drag_drop.h"
#include "framework/form.h"
#include "picture/graphic.h"

class TCheckBox;
class TCustomPanel;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TFormMonitor;
class TPagesDlg;
class TFileListBox;
class TFormPlacement;
class TImage;
class TImageList;
class TLabel;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TSaveDialog;
class TPageControl;
class TPanel;
class TRxGradientCaption;
class TRxSplitter;
class TSpeedBar;
class TSpeedItem;
class TTabSheet;
class TabcQuadSplit;
class TabcSplitPane;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* AOwner);
  QString ClassName() const override { return QStringLiteral("TForm1"); }

  // The program directory, with one trailing "/"; empty until FormCreate computed it.
  const QString& ProgramDirectory() const { return programDirectory_; }
  // The settings file: in the program directory, or in the profile folder when the
  // program directory cannot be written; chosen once by FormCreate.
  QString SettingsFileName() const;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Beenden1Click(TObject* Sender);
  void FileListBox1Click(TObject* Sender);
  void Image3Click(TObject* Sender);
  void ImagehochClick(TObject* Sender);
  void ProgressUpdate(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const QRect& R,
                      const QString& Msg);
  void Edit1Change(TObject* Sender);
  void Umbenennen1Click(TObject* Sender);
  void Speichernunter1Click(TObject* Sender);
  void Aktionausfhren1Click(TObject* Sender);
  void Homepage1Click(TObject* Sender);
  void OnlineHilfeClick(TObject* Sender);
  void Hilfedatei1Click(TObject* Sender);
  void Info1Click(TObject* Sender);
  // The zoom command, the conversion of one image's picture for the zoom window and the
  // print source, and the print command.
  void zoom1Click(TObject* Sender);
  void ShowInMonitor(TImage* Image);
  void Drucken2Click(TObject* Sender);

  // The zoom window and the print format dialog, created after the main window.
  void SetSecondaryWindows(TFormMonitor* Monitor, TPagesDlg* Pages);
  TFormMonitor* FormMonitor = nullptr;
  TPagesDlg* PagesDlg = nullptr;

  // The slides: a drag from the file list fills one, a click clears it.
  void Image4DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void Image4DragDrop(TObject* Sender, TObject* Source, int X, int Y);
  void Image4Click(TObject* Sender);
  void Image2Click(TObject* Sender);
  void Image5Click(TObject* Sender);
  void Image6Click(TObject* Sender);
  void Image7Click(TObject* Sender);
  void Image8Click(TObject* Sender);
  void Image9Click(TObject* Sender);
  void Image10Click(TObject* Sender);

  TSpeedBar* Toolbar;
  TSpeedItem* ZoomBt;
  TSpeedItem* DruckBt;
  TLabel* Label2;
  TLabel* Label1;
  TPanel* Panel2;
  TPageControl* PageControl1;
  TTabSheet* TabSheet1;
  TPanel* Panel6;
  TImage* Image3;
  TabcQuadSplit* abcQuadSplit1;
  TabcSplitPane* abcSplitPane1;
  TabcSplitPane* abcSplitPane2;
  TabcSplitPane* abcSplitPane3;
  TabcSplitPane* abcSplitPane4;
  TImage* Image4;
  TImage* Image2;
  TImage* Image6;
  TImage* Image5;
  TTabSheet* TabSheet2;
  TPanel* Panel5;
  TImage* Imagehoch;
  TabcQuadSplit* abcQuadSplit2;
  TabcSplitPane* abcSplitPane5;
  TabcSplitPane* abcSplitPane6;
  TabcSplitPane* abcSplitPane7;
  TabcSplitPane* abcSplitPane8;
  TImage* Image7;
  TImage* Image8;
  TImage* Image9;
  TImage* Image10;
  TImage* Image1;
  TPanel* Panel4;
  TPanel* Panel1;
  TDriveComboBox* RzDriveComboBox1;
  TLabel* Label4;
  TEdit* Edit1;
  TCheckBox* NichtAnzeigen;
  TDirectoryListBox* DirectoryListBox1;
  TRxSplitter* RxSplitter1;
  TFileListBox* FileListBox1;
  TRxGradientCaption* RxGradientCaption1;
  TFormPlacement* FormPlacement1;

  TMainMenu* MainMenu1;
  TImageList* ImageList1;
  TMenuItem* Datei1;
  TMenuItem* Umbenennen1;
  TMenuItem* Speichern1;
  TMenuItem* Speichernunter1;
  TMenuItem* Aktionausfhren1;
  TMenuItem* N2;
  TMenuItem* Drucken2;
  TMenuItem* N1;
  TMenuItem* Beenden1;
  TMenuItem* zoom1;
  TMenuItem* Einstellungen1;
  TMenuItem* AktuellesVerzeichnis1;
  TMenuItem* OnlineHilfe;
  TMenuItem* Info1;
  TMenuItem* SoftwareInfo1;
  TMenuItem* Hilfedatei1;
  TMenuItem* N3;
  TMenuItem* Homepage1;

  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;

 private:
  void createToolbar();
  void createPages();
  struct SlidePageDesign;
  void createSlidePage(const SlidePageDesign& design);
  void createSlidePage1();
  void createSlidePage2();
  void wireSlide(TImage* slide, void (TForm1::*click)(TObject*));
  void createBrowser();
  void createMenu();
  void createFileActions();
  void refreshFileListSelecting(const QString& bareName);
  void createChrome();
  void FormCreateCaption();
  void FormCreateWallpaper();
  void FormCreateTitle();
  void readSettings();
  void showLastFolder(const QString& folder);
  bool enterFolder(const QString& folder);
  void frameControls();
  void wirePreview();
  void wireProgress();
  void followDisk();
  void folderLost(const QString& lost);

  QString programDirectory_;
  QString settingsDirectory_;
};
