// Where the main window's lists stand: the stored folder at the start, or the nearest one
// that can be entered, and from then on the folder as it changes on disk.
#include "app/main_form.h"

#include "browse/directory_list.h"
#include "browse/folder_watch.h"
#include "framework/application.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/folder_change.h"
#include "platform/home_folder.h"
#include "platform/lossless_utf8.h"

// A stored folder that cannot be entered (a stick unplugged, a folder removed or closed
// to us) is reported, so the person learns it is gone; the list then shows the nearest
// folder above it that can be entered, else the home folder.
void TForm1::showLastFolder(const QString& folder) {
  try {
    DirectoryListBox1->SetDirectory(folder);
    return;
  } catch (const std::exception& error) {
    Application()->HandleException(error);
  }
  const QString absolute = folder.startsWith(u'/') ? folder : platform::JoinPath(platform::GetCurrentDir(), folder);
  for (QString above = platform::ParentOfPath(absolute); !above.isEmpty(); above = platform::ParentOfPath(above)) {
    if (enterFolder(above)) return;
  }
  enterFolder(platform::HomeFolder());
}

bool TForm1::enterFolder(const QString& folder) {
  try {
    DirectoryListBox1->SetDirectory(folder);
    return true;
  } catch (const std::exception&) {
    return false;  // the caller tries the next one
  }
}

void TForm1::followDisk() {
  auto* watch = new FolderWatch(DirectoryListBox1, FileListBox1, [this](const QString& lost) { folderLost(lost); });
  watch->setParent(Widget());
}

// The lists go first, so that what the person sees behind the message is already the
// folder the program stands in (and stores at close); one message names the lost one.
void TForm1::folderLost(const QString& lost) {
  const QString parent = platform::NearestExistingFolder(lost);
  if (parent.isEmpty() || !enterFolder(parent)) enterFolder(platform::HomeFolder());
  // Reported as the error it is, as a lost folder is at the start.
  Application()->HandleException(
      Exception(QStringLiteral("Der Ordner %1 ist nicht mehr vorhanden").arg(platform::ReadableText(lost))));
}
