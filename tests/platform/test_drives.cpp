#include "platform/drives.h"
#include "platform/lossless_utf8.h"

#include "platform/file_system.h"

#include "current_dir_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

// Device facts for tests, keyed by the device as the mount table names it.
class FakeProbe : public DeviceProbe {
 public:
  QHash<QString, QString> labels;
  QSet<QString> removable;
  QSet<QString> optical;

  QString VolumeLabel(const QString& device) const override { return labels.value(device); }
  bool IsRemovable(const QString& device) const override { return removable.contains(device); }
  bool IsOptical(const QString& device) const override { return optical.contains(device); }
};

QStringList MountPoints(const std::vector<MountEntry>& mounts) {
  QStringList points;
  for (const MountEntry& mount : mounts) {
    points.append(mount.mountPoint);
  }
  return points;
}

TEST(ParseMounts, DecodesOctalEscapes) {
  const auto mounts = ParseMounts(
      "/dev/sdb1 /media/my\\040stick vfat rw 0 0\n"
      "/dev/sdc1 /mnt/tab\\011and\\012newline ext4 rw 0 0\n"
      "//srv/a\\134b /mnt/back\\134slash cifs rw 0 0\n");
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].mountPoint, QStringLiteral("/media/my stick"));
  EXPECT_EQ(mounts[0].source, QStringLiteral("/dev/sdb1"));
  EXPECT_EQ(mounts[0].fsType, QStringLiteral("vfat"));
  EXPECT_EQ(mounts[1].mountPoint, QStringLiteral("/mnt/tab\tand\nnewline"));
  EXPECT_EQ(mounts[2].source, QStringLiteral("//srv/a\\b"));
  EXPECT_EQ(mounts[2].mountPoint, QStringLiteral("/mnt/back\\slash"));
}

TEST(ParseMounts, KeepsBackslashesThatAreNoEscape) {
  const auto mounts = ParseMounts("a /x\\y\\400\\12\\ z 0 0\n");
  ASSERT_EQ(mounts.size(), 1u);
  EXPECT_EQ(mounts[0].mountPoint, QStringLiteral("/x\\y\\400\\12\\"));
}

TEST(ParseMounts, UsesUtf8Names) {
  const auto mounts = ParseMounts("/dev/sdb1 /media/Fotos\xC3\xA4 vfat rw 0 0");
  ASSERT_EQ(mounts.size(), 1u);
  EXPECT_EQ(mounts[0].mountPoint, QString::fromUtf8("/media/Fotos\xC3\xA4"));
}

// A Latin-1 mount point (an old stick's label) keeps its bytes, so the drive can be
// entered; lines that repeat a field share its text and still read as their own.
TEST(ParseMounts, KeepsBytesThatAreNotUtf8AndReadsRepeatedFieldsAlike) {
  const auto mounts = ParseMounts(
      "/dev/sdb1 /media/Fotos\xE4 vfat rw 0 0\n"
      "/dev/sdb1 /media/a\\040b vfat rw 0 0\n"
      "/dev/sdb1 /media/a\\040b ext4 rw 0 0\n"
      "/dev/sdc1 /media/a\\040b ext4 rw 0 0\n"
      "/dev/sdc1 /media/Fotos\xE4 ext4 rw 0 0\n");
  ASSERT_EQ(mounts.size(), 5u);
  EXPECT_EQ(EncodeUtf8Lossless(mounts[0].mountPoint), QByteArray("/media/Fotos\xE4"));
  const QString blank = QStringLiteral("/media/a b");
  EXPECT_EQ(MountPoints(mounts), QStringList({mounts[0].mountPoint, blank, blank, blank, mounts[0].mountPoint}));
  EXPECT_EQ(mounts[1].fsType, QStringLiteral("vfat"));
  EXPECT_EQ(mounts[2].fsType, QStringLiteral("ext4"));
  EXPECT_EQ(mounts[3].source, QStringLiteral("/dev/sdc1"));
  EXPECT_EQ(mounts[4].source, QStringLiteral("/dev/sdc1"));
}

TEST(ParseMounts, DropsMalformedLines) {
  const auto mounts = ParseMounts(
      "\n"
      "   \n"
      "only-two /fields\n"
      "dev relative/point ext4 rw 0 0\n"
      "dev /nul\\000inside ext4 rw 0 0\n"
      "dev\t/tabs\text4\trw 0 0\r\n"
      "dev  /many   ext4");
  EXPECT_EQ(MountPoints(mounts), QStringList({QStringLiteral("/tabs"), QStringLiteral("/many")}));
  EXPECT_EQ(mounts[0].fsType, QStringLiteral("ext4"));
}

