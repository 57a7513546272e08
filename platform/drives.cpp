#include "platform/drives.h"

#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>

namespace platform {
namespace {

// Kernel-internal file systems: nothing a user browses for pictures.
bool IsPseudoFileSystem(const QString& fsType) {
  static const QStringList kPseudo = {
      QStringLiteral("proc"),        QStringLiteral("sysfs"),        QStringLiteral("cgroup"),
      QStringLiteral("cgroup2"),     QStringLiteral("devpts"),       QStringLiteral("devtmpfs"),
      QStringLiteral("mqueue"),      QStringLiteral("debugfs"),      QStringLiteral("tracefs"),
      QStringLiteral("securityfs"),  QStringLiteral("pstore"),       QStringLiteral("bpf"),
      QStringLiteral("configfs"),    QStringLiteral("fusectl"),      QStringLiteral("hugetlbfs"),
      QStringLiteral("autofs"),      QStringLiteral("binfmt_misc"),  QStringLiteral("efivarfs"),
      QStringLiteral("rpc_pipefs"),  QStringLiteral("nfsd"),         QStringLiteral("selinuxfs"),
      QStringLiteral("nsfs"),        QStringLiteral("fuse.portal"),
      // Container layers; the one that is "/" stays a drive (see IsDriveMount).
      QStringLiteral("overlay"),
  };
  return kPseudo.contains(fsType);
}

bool IsNetworkFileSystem(const QString& fsType) {
  static const QStringList kNetwork = {
      QStringLiteral("nfs"),          QStringLiteral("nfs4"),          QStringLiteral("cifs"),
      QStringLiteral("smb3"),         QStringLiteral("smbfs"),         QStringLiteral("ncpfs"),
      QStringLiteral("9p"),           QStringLiteral("afs"),           QStringLiteral("ceph"),
      QStringLiteral("glusterfs"),    QStringLiteral("lustre"),        QStringLiteral("davfs"),
      QStringLiteral("coda"),         QStringLiteral("sshfs"),         QStringLiteral("fuse.sshfs"),
      QStringLiteral("fuse.rclone"),  QStringLiteral("fuse.s3fs"),     QStringLiteral("fuse.gcsfuse"),
      QStringLiteral("fuse.glusterfs"), QStringLiteral("fuse.ceph-fuse"), QStringLiteral("fuse.curlftpfs"),
      QStringLiteral("fuse.smbnetfs"), QStringLiteral("fuse.gvfsd-fuse"),
  };
  return kNetwork.contains(fsType);
}

bool IsRamFileSystem(const QString& fsType) {
  return fsType == QLatin1String("tmpfs") || fsType == QLatin1String("ramfs");
}

// File systems whose names ignore letter case.
bool IsCaseInsensitiveFileSystem(const QString& fsType) {
  static const QStringList kCaseInsensitive = {
      QStringLiteral("vfat"), QStringLiteral("msdos"), QStringLiteral("exfat"),
      QStringLiteral("cifs"), QStringLiteral("smb3"),  QStringLiteral("smbfs"),
  };
  return kCaseInsensitive.contains(fsType);
}

template <typename Folder>
bool IsAtOrBelow(QStringView path, Folder folder) {
  return path.startsWith(folder) && (path.size() == folder.size() || path[folder.size()] == u'/');
}

// Mount points that belong to the system itself rather than to the user: the kernel's
// views (/proc, /sys, /dev), runtime state in memory under /run, and the packages of
// snap, each of which is mounted as a file system of its own.
bool IsSystemMountPoint(const MountEntry& mount) {
  for (const char* folder : {"/proc", "/sys", "/dev", "/snap"}) {
    if (IsAtOrBelow(mount.mountPoint, QLatin1String(folder))) {
      return true;
    }
  }
  return IsRamFileSystem(mount.fsType) && IsAtOrBelow(mount.mountPoint, QLatin1String("/run"));
}

bool IsDriveMount(const MountEntry& mount) {
  if (mount.mountPoint == QLatin1String("/")) {
    return true;
  }
  return !IsPseudoFileSystem(mount.fsType) && !IsSystemMountPoint(mount);
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes with each escape of a backslash and three characters replaced by the byte that
// `value` reads from those three (-1: no escape, the backslash stays). Written straight
// into the result: a table or name of many megabytes costs no library call per byte.
template <typename EscapeValue>
QByteArray Unescaped(QByteArrayView bytes, EscapeValue value) {
  QByteArray decoded(bytes.size(), Qt::Uninitialized);
  const char* const data = bytes.data();
  char* out = decoded.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const int escaped = data[i] == '\\' && i + 3 < bytes.size() ? value(data + i + 1) : -1;
    if (escaped >= 0) {
      *out++ = static_cast<char>(escaped);
      i += 3;
    } else {
      *out++ = data[i];
    }
  }
  decoded.truncate(out - decoded.constData());
  return decoded;
}

// Decodes the kernel's "\ooo" escapes; a backslash not followed by a valid one stays.
QByteArray UnescapeMountField(QByteArrayView field) {
  return Unescaped(field, [](const char* code) {
    const bool valid = code[0] >= '0' && code[0] <= '3' && IsOctalDigit(code[1]) && IsOctalDigit(code[2]);
    return valid ? (code[0] - '0') * 64 + (code[1] - '0') * 8 + (code[2] - '0') : -1;
  });
}

bool IsFieldSeparator(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The first three fields of a line (source, mount point, type) as views into it; the
// rest of the line is not needed. Fewer than three leave the line meaningless.
constexpr size_t kNeededFields = 3;
std::optional<std::array<QByteArrayView, kNeededFields>> FirstFields(QByteArrayView line) {
  std::array<QByteArrayView, kNeededFields> fields;
  const char* const data = line.data();
  qsizetype position = 0;
  for (QByteArrayView& field : fields) {
    while (position < line.size() && IsFieldSeparator(data[position])) {
      ++position;
    }
    const qsizetype start = position;
    while (position < line.size() && !IsFieldSeparator(data[position])) {
      ++position;
    }
    if (start == position) {
      return std::nullopt;
    }
    field = QByteArrayView(data + start, position - start);
  }
  return fields;
}

// The text of one field, decoded once for a run of lines that repeat it (most lines of a
// table share their source or type): the text is then shared, not copied.
// The views point into the table, which outlives the decoders.
class FieldDecoder {
 public:
  const QString& Decode(QByteArrayView field) {
    if (!decoded_ || field != raw_) {
      raw_ = field;
      if (field.contains('\\')) {
        DecodeUtf8Lossless(UnescapeMountField(field), text_);
      } else {
        DecodeUtf8Lossless(field, text_);
      }
      decoded_ = true;
    }
    return text_;
  }

 private:
  bool decoded_ = false;
  QByteArrayView raw_;
  QString text_;
};

struct LineDecoders {
  FieldDecoder source, mountPoint, type;
};

// Each line is read without copying it: a mount table of millions of lines costs no
// more than a few allocations for each line that differs from the one before.
std::optional<MountEntry> ParseMountLine(QByteArrayView line, LineDecoders& decoders) {
  const auto fields = FirstFields(line);
  if (!fields) {
    return std::nullopt;
  }
  const QString& mountPoint = decoders.mountPoint.Decode((*fields)[1]);
  if (!mountPoint.startsWith(QLatin1Char('/')) || mountPoint.contains(QChar(u'\0'))) {
    return std::nullopt;
  }
  return MountEntry{decoders.source.Decode((*fields)[0]), mountPoint, decoders.type.Decode((*fields)[2])};
}

QString CapitalizedLabel(const QString& label) {
  QString text = label.toLower();
  if (!text.isEmpty() && !text.front().isSurrogate()) {
    text.front() = text.front().toUpper();
  }
  return text;
}

QString DriveName(const DriveInfo& drive) {
  if (drive.type == DriveType::Network && !drive.remoteName.isEmpty()) {
    return drive.remoteName.toLower();
  }
  return CapitalizedLabel(drive.volumeLabel);
}

QString CanonicalDevice(const QString& device) {
  if (!device.startsWith(QLatin1Char('/')) || !NativePath(device)) {
    return QString();
  }
  return QFileInfo(device).canonicalFilePath();
}

QString ReadFirstLine(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return QString();
  }
  return QString::fromLatin1(file.readLine(64)).trimmed();
}

QHash<QString, QString> ReadLabelLinks(const QString& byLabelFolder) {
  QHash<QString, QString> labels;
  const QDir folder(byLabelFolder);
  for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
    const QString device = link.canonicalFilePath();
    if (!device.isEmpty()) {
      labels.insert(device, DecodeUdevLabel(QFile::encodeName(link.fileName())));
    }
  }
  return labels;
}

QByteArray ReadMountsFile() {
  QFile file(QStringLiteral("/proc/self/mounts"));
  if (!file.open(QIODevice::ReadOnly)) {
    return QByteArray();
  }
  return file.readAll();
}

// The last mount on each point, which hides the earlier ones; keyed and so sorted by
// mount point.
using VisibleMounts = std::map<QString, MountEntry>;

void MakeVisible(VisibleMounts& visible, MountEntry mount) {
  QString mountPoint = mount.mountPoint;
  visible.insert_or_assign(std::move(mountPoint), std::move(mount));
}

std::vector<MountEntry> DrivesAmong(const VisibleMounts& visible) {
  std::vector<MountEntry> drives;
  for (const auto& [mountPoint, mount] : visible) {
    if (IsDriveMount(mount)) {
      drives.push_back(mount);
    }
  }
  if (visible.count(QStringLiteral("/")) == 0) {
    drives.insert(drives.begin(), MountEntry{QString(), QStringLiteral("/"), QString()});
  }
  return drives;
}

std::vector<QString> SystemDriveRoots() {
  std::vector<QString> roots;
  for (const MountEntry& mount : DriveMounts(ReadMountsFile())) {
    roots.push_back(mount.mountPoint);
  }
  return roots;
}

QHash<QString, QString>& CurrentFolderByDrive() {
  static QHash<QString, QString> folders;
  return folders;
}

}  // namespace

