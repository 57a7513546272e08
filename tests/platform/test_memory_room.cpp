// The memory the system will still give: the figures of /proc/meminfo and of the control
// groups' limits, read from made-up folders.
#include "platform/memory_room.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::AvailableMemoryBytes;

constexpr int64_t kMiB = 1024 * 1024;

TEST(MemoryRoom, ParsesTheSystemsFigures) {
  EXPECT_EQ(platform::MemAvailableFromMeminfo("MemTotal: 4 kB\nMemAvailable:   2048 kB\n"), 2048 * 1024);
  EXPECT_EQ(platform::MemAvailableFromMeminfo("MemTotal: 4 kB\n"), std::nullopt);
  EXPECT_EQ(platform::MemAvailableFromMeminfo("MemAvailable: x kB\n"), std::nullopt);
  EXPECT_EQ(platform::CgroupRoom("1073741824\n", "73741824\n"), 1000000000);
  EXPECT_EQ(platform::CgroupRoom("100\n", "200\n"), 0) << "over the limit: no room";
  EXPECT_EQ(platform::CgroupRoom("max\n", "200\n"), std::nullopt);
  EXPECT_EQ(platform::CgroupRoom("9223372036854771712\n", "200\n"), std::nullopt) << "v1 without a limit";
  const platform::CgroupPaths paths =
      platform::CgroupPathsFromProcSelf("4:memory:/box/a\n3:cpu,cpuacct:/\n0::/user.slice/app.scope\n");
  EXPECT_EQ(paths.unified, "/user.slice/app.scope");
  EXPECT_EQ(paths.memory, "/box/a");
}

class MemoryRoomFolders : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void Put(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(dir_.filePath(path)).path()));
    WriteBytes(dir_.filePath(path), bytes);
  }
  std::optional<int64_t> Available() { return AvailableMemoryBytes(dir_.filePath("proc"), dir_.filePath("cg")); }
  QTemporaryDir dir_;
};

TEST_F(MemoryRoomFolders, TheSmallestRoomOfSystemAndEveryGroupAboveCounts) {
  Put("proc/meminfo", "MemAvailable: 4194304 kB\n");  // 4 GiB
  Put("proc/self/cgroup", "0::/user.slice/app.scope\n");
  EXPECT_EQ(Available(), 4096 * kMiB) << "no group files: the system's figure";
  Put("cg/user.slice/app.scope/memory.max", "max\n");
  Put("cg/user.slice/app.scope/memory.current", "1\n");
  Put("cg/user.slice/memory.max", QByteArray::number(1024 * kMiB));
  Put("cg/user.slice/memory.current", QByteArray::number(300 * kMiB));
  EXPECT_EQ(Available(), 724 * kMiB) << "the limit of the group above";
  Put("cg/user.slice/app.scope/memory.max", QByteArray::number(600 * kMiB));
  Put("cg/user.slice/app.scope/memory.current", QByteArray::number(100 * kMiB));
  EXPECT_EQ(Available(), 500 * kMiB) << "the group's own, smaller room";
}

TEST_F(MemoryRoomFolders, OlderHierarchyAndUnifiedBesideItAreRead) {
  Put("proc/self/cgroup", "4:memory:/box\n0::/\n");
  Put("cg/memory/box/memory.limit_in_bytes", QByteArray::number(512 * kMiB));
  Put("cg/memory/box/memory.usage_in_bytes", QByteArray::number(12 * kMiB));
  EXPECT_EQ(Available(), 500 * kMiB) << "no meminfo: the group's figure alone";
  Put("proc/self/cgroup", "0::/s\n");
  Put("cg/unified/s/memory.max", QByteArray::number(64 * kMiB));
  Put("cg/unified/s/memory.current", QByteArray::number(0));
  EXPECT_EQ(Available(), 64 * kMiB);
  Put("proc/self/cgroup", "");
  EXPECT_EQ(Available(), std::nullopt) << "nothing known";
}

}  // namespace