TEST(DriveMounts, SkipsPseudoAndSystemMounts) {
  const auto drives = DriveMounts(
      "proc /proc proc rw 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
      "devtmpfs /dev devtmpfs rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "devpts /dev/pts devpts rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "tmpfs /run tmpfs rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\n"
      "/dev/sdb1 /run/media/u/STICK vfat rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
      "/dev/loop3 /snap/core/42 squashfs ro 0 0\n"
      "systemd-1 /boot/efi autofs rw 0 0\n"
      "binfmt_misc /proc/sys/fs/binfmt_misc binfmt_misc rw 0 0\n"
      "server:/export /mnt/nfs nfs4 rw 0 0\n");
  EXPECT_EQ(MountPoints(drives), QStringList({QStringLiteral("/"), QStringLiteral("/mnt/nfs"),
                                              QStringLiteral("/run/media/u/STICK"), QStringLiteral("/tmp")}));
}

TEST(DriveMounts, ContainerOverlayRootIsADrive) {
  const auto drives = DriveMounts("overlay / overlay rw 0 0\nproc /proc proc rw 0 0\n");
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].mountPoint, QStringLiteral("/"));
}

TEST(DriveMounts, RootIsAlwaysADrive) {
  for (const QByteArray& table : {QByteArray(), QByteArray("proc /proc proc rw 0 0\n/dev/sdb1 /data ext4 rw 0 0\n")}) {
    const auto drives = DriveMounts(table);
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].mountPoint, QStringLiteral("/"));
  }
}

TEST(DriveMounts, LastMountOnAPointHidesEarlierOnes) {
  const auto drives = DriveMounts(
      "/dev/sda1 / ext4 rw 0 0\n"
      "systemd-1 /boot/efi autofs rw 0 0\n"
      "/dev/sda2 /boot/efi vfat rw 0 0\n"
      "/dev/sdb1 /data ext4 rw 0 0\n"
      "tmpfs /data tmpfs rw 0 0\n");
  ASSERT_EQ(MountPoints(drives), QStringList({QStringLiteral("/"), QStringLiteral("/boot/efi"), QStringLiteral("/data")}));
  EXPECT_EQ(drives[1].fsType, QStringLiteral("vfat"));
  EXPECT_EQ(drives[2].fsType, QStringLiteral("tmpfs"));
}

struct ClassifyCase {
  const char* fsType;
  const char* source;
  DriveType expected;
};

void PrintTo(const ClassifyCase& c, std::ostream* os) { *os << c.fsType << " on " << c.source; }

