// The drive letters of the program's Windows paths and the host folders they stand for.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortena {

// Maps drive letters (upper case) to host folders.
class DriveTable {
 public:
  // C: is the user's home folder ($HOME, else the password entry's), Z: is "/".
  static DriveTable defaults();

  void set(char letter, std::string hostFolder);
  // "L=DIR" as given to --drive; false (and no change) when it is not of that form.
  bool parseAssignment(std::string_view assignment);
  // "C=/srv/web;D=/media/usb" as in VORTENA_DRIVES. A malformed item is skipped, the items
  // after it still taken; the malformed items are returned, for a warning.
  std::vector<std::string> parseList(std::string_view list);
  // "D: /media/usb" for each drive whose host folder is not an existing folder: nothing on such
  // a drive can be listed or written, which the user should hear at start.
  std::vector<std::string> missingFolders() const;

  std::optional<std::string> hostFolder(char letter) const;
  // Drive form of an absolute host path: the mapping with the longest matching host prefix
  // wins ("/home/me/foto" -> "C:\foto" when C: is /home/me). Nothing when no drive covers it.
  std::optional<std::string> toDriveForm(std::string_view hostPath) const;
  const std::map<char, std::string>& all() const { return drives_; }

 private:
  std::map<char, std::string> drives_;  // host folders without a trailing "/" (but "/" itself)
};

}  // namespace vortena