SystemDeviceProbe::SystemDeviceProbe(QString devRoot, QString sysRoot)
    : sysRoot_(std::move(sysRoot)), labelsByDevice_(ReadLabelLinks(devRoot + QStringLiteral("/disk/by-label"))) {}

QString SystemDeviceProbe::VolumeLabel(const QString& device) const {
  const QString canonical = CanonicalDevice(device);
  return canonical.isEmpty() ? QString() : labelsByDevice_.value(canonical);
}

bool SystemDeviceProbe::IsRemovable(const QString& device) const {
  const QString disk = DiskSysFolder(device);
  return !disk.isEmpty() && ReadFirstLine(disk + QStringLiteral("/removable")) == QLatin1String("1");
}

bool SystemDeviceProbe::IsOptical(const QString& device) const {
  static const QRegularExpression kOpticalName(QStringLiteral("^sr[0-9]+$"));
  const QString canonical = CanonicalDevice(device);
  if (canonical.isEmpty()) {
    return false;
  }
  if (kOpticalName.match(QFileInfo(canonical).fileName()).hasMatch()) {
    return true;
  }
  // SCSI peripheral type 5 is a CD/DVD device, whatever the kernel named it.
  const QString disk = DiskSysFolder(device);
  return !disk.isEmpty() && ReadFirstLine(disk + QStringLiteral("/device/type")) == QLatin1String("5");
}

