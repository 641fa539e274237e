// The program folder (templates and pictures) as the commands name it.
#pragma once

#include <string>

#include "fs/windows_fs.h"

namespace vortena {

// Drive form of the program folder's host path, without a trailing backslash ("C:\vortena",
// or "P:" when the folder is the root of drive P:), so that the commands can append "\NAME".
inline std::string programFolderDriveForm(const WindowsFileSystem& fs, const std::string& host) {
  std::string folder = fs.toDriveForm(host);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace vortena
