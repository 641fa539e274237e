// Windows paths (drive letter, "\\" or "/") taken apart without touching the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vortena {

// A Windows path taken apart: its drive and its components, from the drive's root when
// `rooted`, otherwise from the drive's current folder.
struct WindowsPath {
  char drive = 0;  // upper case; 0 for the current drive
  bool rooted = false;
  std::vector<std::string> components;  // as written, "." and ".." still in
};
WindowsPath parseWindowsPath(std::string_view path);

}  // namespace vortena
