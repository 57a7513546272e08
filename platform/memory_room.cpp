#include "platform/memory_room.h"

#include <QFile>

#include <algorithm>

namespace platform {
namespace {

std::optional<int64_t> roomForTesting;
bool roomSetForTesting = false;

// A v1 group without a limit reports the largest page-aligned 63-bit number.
constexpr int64_t kNoRealLimit = int64_t{1} << 60;

std::optional<int64_t> Number(QByteArrayView text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  return ok && value >= 0 ? std::optional<int64_t>(value) : std::nullopt;
}

QByteArray ReadSmallFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
}

// The smallest room under the limits of the group at `path` and the groups above it.
std::optional<int64_t> RoomAlong(const QString& mount, QString path, const char* limitFile, const char* usageFile) {
  std::optional<int64_t> room;
  while (true) {
    const QString folder = mount + path;
    const std::optional<int64_t> here =
        CgroupRoom(ReadSmallFile(folder + u'/' + QLatin1String(limitFile)), ReadSmallFile(folder + u'/' + QLatin1String(usageFile)));
    if (here && (!room || *here < *room)) room = here;
    if (path.isEmpty() || path == QLatin1String("/")) return room;
    path.truncate(std::max<qsizetype>(0, path.lastIndexOf(u'/')));
  }
}

}  // namespace

std::optional<int64_t> MemAvailableFromMeminfo(QByteArrayView meminfo) {
  constexpr QByteArrayView kKey("MemAvailable:");
  for (qsizetype start = 0; start < meminfo.size();) {
    qsizetype end = meminfo.indexOf('\n', start);
    if (end < 0) end = meminfo.size();
    const QByteArrayView line = meminfo.sliced(start, end - start);
    if (line.startsWith(kKey)) {
      QByteArrayView value = line.sliced(kKey.size()).trimmed();
      const bool kilobytes = value.endsWith("kB");
      if (kilobytes) value.chop(2);
      const std::optional<int64_t> number = Number(value);
      if (!number || (kilobytes && *number > kNoRealLimit / 1024)) return std::nullopt;
      return kilobytes ? *number * 1024 : *number;
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<int64_t> CgroupRoom(QByteArrayView limit, QByteArrayView usage) {
  const std::optional<int64_t> max = Number(limit);
  const std::optional<int64_t> used = Number(usage);
  if (!max || !used || *max >= kNoRealLimit) return std::nullopt;
  return std::max<int64_t>(0, *max - *used);
}

CgroupPaths CgroupPathsFromProcSelf(QByteArrayView procSelfCgroup) {
  CgroupPaths paths;
  for (const QByteArrayView line : QByteArray(procSelfCgroup.toByteArray()).split('\n')) {
    const qsizetype first = line.indexOf(':');
    const qsizetype second = first < 0 ? -1 : line.indexOf(':', first + 1);
    if (second < 0) continue;
    const QByteArrayView controllers = line.sliced(first + 1, second - first - 1);
    const QString path = QString::fromUtf8(line.sliced(second + 1));
    if (!path.startsWith(u'/') || path.contains(QLatin1String("/.."))) continue;
    if (line.first(first) == "0" && controllers.isEmpty()) paths.unified = path;
    for (const QByteArray& controller : controllers.toByteArray().split(',')) {
      if (controller == "memory") paths.memory = path;
    }
  }
  return paths;
}

std::optional<int64_t> AvailableMemoryBytes(const QString& procRoot, const QString& cgroupRoot) {
  std::optional<int64_t> room = MemAvailableFromMeminfo(ReadSmallFile(procRoot + QStringLiteral("/meminfo")));
  const auto take = [&room](std::optional<int64_t> other) {
    if (other && (!room || *other < *room)) room = other;
  };
  const CgroupPaths paths = CgroupPathsFromProcSelf(ReadSmallFile(procRoot + QStringLiteral("/self/cgroup")));
  if (!paths.unified.isEmpty()) {
    // The unified hierarchy is mounted on the root itself, or beside the v1 ones.
    for (const QString& mount : {cgroupRoot, cgroupRoot + QStringLiteral("/unified")}) {
      take(RoomAlong(mount, paths.unified, "memory.max", "memory.current"));
    }
  }
  if (!paths.memory.isEmpty()) {
    take(RoomAlong(cgroupRoot + QStringLiteral("/memory"), paths.memory, "memory.limit_in_bytes", "memory.usage_in_bytes"));
  }
  return room;
}

std::optional<int64_t> MemoryRoomNow() { return roomSetForTesting ? roomForTesting : AvailableMemoryBytes(); }

void SetMemoryRoomForTesting(std::optional<int64_t> bytes) {
  roomSetForTesting = bytes.has_value();
  roomForTesting = bytes;
}

}  // namespace platform
