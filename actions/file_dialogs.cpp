#include "actions/file_dialogs.h"

#include "actions/one_file_dialog.h"
#include "framework/application_services.h"
#include "framework/form.h"
#include "platform/dialog_names.h"
#include "platform/file_system.h"
#include "platform/installed_service.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include <algorithm>

namespace {

platform::InstalledService<FileDialogService, QtFileDialogService> fileDialogs;

QWidget* ActiveOwner() {
  TForm* main = ApplicationMainForm();
  return main && main->Visible() ? main->Widget() : nullptr;
}

bool IsWildcard(const QString& pattern) {
  return pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
}

// Qt reads a filter's patterns only when they hold none but these characters, and
// takes a blank for a separator and brackets for a set; any other character of a name
// is given as "?", which still matches it.
QString QtPattern(const QString& pattern) {
  static const QString kKept = QStringLiteral("_.,*?+#-@{}!<>$%&=^~:");
  QString kept = pattern.trimmed();
  for (QChar& c : kept) {
    const bool plain = c.unicode() < 0x80 && (c.isLetterOrNumber() || kKept.contains(c));
    if (!plain) c = QLatin1Char('?');
  }
  return kept;
}

// A filter pattern without wildcards names one file, and Qt's own filter would also list
// the names that differ from it in letter case (or, where a "?" stands in, in that
// character): this narrows the list to the file of exactly that name, as Qt lists it.
// Wildcard patterns keep matching as masks do, letter case ignored.
class ExactNameFilter : public QSortFilterProxyModel {
 public:
  ExactNameFilter(const QStringList& patterns, QObject* parent) : QSortFilterProxyModel(parent) {
    for (const QString& pattern : patterns) {
      if (IsWildcard(pattern)) {
        masks_ << pattern;
      } else {
        exactNames_ << platform::QtListedName(pattern);
      }
    }
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
    const QModelIndex index = files->index(row, 0, parent);
    if (files->isDir(index)) return true;
    const QString name = files->fileName(index);
    if (exactNames_.contains(name)) return true;
    for (const QString& mask : masks_) {
      if (platform::MatchesWildcard(name, mask)) return true;
    }
    return false;
  }

 private:
  QStringList exactNames_;
  QStringList masks_;
};

QStringList FilterPatterns(const QString& filter) {
  QStringList patterns;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 1; i < parts.size(); i += 2) {
    for (const QString& pattern : parts[i].split(QLatin1Char(';'), Qt::SkipEmptyParts)) patterns << pattern.trimmed();
  }
  return patterns;
}

// The one file a filter names, when it names exactly one and no mask; else empty.
QString OneFileOf(const QString& filter) {
  const QStringList patterns = FilterPatterns(filter);
  return patterns.size() == 1 && !IsWildcard(patterns.front()) ? patterns.front() : QString();
}

void NarrowToExactNames(QFileDialog& dialog, const QString& filter) {
  const QStringList patterns = FilterPatterns(filter);
  if (std::all_of(patterns.begin(), patterns.end(), IsWildcard)) return;
  dialog.setProxyModel(new ExactNameFilter(patterns, &dialog));
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  QStringList filters;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = QtPattern(pattern);
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
  const bool absolute = request.fileName.startsWith(QLatin1Char('/'));
  const QString folderPath = absolute ? platform::ParentOfPath(request.fileName) : request.initialDir;
  // Qt's dialog lists no name that is not UTF-8, so it could not show such a file.
  const QString oneFile = OneFileOf(request.filter);
  if (request.kind == FileDialogKind::Open && !oneFile.isEmpty() && !platform::IsUtf8Path(oneFile)) {
    return ExecuteOneFileDialog(owner, request, folderPath, oneFile);
  }
  QFileDialog dialog(owner, request.title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool save = request.kind == FileDialogKind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Names are bytes: the folder and the name are handed over in forms Qt can use, and
  // the answer is mapped back to the bytes it stands for.
  const QString presetName = request.fileName.mid(request.fileName.lastIndexOf(QLatin1Char('/')) + 1);
  const platform::DialogFolder folder(folderPath);
  dialog.setDirectory(folder.Shown());
  NarrowToExactNames(dialog, request.filter);
  const QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(BareExtension(request.defaultExt));
  if (!request.fileName.isEmpty()) dialog.selectFile(platform::ShownName(presetName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.fileName = folder.Resolve(dialog.selectedFiles().constFirst(), presetName);
  return true;
}

namespace platform {

FileDialogService& FileDialogs() { return fileDialogs.Get(); }

FileDialogService* SetFileDialogService(FileDialogService* service) { return fileDialogs.Install(service); }

}  // namespace platform

bool TOpenDialog::Execute() {
  FileDialogRequest request{Kind(), FileName, InitialDir, Filter, Title, DefaultExt, FileMustExist};
  const bool confirmed = platform::FileDialogs().Execute(ActiveOwner(), request);
  if (confirmed) FileName = request.fileName;
  return confirmed;
}
