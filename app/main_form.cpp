#include "app/main_form.h"

#include "app/ini_file.h"
#include "app/main_form_access.h"
#include "app/settings_names.h"
#include "browse/directory_list.h"
#include "browse/drive_combo.h"
#include "browse/file_list.h"
#include "browse/preview.h"
#include "browse/splitter.h"
#include "chrome/glyphs.h"
#include "chrome/gradient_caption.h"
#include "chrome/menu_glyphs.h"
#include "chrome/speed_bar.h"
#include "framework/application.h"
#include "framework/form_accessible.h"
#include "framework/image_list.h"
#include "framework/menus.h"
#include "framework/page_control.h"
#include "framework/place_control.h"
#include "framework/std_controls.h"
#include "picture/image_control.h"
#include "platform/drives.h"
#include "platform/paths.h"
#include "platform/private_profile.h"
#include "sheet/quad_split.h"

#include <QDir>

#include <functional>

namespace {

const QString kSettingsFile = QStringLiteral("velarim.ini");
const QString kFolderSection = QStringLiteral("Verzeichnisse");
const QString kFolderKey = QStringLiteral("letztes");

TMenuItem* MenuItem(TForm1* form, const char* name, TMenuItem* parent, const QString& caption,
                    const QKeySequence& shortCut = QKeySequence()) {
  auto* item = new TMenuItem(form);
  item->SetName(QString::fromLatin1(name));
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  parent->Add(item);
  return item;
}

QFont DesignFont(const QString& family) {
  QFont font(family);
  font.setPixelSize(11);  // 8 points at 96 pixels per inch
  return font;
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("Form1"));
  SetOwnFrame(true);
  DescribeOwnFrame(this);
  SetPosition(TPosition::poDefaultSizeOnly);
  SetBounds(236, 117, Width(), Height());
  SetClientSize(718, 465);
  SetShowHint(true);
  SetFont(DesignFont(QStringLiteral("MS Sans Serif")));
  SetCaption(QStringLiteral("Velarim"));