QString SystemDeviceProbe::DiskSysFolder(const QString& device) const {
  const QString canonical = CanonicalDevice(device);
  if (canonical.isEmpty()) {
    return QString();
  }
  const QString blockName = QFileInfo(canonical).fileName();
  const QString folder = QFileInfo(sysRoot_ + QStringLiteral("/class/block/") + blockName).canonicalFilePath();
  if (folder.isEmpty()) {
    return QString();
  }
  // A partition's folder sits inside its disk's folder, which carries the flags.
  return QFileInfo::exists(folder + QStringLiteral("/partition")) ? QFileInfo(folder).path() : folder;
}

// Calls take with each line of the table, without its line end.
template <typename Take>
void ForEachLine(const QByteArray& text, Take take) {
  const char* const end = text.constData() + text.size();
  for (const char* line = text.constData(); line < end;) {
    const void* newline = std::memchr(line, '\n', static_cast<size_t>(end - line));
    const char* const lineEnd = newline ? static_cast<const char*>(newline) : end;
    take(QByteArrayView(line, lineEnd));
    line = lineEnd + 1;
  }
}

void ForEachMount(const QByteArray& mountsText, const std::function<void(MountEntry)>& take) {
  LineDecoders decoders;
  ForEachLine(mountsText, [&](QByteArrayView line) {
    if (auto mount = ParseMountLine(line, decoders)) {
      take(std::move(*mount));
    }
  });
}

