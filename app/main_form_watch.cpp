// The main window's lists follow the disk.
#include "app/main_form.h"

#include "browse/directory_list.h"
#include "browse/folder_watch.h"
#include "framework/application.h"
#include "platform/errors.h"
#include "platform/folder_change.h"
#include "platform/home_folder.h"
#include "platform/lossless_utf8.h"

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
