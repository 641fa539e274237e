#include "fs/host/stamp_clock.h"

#include <sys/vfs.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace vortena {
namespace {

constexpr std::int64_t kSecond = 1000000000;

// File-system types (statfs f_type) whose granule the type tells.
constexpr long kFat = 0x4d44;
constexpr long kExFat = 0x2011BAB0;
constexpr long kExt = 0xEF53;  // ext2, ext3 and ext4 alike
constexpr long kOtherClocks[] = {
    0x6969,                 // NFS
    0x517B,                 // SMB
    0xFF534D42,             // CIFS
    0xFE534D42,             // SMB2
    0x65735546,             // FUSE (sshfs, and user-space drivers of every kind)
    0x01021997,             // 9P
    0x00C36400,             // Ceph
    0x5346414F,             // AFS
    0x73757245,             // Coda
};

std::int64_t coarseTick() {
  static const std::int64_t tick = [] {
    timespec step{};
    clock_getres(CLOCK_REALTIME_COARSE, &step);
    return std::max<std::int64_t>(1, nanoseconds(step));
  }();
  return tick;
}

// The type of the file system of device `device`, by a statfs of `host` on it. A build stamps
// thousands of entries of one disk in a row: the type of the last device asked is kept for a
// second (a device number is given to another file system only once its own is unmounted).
long fileSystemType(const std::string& host, dev_t device) {
  struct Known {
    dev_t device = 0;
    long type = 0;
    std::chrono::steady_clock::time_point asked;
  };
  static std::mutex mutex;
  static Known last;
  const auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex);
    if (last.device == device && now - last.asked < std::chrono::seconds(1)) return last.type;
  }
  struct statfs fs;
  if (::statfs(host.c_str(), &fs) != 0) return 0;
  const long type = static_cast<long>(fs.f_type);
  std::lock_guard lock(mutex);
  last = {device, type, now};
  return type;
}

// The number of decimal zeros that end the fraction of a second; 9 for no fraction.
int trailingZeros(long fraction) {
  if (fraction == 0) return 9;
  int zeros = 0;
  for (; fraction % 10 == 0; fraction /= 10) ++zeros;
  return zeros;
}

}  // namespace

timespec stampClockNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}

std::int64_t timeGranule(const std::string& host, const struct stat& st) {
  const long type = fileSystemType(host, st.st_dev);
  if (std::find(std::begin(kOtherClocks), std::end(kOtherClocks), type) != std::end(kOtherClocks))
    return kNeverSettles;
  if (type == kFat || type == kExFat) return 2 * kSecond;
  const int zeros = std::min(trailingZeros(st.st_mtim.tv_nsec), trailingZeros(st.st_ctim.tv_nsec));
  if (zeros == 9) return type == kExt ? kSecond : 2 * kSecond;
  std::int64_t step = 1;
  for (int i = 0; i < zeros; ++i) step *= 10;
  return std::max(step, coarseTick());
}

bool stampSettled(const std::string& host, const struct stat& st, const timespec& before) {
  const std::int64_t granule = timeGranule(host, st);
  if (granule == kNeverSettles) return false;
  const std::int64_t lastChange = std::max(nanoseconds(st.st_mtim), nanoseconds(st.st_ctim));
  return lastChange <= nanoseconds(before) - granule;
}

}  // namespace vortena
