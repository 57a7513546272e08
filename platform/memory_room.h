#pragma once
// How much memory the system will really give this process now. Asking for more than that
// does not fail: the allocation succeeds, and the kernel kills the process when the pages
// are touched, without a message and before the settings are saved. So a large bitmap is
// compared with this first and refused as an ordinary shortage of memory.

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

// The "MemAvailable:" line of /proc/meminfo, in bytes.
std::optional<int64_t> MemAvailableFromMeminfo(QByteArrayView meminfo);

// The room left under a control group's limit: limit less usage, 0 when over it. Nothing
// when there is no limit ("max", or a v1 limit beyond any real memory) or a value is not
// a number.
std::optional<int64_t> CgroupRoom(QByteArrayView limit, QByteArrayView usage);

// The folders, below the control-group mount, of this process's group and of each group
// above it, from /proc/self/cgroup: for the unified hierarchy (v2) the "0::" line, for
// the older one (v1) the line of the memory controller.
struct CgroupPaths {
  QString unified;  // empty when there is none
  QString memory;   // empty when there is none
};
CgroupPaths CgroupPathsFromProcSelf(QByteArrayView procSelfCgroup);

// Bytes this process can still be given: the smaller of the system's available memory
// and the room under each memory limit of its control group and the groups above it.
// Nothing when neither is known. The folders are parameters for tests.
std::optional<int64_t> AvailableMemoryBytes(const QString& procRoot = QStringLiteral("/proc"),
                                            const QString& cgroupRoot = QStringLiteral("/sys/fs/cgroup"));

// What the program goes by: AvailableMemoryBytes() of this system, unless a test has set
// a figure of its own.
std::optional<int64_t> MemoryRoomNow();

// Makes MemoryRoomNow() give `bytes` (nullopt: the system's figure again). Only tests
// call this.
void SetMemoryRoomForTesting(std::optional<int64_t> bytes);

}  // namespace platform