std::vector<MountEntry> ParseMounts(const QByteArray& mountsText) {
  std::vector<MountEntry> mounts;
  ForEachMount(mountsText, [&mounts](MountEntry mount) { mounts.push_back(std::move(mount)); });
  return mounts;
}

QString DecodeUdevLabel(const QByteArray& linkName) {
  return QString::fromUtf8(Unescaped(linkName, [](const char* code) {
    const bool valid = code[0] == 'x' && HexValue(code[1]) >= 0 && HexValue(code[2]) >= 0;
    return valid ? HexValue(code[1]) * 16 + HexValue(code[2]) : -1;
  }));
}

std::vector<MountEntry> DriveMounts(const QByteArray& mountsText) {
  // The last line of each mount point as the table spells it: a table of millions of
  // lines then costs a lookup per line, and only its distinct points are decoded.
  struct HashBytes {
    size_t operator()(QByteArrayView bytes) const { return qHash(bytes); }
  };
  std::unordered_map<QByteArrayView, QByteArrayView, HashBytes> lastLineOfPoint;
  ForEachLine(mountsText, [&](QByteArrayView line) {
    if (const auto fields = FirstFields(line)) {
      lastLineOfPoint.insert_or_assign((*fields)[1], line);
    }
  });
  std::vector<std::pair<QByteArrayView, QByteArrayView>> lines(lastLineOfPoint.begin(), lastLineOfPoint.end());
  // In table order, so that of two spellings of one point (an escape or not) the later wins.
  std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.second.data() < b.second.data(); });
  VisibleMounts visible;
  LineDecoders decoders;
  for (const auto& [point, line] : lines) {
    if (auto mount = ParseMountLine(line, decoders)) {
      MakeVisible(visible, std::move(*mount));
    }
  }
  return DrivesAmong(visible);
}

DriveType ClassifyMount(const MountEntry& mount, const DeviceProbe& probe) {
  if (IsNetworkFileSystem(mount.fsType)) {
    return DriveType::Network;
  }
  if (IsRamFileSystem(mount.fsType)) {
    return DriveType::RAMDisk;
  }
  if (mount.fsType == QLatin1String("iso9660") || probe.IsOptical(mount.source)) {
    return DriveType::CDROM;
  }
  return probe.IsRemovable(mount.source) ? DriveType::Removable : DriveType::Fixed;
}

std::vector<DriveInfo> DrivesFromMounts(const QByteArray& mountsText, const DeviceProbe& probe) {
  std::vector<DriveInfo> drives;
  for (const MountEntry& mount : DriveMounts(mountsText)) {
    DriveInfo drive;
    drive.root = mount.mountPoint;
    drive.type = ClassifyMount(mount, probe);
    drive.fsType = mount.fsType;
    drive.volumeLabel = probe.VolumeLabel(mount.source);
    drive.remoteName = drive.type == DriveType::Network ? mount.source : QString();
    drive.caseSensitive = !IsCaseInsensitiveFileSystem(mount.fsType);
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::vector<DriveInfo> GetDrives() { return DrivesFromMounts(ReadMountsFile(), SystemDeviceProbe()); }

QString DriveItemText(const DriveInfo& drive) {
  if (drive.type == DriveType::Removable) {
    return drive.root + QLatin1Char(':');
  }
  return QStringLiteral("%1: %2").arg(drive.root, DriveName(drive));
}

QString DriveRootOf(const QString& path, const std::vector<QString>& roots) {
  QString best;
  for (const QString& root : roots) {
    const bool holds = root == QLatin1String("/") ? path.startsWith(QLatin1Char('/')) : IsAtOrBelow(path, QStringView(root));
    if (holds && root.size() > best.size()) {
      best = root;
    }
  }
  return best;
}

QString DriveRootOf(const QString& path) { return DriveRootOf(path, SystemDriveRoots()); }

QString DriveCurrentFolder(const QString& root) { return CurrentFolderByDrive().value(root, root); }

void NoteCurrentFolder(const QString& folder) {
  const QString root = DriveRootOf(folder);
  if (!root.isEmpty()) {
    CurrentFolderByDrive().insert(root, folder);
  }
}

void SetCurrentDir(const QString& path) {
  EnterFolder(path);
  NoteCurrentFolder(GetCurrentDir());
}

}  // namespace platform