class Classify : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(Classify, TypeFromFileSystemAndDevice) {
  FakeProbe probe;
  probe.removable = {QStringLiteral("/dev/sdb1"), QStringLiteral("/dev/sr0")};
  probe.optical = {QStringLiteral("/dev/sr0")};
  const MountEntry mount{QString::fromUtf8(GetParam().source), QStringLiteral("/mnt/x"), QString::fromUtf8(GetParam().fsType)};
  EXPECT_EQ(ClassifyMount(mount, probe), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Classify,
    ::testing::Values(ClassifyCase{"nfs", "server:/export", DriveType::Network},
                      ClassifyCase{"nfs4", "server:/export", DriveType::Network},
                      ClassifyCase{"cifs", "//server/share", DriveType::Network},
                      ClassifyCase{"smb3", "//server/share", DriveType::Network},
                      ClassifyCase{"fuse.sshfs", "me@host:/photos", DriveType::Network},
                      ClassifyCase{"tmpfs", "tmpfs", DriveType::RAMDisk},
                      ClassifyCase{"ramfs", "none", DriveType::RAMDisk},
                      ClassifyCase{"iso9660", "/dev/loop0", DriveType::CDROM},
                      ClassifyCase{"udf", "/dev/sr0", DriveType::CDROM},
                      ClassifyCase{"iso9660", "/dev/sr0", DriveType::CDROM},
                      ClassifyCase{"udf", "/dev/sda3", DriveType::Fixed},
                      ClassifyCase{"vfat", "/dev/sdb1", DriveType::Removable},
                      ClassifyCase{"ext4", "/dev/sda1", DriveType::Fixed},
                      ClassifyCase{"fuse.bindfs", "/home/me/x", DriveType::Fixed},
                      ClassifyCase{"overlay", "overlay", DriveType::Fixed}));

struct ItemTextCase {
  DriveType type;
  const char* root;
  const char* label;
  const char* remote;
  const char* expected;
};

void PrintTo(const ItemTextCase& c, std::ostream* os) { *os << c.expected; }

class ItemText : public ::testing::TestWithParam<ItemTextCase> {};

TEST_P(ItemText, FollowsTheDriveSelectorFormat) {
  DriveInfo drive;
  drive.type = GetParam().type;
  drive.root = QString::fromUtf8(GetParam().root);
  drive.volumeLabel = QString::fromUtf8(GetParam().label);
  drive.remoteName = QString::fromUtf8(GetParam().remote);
  EXPECT_EQ(DriveItemText(drive), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ItemText,
    ::testing::Values(ItemTextCase{DriveType::Fixed, "/mnt/data", "DATA DISK", "", "/mnt/data: Data disk"},
                      ItemTextCase{DriveType::Fixed, "/", "", "", "/: "},
                      ItemTextCase{DriveType::CDROM, "/media/cd", "PHOTOS_2001", "", "/media/cd: Photos_2001"},
                      ItemTextCase{DriveType::RAMDisk, "/tmp", "", "", "/tmp: "},
                      ItemTextCase{DriveType::Fixed, "/m", "\xC3\x84RGER", "", "/m: \xC3\x84rger"},
                      ItemTextCase{DriveType::Network, "/mnt/net", "IGNORED", "//Server/Share", "/mnt/net: //server/share"},
                      ItemTextCase{DriveType::Network, "/mnt/net", "NAS", "", "/mnt/net: Nas"},
                      ItemTextCase{DriveType::Removable, "/media/stick", "STICK", "", "/media/stick:"},
                      // a "%2" in a mount point is text, not a placeholder
                      ItemTextCase{DriveType::Fixed, "/mnt/100%2", "LABEL", "", "/mnt/100%2: Label"}));

TEST(DrivesFromMounts, FillsLabelRemoteNameAndCaseFlag) {
  FakeProbe probe;
  probe.labels = {{QStringLiteral("/dev/sda1"), QStringLiteral("SYSTEM")}, {QStringLiteral("/dev/sdb1"), QStringLiteral("STICK")}};
  probe.removable = {QStringLiteral("/dev/sdb1")};
  const auto drives = DrivesFromMounts(
      "/dev/sda1 / ext4 rw 0 0\n"
      "/dev/sdb1 /media/stick vfat rw 0 0\n"
      "//nas/Bilder /mnt/nas cifs rw 0 0\n",
      probe);
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].volumeLabel, QStringLiteral("SYSTEM"));
  EXPECT_TRUE(drives[0].caseSensitive);
  EXPECT_EQ(drives[1].root, QStringLiteral("/media/stick"));
  EXPECT_EQ(drives[1].type, DriveType::Removable);
  EXPECT_FALSE(drives[1].caseSensitive);
  EXPECT_EQ(drives[2].type, DriveType::Network);
  EXPECT_EQ(drives[2].remoteName, QStringLiteral("//nas/Bilder"));
  EXPECT_TRUE(drives[0].remoteName.isEmpty());
}

struct LabelCase {
  const char* linkName;
  const char* label;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.linkName; }

class UdevLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(UdevLabel, Decodes) {
  EXPECT_EQ(DecodeUdevLabel(GetParam().linkName), QString::fromUtf8(GetParam().label));
}

INSTANTIATE_TEST_SUITE_P(Table, UdevLabel,
                         ::testing::Values(LabelCase{"MY\\x20DISK", "MY DISK"}, LabelCase{"a\\x2fb", "a/b"},
                                           LabelCase{"Fotos\\xc3\\xA4", "Fotos\xC3\xA4"},
                                           LabelCase{"Fotos\xC3\xA4", "Fotos\xC3\xA4"}, LabelCase{"end\\x2", "end\\x2"},
                                           LabelCase{"bad\\xzz", "bad\\xzz"}, LabelCase{"\\\\x41", "\\A"},
                                           LabelCase{"", ""}));

TEST(DriveRootOf, LongestMountPointThatHoldsThePath) {
  const std::vector<QString> roots = {QStringLiteral("/"), QStringLiteral("/media/a"), QStringLiteral("/media/a b"),
                                      QStringLiteral("/mnt")};
  EXPECT_EQ(DriveRootOf(QStringLiteral("/media/a/x/y"), roots), QStringLiteral("/media/a"));
  EXPECT_EQ(DriveRootOf(QStringLiteral("/media/a"), roots), QStringLiteral("/media/a"));
  EXPECT_EQ(DriveRootOf(QStringLiteral("/media/a b/c"), roots), QStringLiteral("/media/a b"));
  EXPECT_EQ(DriveRootOf(QStringLiteral("/media/ab"), roots), QStringLiteral("/"));
  EXPECT_EQ(DriveRootOf(QStringLiteral("/"), roots), QStringLiteral("/"));
  EXPECT_EQ(DriveRootOf(QStringLiteral("relative/x"), roots), QString());
}

