#pragma once
// Drives are the mounted file systems a user can browse: a drive's root is its mount
// point. The list comes from the kernel's mount table; kernel-internal file systems and
// system mounts are left out, and "/" is always a drive. Nothing here touches a mounted
// file system itself, so a dead network mount or an empty CD drive cannot block or fail
// the drive list.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace platform {

enum class DriveType { Removable, Fixed, Network, CDROM, RAMDisk };

// One line of a mount table, with its escapes decoded.
struct MountEntry {
  QString source;      // device, remote share or a placeholder such as "tmpfs"
  QString mountPoint;  // always absolute
  QString fsType;
};

struct DriveInfo {
  QString root;  // the mount point
  DriveType type = DriveType::Fixed;
  QString fsType;
  QString volumeLabel;  // empty when the device has none
  QString remoteName;   // network drives: the mounted source (//server/share, host:/path)
  bool caseSensitive = true;
};

// What the drive list needs to know about the device behind a mount. Devices are named
// as in the mount table (/dev/sda1, /dev/disk/by-uuid/...); anything that is not a
// device path simply has no label and is neither removable nor optical.
class DeviceProbe {
 public:
  virtual ~DeviceProbe() = default;
  virtual QString VolumeLabel(const QString& device) const = 0;
  virtual bool IsRemovable(const QString& device) const = 0;
  virtual bool IsOptical(const QString& device) const = 0;
};

// Answers from udev's label links (<devRoot>/disk/by-label) and the kernel's block
// device attributes (<sysRoot>/class/block); the folders are parameters for tests.
class SystemDeviceProbe : public DeviceProbe {
 public:
  explicit SystemDeviceProbe(QString devRoot = QStringLiteral("/dev"), QString sysRoot = QStringLiteral("/sys"));
  QString VolumeLabel(const QString& device) const override;
  bool IsRemovable(const QString& device) const override;
  bool IsOptical(const QString& device) const override;

 private:
  // The sysfs folder of the whole disk that holds device (a partition's parent).
  QString DiskSysFolder(const QString& device) const;

  QString sysRoot_;
  QHash<QString, QString> labelsByDevice_;  // canonical device path -> label
};

// Every well-formed line of a mount table (fields: source, mount point, type, ...).
// Octal escapes (\040 blank, \011 tab, \012 newline, \134 backslash) are decoded;
// lines with too few fields, a relative mount point or an embedded NUL are dropped.
std::vector<MountEntry> ParseMounts(const QByteArray& mountsText);
// The same mounts handed to take one by one, in order, with no table held in between.
void ForEachMount(const QByteArray& mountsText, const std::function<void(MountEntry)>& take);

// A udev link name decoded into the label it stands for ("MY\x20DISK" -> "MY DISK").
QString DecodeUdevLabel(const QByteArray& linkName);

// The mounts of a table that are drives, one per mount point (the last mount on a point hides the
// earlier ones), sorted by mount point; "/" is added as a fixed drive when missing.
std::vector<MountEntry> DriveMounts(const QByteArray& mountsText);

DriveType ClassifyMount(const MountEntry& mount, const DeviceProbe& probe);

// The drives described by a mount table, asking probe about their devices.
std::vector<DriveInfo> DrivesFromMounts(const QByteArray& mountsText, const DeviceProbe& probe);

// The drives of this system, read afresh from /proc/self/mounts.
std::vector<DriveInfo> GetDrives();

// The drive selector's text for a drive: "<root>: <name>", the name being the label
// (lower case with a capital first letter) or, on network drives, the remote name in
// lower case; removable drives show "<root>:" only.
QString DriveItemText(const DriveInfo& drive);

// The root among roots that holds the absolute path (the longest matching mount
// point); empty when none does.
QString DriveRootOf(const QString& path, const std::vector<QString>& roots);

// The root of this system's drive that holds the absolute path ("/" at the least).
QString DriveRootOf(const QString& path);

// The platform keeps a current folder per drive, as it was last entered by
// SetCurrentDir; a drive not entered yet has its root.
QString DriveCurrentFolder(const QString& root);
void NoteCurrentFolder(const QString& folder);
// Changes the process's current directory (see EnterFolder for its errors) and notes it
// as its drive's current folder.
void SetCurrentDir(const QString& path);

}  // namespace platform
