#include "actions/file_dialogs.h"

#include "framework/application_services.h"
#include "framework/form.h"
#include "platform/installed_service.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

platform::InstalledService<FileDialogService, QtFileDialogService> fileDialogs;

QWidget* activeOwner() {
  TForm* main = ApplicationMainForm();
  return main && main->Visible() ? main->Widget() : nullptr;
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  QStringList filters;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Qt separates patterns by blanks; a blank inside a name becomes "?", which still
    // matches the name (and names that differ from it only there).
    for (QString& pattern : patterns) pattern = pattern.trimmed().replace(QLatin1Char(' '), QLatin1Char('?'));
    filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

QString BareExtension(const QString& defaultExt) {
  QString ext = defaultExt;
  while (ext.startsWith(QLatin1Char('*')) || ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  return ext;
}

bool QtFileDialogService::Execute(QWidget* owner, FileDialogRequest& request) {
  QFileDialog dialog(owner, request.title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool save = request.kind == FileDialogKind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QFileInfo preset(request.fileName);
  dialog.setDirectory(preset.isAbsolute() ? preset.absolutePath() : request.initialDir);
  const QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(BareExtension(request.defaultExt));
  if (!request.fileName.isEmpty()) dialog.selectFile(preset.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.fileName = dialog.selectedFiles().constFirst();
  return true;
}

namespace platform {

FileDialogService& FileDialogs() { return fileDialogs.Get(); }

FileDialogService* SetFileDialogService(FileDialogService* service) { return fileDialogs.Install(service); }

}  // namespace platform

bool TOpenDialog::Execute() {
  FileDialogRequest request{Kind(), FileName, InitialDir, Filter, Title, DefaultExt, FileMustExist};
  const bool confirmed = platform::FileDialogs().Execute(activeOwner(), request);
  if (confirmed) FileName = request.fileName;
  return confirmed;
}
