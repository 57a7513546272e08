#pragma once
// The file dialog for one file whose name is not UTF-8. Qt's own file dialog leaves every
// such name out of its list, so a one-file filter on it would show nothing; this dialog
// lists that file by its bytes and offers what Qt's dialog offers on a file, rename and
// delete through the context menu (F2 and Delete on the keyboard), in Qt's own words.

class QString;
class QWidget;
struct FileDialogRequest;

// Shows the file `name` of `folder` (listed only while it exists). True when the person
// confirmed with the file listed; request.fileName then holds its path, under its new
// name after a rename.
bool ExecuteOneFileDialog(QWidget* owner, FileDialogRequest& request, const QString& folder, const QString& name);
