// Feeds arbitrary bytes to the mount-table parser and the drive list built on it, and
// checks what the drive selector relies on: absolute mount points, "/" first, each
// mount point once, in order. Device questions get fixed answers so nothing on the
// machine is touched.
#include "platform/drives.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class FixedProbe : public platform::DeviceProbe {
 public:
  QString VolumeLabel(const QString& device) const override { return device.left(8); }
  bool IsRemovable(const QString& device) const override { return device.size() % 2 == 0; }
  bool IsOptical(const QString& device) const override { return device.size() % 3 == 0; }
};

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // One by one, since a table of millions of lines would cost more to hold than to read.
  platform::ForEachMount(text, [](const platform::MountEntry& mount) {
    Require(mount.mountPoint.startsWith(QLatin1Char('/')));
  });
  const std::vector<platform::DriveInfo> drives = platform::DrivesFromMounts(text, FixedProbe());
  Require(!drives.empty() && drives.front().root == QLatin1String("/"));
  for (size_t i = 1; i < drives.size(); ++i) {
    Require(drives[i - 1].root < drives[i].root);
  }
  // The item texts and the drive of a path below a root, asked of the first drives only:
  // each question about a path looks at every drive, and the work of one input must stay
  // proportional to its size.
  constexpr size_t kAsked = 16;
  std::vector<QString> roots;
  for (size_t i = 0; i < std::min(drives.size(), kAsked); ++i) {
    const platform::DriveInfo& drive = drives[i];
    roots.push_back(drive.root);
    Require(platform::DriveItemText(drive).startsWith(drive.root + QLatin1Char(':')));
    Require(platform::DriveRootOf(drive.root + QStringLiteral("/x"), roots) == drive.root);
  }
  platform::DecodeUdevLabel(text);
  return 0;
}
