// The main window's file actions, hint switch, help and information commands.
#include "actions/file_copy.h"
#include "actions/file_dialogs.h"
#include "actions/shell_opener.h"
#include "app/help_finder.h"
#include "app/ini_file.h"
#include "app/main_form.h"
#include "app/settings_names.h"
#include "browse/directory_list.h"
#include "browse/file_list.h"
#include "chrome/info_form.h"
#include "framework/application.h"
#include "framework/menus.h"
#include "platform/file_system.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QString kHelpFile = QStringLiteral("Velarim.HLP");
const QString kUpdatesLink = QStringLiteral("updates.url");
const QString kBrowseTitle = QStringLiteral("Bearbeitungsmöglichkeiten mit der rechten Maustaste ..");

// The extension of a file name with its leading dot (".jpg" for bild.jpg), as the
// open dialog's default extension takes it; empty for a name without one.
QString ExtensionWithDot(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

// A copy's name typed without an extension gets the selected file's own one: the dialog
// would otherwise append the design's "URL" and make a photo look like a web link.
QString CopyExtension(const QString& selected) {
  const QString own = QFileInfo(selected).suffix();
  return own.isEmpty() ? QStringLiteral("URL") : own;
}

// By the names' bytes, which need not be UTF-8.
bool SameFolder(const QString& a, const QString& b) {
  const std::optional<QByteArray> nativeA = platform::NativePath(a);
  const std::optional<QByteArray> nativeB = platform::NativePath(b);
  struct stat infoA {};
  struct stat infoB {};
  return nativeA && nativeB && ::stat(nativeA->constData(), &infoA) == 0 && ::stat(nativeB->constData(), &infoB) == 0 &&
         infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

void Bind(TMenuItem* item, TForm1* form, void (TForm1::*handler)(TObject*)) {
  item->OnClick = [form, handler](TObject* sender) { (form->*handler)(sender); };
}

}  // namespace

void TForm1::createFileActions() {
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName(QStringLiteral("OpenDialog1"));
  OpenDialog1->FileMustExist = true;
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName(QStringLiteral("SaveDialog1"));
  SaveDialog1->DefaultExt = QStringLiteral("*.url");

  Bind(Umbenennen1, this, &TForm1::Umbenennen1Click);
  Bind(Speichernunter1, this, &TForm1::Speichernunter1Click);
  Bind(Aktionausfhren1, this, &TForm1::Aktionausfhren1Click);
  Bind(Homepage1, this, &TForm1::Homepage1Click);
  Bind(OnlineHilfe, this, &TForm1::OnlineHilfeClick);
  Bind(Hilfedatei1, this, &TForm1::Hilfedatei1Click);
  Bind(SoftwareInfo1, this, &TForm1::Info1Click);
}

// Shows a dialog that lists only the selected file, so the user can rename, delete or
// inspect it through the dialog's context menu; then opens the file, if it is still
// there, with its associated program.
void TForm1::Umbenennen1Click(TObject*) {
  const QString remembered = FileListBox1->FileName();
  const QString bareName = QFileInfo(remembered).fileName();
  OpenDialog1->FileName = remembered;
  OpenDialog1->InitialDir = DirectoryListBox1->Directory();
  OpenDialog1->DefaultExt = ExtensionWithDot(remembered);
  OpenDialog1->Filter = QStringLiteral("Bilddateien |") + bareName;
  OpenDialog1->Title = kBrowseTitle;
  OpenDialog1->Execute();  // confirmed or cancelled alike

  if (remembered.isEmpty() || !platform::FileExists(remembered)) {
    FileListBox1->Refresh();
    return;
  }
  ShellExecute(Widget(), QStringLiteral("open"), remembered);
  refreshFileListSelecting(bareName);
}

// Reads the shown folder again and selects the entry of exactly that name: a name that
// differs only in case is another file.
void TForm1::refreshFileListSelecting(const QString& bareName) {
  FileListBox1->Refresh();
  FileListBox1->SetItemIndex(static_cast<int>(FileListBox1->Items().indexOf(bareName)));
}

// The chosen name gets a copy of the selected file; the dialog has asked before an
// existing file is replaced. Without a selection there is nothing to save. A copy into
// the shown folder shows in the list at once, with the selected file still selected.
void TForm1::Speichernunter1Click(TObject*) {
  const QString selected = FileListBox1->FileName();
  SaveDialog1->FileName = selected;
  SaveDialog1->DefaultExt = CopyExtension(selected);
  SaveDialog1->InitialDir = DirectoryListBox1->Directory();
  if (!SaveDialog1->Execute() || selected.isEmpty()) return;
  SaveCopyOfFile(selected, SaveDialog1->FileName);
  if (SameFolder(platform::ParentOfPath(SaveDialog1->FileName), FileListBox1->Directory())) {
    refreshFileListSelecting(QFileInfo(selected).fileName());
  }
}

// Filter, title and default extension stay as the last browse-and-open left them.
void TForm1::Aktionausfhren1Click(TObject*) {
  OpenDialog1->FileName = FileListBox1->FileName();
  OpenDialog1->InitialDir = DirectoryListBox1->Directory();
  OpenDialog1->Execute();
  FileListBox1->Refresh();
}

void TForm1::Homepage1Click(TObject*) {
  ShellExecute(Widget(), QString(), programDirectory_ + kUpdatesLink);
  // Repaint at once while the desktop starts the browser.
  QCoreApplication::processEvents();
}

void TForm1::OnlineHilfeClick(TObject*) {
  OnlineHilfe->SetChecked(!OnlineHilfe->Checked());
  Application()->SetShowHint(OnlineHilfe->Checked());
  TIniFile settings(SettingsFileName());
  settings.WriteBool(kHintSection, kHintKey, OnlineHilfe->Checked());
  settings.UpdateFile();
}

void TForm1::Hilfedatei1Click(TObject*) {
  Application()->SetHelpFile(programDirectory_ + kHelpFile);
  Application()->HelpCommand(HELP_FINDER, 0);
}

void TForm1::Info1Click(TObject*) {
  if (FormHHInfo) FormHHInfo->ShowModal();
}
