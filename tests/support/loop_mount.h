// A file system of its own for a test: an image file formatted by a command and mounted on a
// temporary folder (a card's FAT, ext4 with whole-second times), or a tmpfs of a chosen size
// (a disk that fills up). Mounting needs root: where it is refused the object says why, and the
// test skips itself with that reason.
#pragma once

#include <filesystem>
#include <string>

#include "support/album_fixture.h"

namespace vortena::testing {

class LoopMount {
 public:
  // An image of `megabytes` formatted by `format` (a command given the image's path, such as
  // "mkfs.ext4 -q -I 128") and mounted; or, with `format` "tmpfs", a tmpfs of that size.
  LoopMount(const std::string& format, int megabytes);
  ~LoopMount();
  LoopMount(const LoopMount&) = delete;
  LoopMount& operator=(const LoopMount&) = delete;

  bool mounted() const { return mounted_; }
  // Why it could not be mounted.
  const std::string& refusal() const { return refusal_; }
  const std::filesystem::path& path() const { return mountPoint_; }

 private:
  TempFolder folder_;
  std::filesystem::path mountPoint_;
  bool mounted_ = false;
  std::string refusal_;
};

// Waits until the clock is early in a second (its first tenth): what follows then happens
// within that second on a disk that keeps whole seconds.
void waitForTheStartOfASecond();

// Skips the test when `mount` could not be made.
#define SKIP_UNLESS_MOUNTED(mount)                                                    \
  if (!(mount).mounted()) GTEST_SKIP() << "no file system of its own: " << (mount).refusal()

}  // namespace vortena::testing
