#include "support/loop_mount.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <time.h>

#include <cstdlib>

namespace vortena::testing {
namespace {

// Runs a shell command quietly; its exit status.
int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

LoopMount::LoopMount(const std::string& format, int megabytes)
    : mountPoint_(folder_.path() / "mnt") {
  std::filesystem::create_directories(mountPoint_);
  if (::geteuid() != 0) {
    refusal_ = "mounting needs root";
    return;
  }
  const std::string size = std::to_string(megabytes);
  const std::string target = "'" + mountPoint_.string() + "'";
  if (format == "tmpfs") {
    mounted_ = run("mount -t tmpfs -o size=" + size + "m tmpfs " + target) == 0;
  } else {
    const std::string image = "'" + (folder_.path() / "image").string() + "'";
    if (run("truncate -s " + size + "M " + image) != 0 || run(format + " " + image) != 0) {
      refusal_ = "'" + format + "' failed (is it installed?)";
      return;
    }
    mounted_ = run("mount -o loop " + image + " " + target) == 0;
  }
  if (!mounted_) refusal_ = "mount refused";
}

void waitForTheStartOfASecond() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  if (now.tv_nsec < 100000000) return;
  const long rest = 1000000000 - now.tv_nsec + 5000000;
  const timespec pause{0, rest};
  ::nanosleep(&pause, nullptr);
}

LoopMount::~LoopMount() {
  if (mounted_) run("umount '" + mountPoint_.string() + "'");
}

}  // namespace vortena::testing
