#include "data/main_icon.h"

#include "data/icon_file_writer.h"
#include "picture/icon.h"

#include <QPixmap>

namespace {

const uint8_t* Bytes(QByteArrayView view) { return reinterpret_cast<const uint8_t*>(view.data()); }

// An icon file that holds only this one of its images, since the loader reads the first image an icon file offers.
QByteArray SingleImageFile(QByteArrayView file, const IconDirEntry& entry) {
  QByteArray out;
  AppendIconHeader(out, 1);
  AppendIconEntry(out, entry.width, entry.height, entry.bitCount, entry.bytes, kIconHeaderBytes + kIconEntryBytes);
  out.append(file.sliced(entry.offset, entry.bytes));
  return out;
}

}  // namespace

QIcon MainIcon() {
  const QByteArrayView file = MainIconResource();
  QIcon icon;
  for (const IconDirEntry& entry : ReadIconDirectory(Bytes(file), static_cast<size_t>(file.size()))) {
    const QByteArray single = SingleImageFile(file, entry);
    icon.addPixmap(QPixmap::fromImage(ReadIconFile(Bytes(single), static_cast<size_t>(single.size()))));
  }
  return icon;
}
