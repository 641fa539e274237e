// The clock granule of real file systems, and the rule that trusts a stat only once a change
// after it must give other times.
#include "fs/host/stamp_clock.h"

#include <gtest/gtest.h>

#include "support/loop_mount.h"

namespace vortena {
namespace {

struct Disk {
  const char* name;
  const char* format;      // as LoopMount takes it
  std::int64_t granule;    // expected; 0: a tick of the coarse clock, under 50 ms
};
void PrintTo(const Disk& d, std::ostream* os) { *os << d.name; }

class StampClockTest : public ::testing::TestWithParam<Disk> {};

TEST_P(StampClockTest, StatSettlesOneGranuleAfterTheLastChange) {
  const Disk& disk = GetParam();
  testing::LoopMount mount(disk.format, 16);
  SKIP_UNLESS_MOUNTED(mount);
  const std::string file = (mount.path() / "photo.jpg").string();
  testing::writeFile(file, "photo");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  const std::int64_t granule = timeGranule(file, st);
  if (disk.granule)
    EXPECT_EQ(granule, disk.granule);
  else
    EXPECT_TRUE(granule > 0 && granule < 50000000) << granule;
  const std::int64_t last = std::max(nanoseconds(st.st_mtim), nanoseconds(st.st_ctim));
  const auto at = [](std::int64_t ns) {
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
  };
  EXPECT_FALSE(stampSettled(file, st, stampClockNow()));
  EXPECT_FALSE(stampSettled(file, st, at(last + granule - 1)));
  EXPECT_TRUE(stampSettled(file, st, at(last + granule)));
}

INSTANTIATE_TEST_SUITE_P(
    Disks, StampClockTest,
    ::testing::Values(Disk{"ext4_small_inodes", "mkfs.ext4 -q -I 128", 1000000000},
                      Disk{"fat", "mkfs.vfat", 2000000000}, Disk{"tmpfs", "tmpfs", 0},
                      Disk{"ext4", "mkfs.ext4 -q -I 256", 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vortena