  createToolbar();
  Panel2 = Place<TPanel>(this, "Panel2", this, 0, 81, 718, 384);
  Panel2->SetAlign(TAlign::alClient);
  createPages();
  createBrowser();
  createMenu();
  wirePreview();
  createFileActions();
  createChrome();
  MakeMainFormAccessible(this);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

void TForm1::createToolbar() {
  Toolbar = Place<TSpeedBar>(this, "Toolbar", this, 0, 0, 718, 81);
  Toolbar->SetAlign(TAlign::alTop);
  ZoomBt = Place<TSpeedItem>(this, "ZoomBt", Toolbar, 11, 8, 40, 40);
  ZoomBt->SetHint(QStringLiteral("Zoomfunktion"));
  ZoomBt->SetGlyph(ZoomGlyph());
  DruckBt = Place<TSpeedItem>(this, "DruckBt", Toolbar, 59, 8, 40, 40);
  DruckBt->SetHint(QStringLiteral("Ausgabe auf Ihrem Drucker"));
  DruckBt->SetGlyph(PrintGlyph());
  ZoomBt->OnClick = [this](TObject* sender) { zoom1Click(sender); };
  DruckBt->OnClick = [this](TObject* sender) { Drucken2Click(sender); };

  Label2 = Place<TLabel>(this, "Label2", Toolbar, 158, 8, 511, 37);
  Label2->SetAutoSize(false);
  Label2->SetCaption(QStringLiteral(
      "Ziehen Sie eine Datei einfach mit Drag&&Drop auf eines der 4 Dias. Ein Klick darauf löscht es wieder. "
      "Beim Ausdruck müssen Sie das Papierformat bzw. dessen Ausrichtung beachten !"));
  Label2->SetFont(DesignFont(QStringLiteral("Tahoma")));
  Label2->SetFontColor(clNavy);
  Label2->SetWordWrap(true);
  Label2->SetTransparent(true);

  Label1 = Place<TLabel>(this, "Label1", Toolbar, 158, 56, 300, 13);
  Label1->SetCaption(QStringLiteral("Programm, mit dem Windows diese Datei bearbeitet / startet"));
  Label1->SetVisible(false);
}

void TForm1::createPages() {
  PageControl1 = Place<TPageControl>(this, "PageControl1", Panel2, 0, 0, 718, 133);
  PageControl1->SetAlign(TAlign::alTop);
  PageControl1->SetFlatButtons(true);
  PageControl1->SetHotTrack(true);
  createSlidePage1();
  createSlidePage2();
  PageControl1->SetActivePageIndex(0);
}

void TForm1::createBrowser() {
  Panel4 = Place<TPanel>(this, "Panel4", Panel2, 0, 133, 718, 251);
  Panel4->SetAlign(TAlign::alClient);
  Panel4->SetBevelOuter(TPanelBevel::bvLowered);

  Panel1 = Place<TPanel>(this, "Panel1", Panel4, 1, 1, 716, 52);
  Panel1->SetAlign(TAlign::alTop);
  RzDriveComboBox1 = Place<TRzDriveComboBox>(this, "RzDriveComboBox1", Panel1, 8, 11, 173, 21);
  Label4 = Place<TLabel>(this, "Label4", Panel1, 214, 16, 60, 13);
  Label4->SetCaption(QStringLiteral("Dateimasken"));
  Edit1 = Place<TEdit>(this, "Edit1", Panel1, 280, 11, 209, 21);
  Edit1->SetText(QStringLiteral("*.jpg;*.jpeg"));
  Edit1->SetHint(QStringLiteral("Dateitypen *.jpg;*.jpeg"));
  NichtAnzeigen = Place<TCheckBox>(this, "NichtAnzeigen", Panel1, 508, 19, 145, 17);
  NichtAnzeigen->SetCaption(QStringLiteral("Grafik-Vorschau zeigen "));
  NichtAnzeigen->SetFont(DesignFont(QStringLiteral("Arial")));
  NichtAnzeigen->SetFontColor(clNavy);

  DirectoryListBox1 = Place<TRzDirectoryListBox>(this, "DirectoryListBox1", Panel4, 1, 53, 185, 197);
  DirectoryListBox1->SetAlign(TAlign::alLeft);
  DirectoryListBox1->SetItemHeight(17);
  RxSplitter1 = Place<TRxSplitter>(this, "RxSplitter1", Panel4, 186, 53, 3, 197);
  RxSplitter1->SetAlign(TAlign::alLeft);
  FileListBox1 = Place<TRzFileListBox>(this, "FileListBox1", Panel4, 189, 53, 528, 197);
  FileListBox1->SetAlign(TAlign::alClient);
  FileListBox1->SetColumns(2);
  FileListBox1->SetItemHeight(18);
  RxSplitter1->SetControlFirst(DirectoryListBox1);

  // The drive selector drives the folder list, which keeps the selector on its drive.
  RzDriveComboBox1->OnChange = [this](TObject*) {
    DirectoryListBox1->SetDirectory(platform::DriveCurrentFolder(RzDriveComboBox1->Drive()));
  };
  DirectoryListBox1->OnDriveChange = [this](const QString& root) { RzDriveComboBox1->SelectDrive(root); };
  DirectoryListBox1->SetFileList(FileListBox1);
}

void TForm1::createMenu() {
  ImageList1 = new TImageList(this);
  ImageList1->SetName(QStringLiteral("ImageList1"));
  for (int index : MenuGlyphIndices()) ImageList1->SetGlyph(index, MenuGlyphIcon(index));
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName(QStringLiteral("MainMenu1"));
  MainMenu1->SetImages(ImageList1);
  TMenuItem* top = MainMenu1->Items();

  Datei1 = MenuItem(this, "Datei1", top, QStringLiteral("&Datei"));
  Umbenennen1 = MenuItem(this, "Umbenennen1", Datei1, QStringLiteral("&Bearbeiten ..."), QKeySequence(Qt::Key_F2));
  Umbenennen1->SetImageIndex(11);
  Speichern1 = MenuItem(this, "Speichern1", Datei1, QStringLiteral("&Speichern"), QKeySequence(Qt::CTRL | Qt::Key_S));
  Speichern1->SetEnabled(false);
  Speichernunter1 = MenuItem(this, "Speichernunter1", Datei1, QStringLiteral("Speichern &unter..."),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  Speichernunter1->SetImageIndex(10);
  Aktionausfhren1 = MenuItem(this, "Aktionausfhren1", Datei1, QStringLiteral("&Aktion ausführen"),
                             QKeySequence(Qt::CTRL | Qt::Key_A));
  Aktionausfhren1->SetVisible(false);
  N2 = MenuItem(this, "N2", Datei1, QStringLiteral("-"));
  Drucken2 = MenuItem(this, "Drucken2", Datei1, QStringLiteral("&Drucken"), QKeySequence(Qt::CTRL | Qt::Key_D));
  Drucken2->SetImageIndex(9);
  N1 = MenuItem(this, "N1", Datei1, QStringLiteral("-"));
  Beenden1 = MenuItem(this, "Beenden1", Datei1, QStringLiteral("&Beenden"), QKeySequence(Qt::ALT | Qt::Key_F4));
  Beenden1->OnClick = [this](TObject* sender) { Beenden1Click(sender); };
  Drucken2->OnClick = [this](TObject* sender) { Drucken2Click(sender); };

  zoom1 = MenuItem(this, "zoom1", top, QStringLiteral("&Zoom"));
  zoom1->OnClick = [this](TObject* sender) { zoom1Click(sender); };

  Einstellungen1 = MenuItem(this, "Einstellungen1", top, QStringLiteral("&Einstellungen"));
  Einstellungen1->SetChecked(true);
  Einstellungen1->SetVisible(false);
  AktuellesVerzeichnis1 = MenuItem(this, "AktuellesVerzeichnis1", Einstellungen1,
                                   QStringLiteral("&Aktuelles Verzeichnis speichern"));
  OnlineHilfe = MenuItem(this, "OnlineHilfe", Einstellungen1, QStringLiteral("Online-Hilfe"));
  OnlineHilfe->SetChecked(true);

  Info1 = MenuItem(this, "Info1", top, QStringLiteral("&Hilfe"));
  SoftwareInfo1 = MenuItem(this, "SoftwareInfo1", Info1, QStringLiteral("In&fo"));
  SoftwareInfo1->SetImageIndex(0);
  Hilfedatei1 = MenuItem(this, "Hilfedatei1", Info1, QStringLiteral("&Inhalt"), QKeySequence(Qt::Key_F1));
  Hilfedatei1->SetImageIndex(3);
  N3 = MenuItem(this, "N3", Info1, QStringLiteral("-"));
  Homepage1 = MenuItem(this, "Homepage1", Info1, QStringLiteral("&Homepage"));
  Homepage1->SetImageIndex(25);

  SetMenu(MainMenu1);
}

QString TForm1::SettingsFileName() const { return settingsDirectory_ + kSettingsFile; }

void TForm1::FormCreate(TObject*) {
  // A step that fails is reported and the next one still runs, so that a lost folder or
  // a missing resource never leaves the window half set up.
  const std::function<void()> steps[] = {
      [] { Application()->SetHintPause(0); },
      [this] { FormCreateCaption(); },
      [this] { FormCreateWallpaper(); },
      [this] { Toolbar->SetDefaultFont(); },
      [this] { FormCreateTitle(); },
      [this] { programDirectory_ = platform::ProgramDirectoryFromExecutable(Application()->ExeName()); },
      [this] { settingsDirectory_ = platform::SettingsDirectory(programDirectory_); },
      // The preview panel gets the 4:3 shape of a 640 x 480 picture, once.
      [this] { Panel6->SetWidth(Panel6->Height() * 640 / 480); },
      [this] { readSettings(); },
      [this] { FileListBox1->Repaint(); },
      [this] { frameControls(); },
      [this] { FileListBox1->SetMask(Edit1->Text()); },
      [this] { wireProgress(); },
      [this] { followDisk(); },
  };
  for (const std::function<void()>& step : steps) {
    try {
      step();
    } catch (const std::exception& error) {
      Application()->HandleException(error);
    }
  }
}

void TForm1::readSettings() {
  const TIniFile settings(SettingsFileName());
  showLastFolder(settings.ReadString(kFolderSection, kFolderKey, QString()));
  OnlineHilfe->SetChecked(settings.ReadBool(kHintSection, kHintKey, true));
  Application()->SetShowHint(OnlineHilfe->Checked());
}

// Gives the plain edit, the lists and the plain panels a raised dialog frame; the
// edit then needs more height for its text to fit inside the frame.
void TForm1::frameControls() {
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    const bool framed = dynamic_cast<TEdit*>(component) || dynamic_cast<TFileListBox*>(component) ||
                        dynamic_cast<TPanel*>(component) || dynamic_cast<TDirectoryListBox*>(component);
    if (!framed) continue;
    auto* control = static_cast<TWinControl*>(component);
    control->SetStyle(control->Style() | WS_DLGFRAME);
    control->FrameChanged();
  }
  Edit1->SetHeight(28);
}

void TForm1::FormClose(TObject*, TCloseAction& Action) {
  try {
    TIniFile settings(SettingsFileName());
    // A folder name with a line break cannot be stored: the key keeps the folder stored
    // before, and the close goes on without a report that would come at every close.
    const QString folder = DirectoryListBox1->Directory();
    if (TIniFile::CanStore(folder)) settings.WriteString(kFolderSection, kFolderKey, folder);
    settings.WriteBool(kHintSection, kHintKey, OnlineHilfe->Checked());
  } catch (const std::exception& error) {
    // The settings stay as they were; the user still gets out of the program.
    Application()->HandleException(error);
  }
  Application()->SetShowHint(OnlineHilfe->Checked());
  Action = TCloseAction::caFree;
}

void TForm1::Beenden1Click(TObject*) { Close(); }
