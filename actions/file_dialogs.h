#pragma once
// The open and save dialogs of the main window. They keep their file name, initial
// folder, filter, title and default extension between uses, as components do; showing
// them goes through a service that tests can script, so no test waits in a modal loop.

#include "framework/component.h"

#include <QString>
#include <QStringList>

class QWidget;

enum class FileDialogKind { Open, Save };

// Everything a file dialog is shown with, and the name the user chose.
struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  QString fileName;
  QString initialDir;
  QString filter;  // "description|pattern;pattern|description|pattern"
  QString title;
  QString defaultExt;
  bool fileMustExist = false;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Shows the dialog modally; true when the user confirmed (request.fileName then
  // holds the chosen file). A save dialog asks before it lets an existing file be chosen.
  virtual bool Execute(QWidget* owner, FileDialogRequest& request) = 0;
};

// Qt's own file dialog (not the native one): its context menu lets the user rename
// and delete files, which the program's "Bearbeiten" dialog is there for.
class QtFileDialogService : public FileDialogService {
 public:
  bool Execute(QWidget* owner, FileDialogRequest& request) override;
};

namespace platform {

FileDialogService& FileDialogs();
// Installs another service (tests); returns the previous one. Not owned.
FileDialogService* SetFileDialogService(FileDialogService* service);

}  // namespace platform

// The Qt name filters for a filter text "description|pattern;pattern|...".
QStringList QtNameFilters(const QString& filter);
// The default extension as the dialog appends it: without a leading "*" or ".".
QString BareExtension(const QString& defaultExt);

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOpenDialog"); }

  QString FileName;
  QString InitialDir;
  QString Filter;
  QString Title;
  QString DefaultExt;
  // Only an existing file can be chosen. Qt's dialog has no read-only check box, so
  // there is none to hide.
  bool FileMustExist = false;

  // Shows the dialog; true when the user confirmed, FileName then being the choice.
  bool Execute();

 protected:
  virtual FileDialogKind Kind() const { return FileDialogKind::Open; }
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TSaveDialog"); }

 protected:
  FileDialogKind Kind() const override { return FileDialogKind::Save; }
};