// A fake /dev and /sys: a USB stick with a labelled partition, a fixed disk, a CD drive
// named like a disk but of SCSI type 5.
class SystemProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = QFileInfo(dir_.path()).canonicalFilePath();
    for (const char* device : {"dev/sdb1", "dev/sda1", "dev/sdc"}) {
      Write(QString::fromLatin1(device), "");
    }
    Link(QStringLiteral("../../sdb1"), QStringLiteral("dev/disk/by-label/MY\\x20STICK"));
    Link(QStringLiteral("../../sda1"), QStringLiteral("dev/disk/by-label/SYSTEM"));
    Link(QStringLiteral("../../missing"), QStringLiteral("dev/disk/by-label/BROKEN"));
    Write(QStringLiteral("sys/devices/usb/block/sdb/removable"), "1\n");
    Write(QStringLiteral("sys/devices/usb/block/sdb/sdb1/partition"), "1\n");
    Write(QStringLiteral("sys/devices/ata/block/sda/removable"), "0\n");
    Write(QStringLiteral("sys/devices/ata/block/sda/sda1/partition"), "1\n");
    Write(QStringLiteral("sys/devices/ata/block/sdc/device/type"), "5\n");
    Link(QStringLiteral("../../devices/usb/block/sdb/sdb1"), QStringLiteral("sys/class/block/sdb1"));
    Link(QStringLiteral("../../devices/ata/block/sda/sda1"), QStringLiteral("sys/class/block/sda1"));
    Link(QStringLiteral("../../devices/ata/block/sdc"), QStringLiteral("sys/class/block/sdc"));
  }

  void Write(const QString& relative, const QByteArray& content) {
    const QString path = root_ + QLatin1Char('/') + relative;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  void Link(const QString& target, const QString& relative) {
    const QString path = root_ + QLatin1Char('/') + relative;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_TRUE(QFile::link(target, path));
  }

  QString Device(const char* name) const { return root_ + QStringLiteral("/dev/") + QLatin1String(name); }

  SystemDeviceProbe Probe() const { return SystemDeviceProbe(root_ + QStringLiteral("/dev"), root_ + QStringLiteral("/sys")); }

  QTemporaryDir dir_;
  QString root_;
};

TEST_F(SystemProbeTest, LabelsFromUdevLinks) {
  const SystemDeviceProbe probe = Probe();
  EXPECT_EQ(probe.VolumeLabel(Device("sdb1")), QStringLiteral("MY STICK"));
  EXPECT_EQ(probe.VolumeLabel(Device("sda1")), QStringLiteral("SYSTEM"));
  EXPECT_EQ(probe.VolumeLabel(Device("sdc")), QString());
  EXPECT_EQ(probe.VolumeLabel(QStringLiteral("tmpfs")), QString());
}

TEST_F(SystemProbeTest, LabelFoundThroughAnotherNameOfTheDevice) {
  Link(Device("sdb1"), QStringLiteral("dev/disk/by-uuid/1234-ABCD"));
  EXPECT_EQ(Probe().VolumeLabel(root_ + QStringLiteral("/dev/disk/by-uuid/1234-ABCD")), QStringLiteral("MY STICK"));
}

TEST_F(SystemProbeTest, RemovableFlagOfThePartitionsDisk) {
  const SystemDeviceProbe probe = Probe();
  EXPECT_TRUE(probe.IsRemovable(Device("sdb1")));
  EXPECT_FALSE(probe.IsRemovable(Device("sda1")));
  EXPECT_FALSE(probe.IsRemovable(QStringLiteral("server:/export")));
  EXPECT_FALSE(probe.IsRemovable(Device("missing")));
}

TEST_F(SystemProbeTest, OpticalByNameOrDeviceType) {
  Write(QStringLiteral("dev/sr0"), "");
  const SystemDeviceProbe probe = Probe();
  EXPECT_TRUE(probe.IsOptical(Device("sr0")));
  EXPECT_TRUE(probe.IsOptical(Device("sdc")));
  EXPECT_FALSE(probe.IsOptical(Device("sdb1")));
}

TEST(SystemDrives, RootIsAmongThem) {
  const auto drives = GetDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [](const DriveInfo& d) { return d.root == QLatin1String("/"); }));
  EXPECT_FALSE(std::any_of(drives.begin(), drives.end(), [](const DriveInfo& d) { return d.root == QLatin1String("/proc"); }));
}

TEST(DriveCurrentFolder, RootUntilEnteredThenLastFolderEntered) {
  const CurrentDirGuard guard;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = QFileInfo(dir.path()).canonicalFilePath();
  EXPECT_EQ(DriveCurrentFolder(QStringLiteral("/never/entered")), QStringLiteral("/never/entered"));
  SetCurrentDir(folder);
  EXPECT_EQ(DriveCurrentFolder(DriveRootOf(folder)), folder);
}

}  // namespace
