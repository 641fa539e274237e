// The drive letters of the program's Windows paths and the host folders they stand for.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vortena {

// Maps drive letters (upper case) to host folders.
class DriveTable {
 public:
  // C: is the user's home folder ($HOME, else the password entry's), Z: is "/".
  static DriveTable defaults();

  void set(char letter, std::string hostFolder);
  // "L=DIR" as given to --drive; false (and no change) when it is not of that form.
  bool parseAssignment(std::string_view assignment);
  // "C=/srv/web;D=/media/usb" as in VORTENA_DRIVES; false when an item is malformed (the
  // well-formed items before it are kept).
  bool parseList(std::string_view list);

  std::optional<std::string> hostFolder(char letter) const;
  // Drive form of an absolute host path: the mapping with the longest matching host prefix
  // wins ("/home/me/foto" -> "C:\foto" when C: is /home/me). Nothing when no drive covers it.
  std::optional<std::string> toDriveForm(std::string_view hostPath) const;
  const std::map<char, std::string>& all() const { return drives_; }

 private:
  std::map<char, std::string> drives_;  // host folders without a trailing "/" (but "/" itself)
};

}  // namespace vortena
