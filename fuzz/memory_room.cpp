// Feeds arbitrary bytes to the readers of the system's memory figures as /proc/meminfo,
// /proc/self/cgroup and a control group's limit and usage files, and checks that a room
// is never negative and that group paths are absolute.
#include "platform/memory_room.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::optional<int64_t> available = platform::MemAvailableFromMeminfo(text);
  const qsizetype half = text.size() / 2;
  const std::optional<int64_t> room = platform::CgroupRoom(text.first(half), text.sliced(half));
  const platform::CgroupPaths paths = platform::CgroupPathsFromProcSelf(text);
  if ((available && *available < 0) || (room && *room < 0) ||
      (!paths.unified.isEmpty() && !paths.unified.startsWith(u'/')) ||
      (!paths.memory.isEmpty() && !paths.memory.startsWith(u'/'))) {
    std::abort();
  }
  return 0;
}
