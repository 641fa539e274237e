// The program folder (templates and pictures) as the commands name it.
#pragma once

#include <string>
#include <string_view>

#include "fs/windows/windows_fs.h"

namespace vortena {

// Drive form of the program folder's host path, without a trailing backslash ("C:\vortena",
// or "P:" when the folder is the root of drive P:), so that the commands can append "\NAME".
inline std::string programFolderDriveForm(const WindowsFileSystem& fs, const std::string& host) {
  std::string folder = fs.toDriveForm(host);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

// The drive table with the program folder in reach: when no drive covers its host path (Z:
// mapped elsewhere, say), the first unused letter from P: on is mapped to it, so that the
// templates and pictures are found whatever the drive map.
inline DriveTable withProgramFolder(DriveTable drives, const std::string& host) {
  if (host.empty() || host[0] != '/' || drives.toDriveForm(host)) return drives;
  for (char letter : std::string_view("PQRSTUVWXYOABDEFGHIJKLMN")) {
    if (drives.hostFolder(letter)) continue;
    drives.set(letter, host);
    break;
  }
  return drives;
}

}  // namespace vortena
