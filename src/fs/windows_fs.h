// Windows file semantics over the POSIX file system: drive letters mapped to host folders,
// case-insensitive and case-preserving look-ups, a current folder per drive, and the rename and
// copy rules that never destroy a user's file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "fs/file_system.h"

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

class WindowsFileSystem : public FileSystem {
 public:
  // The current drive and folder start as the drive form of the process's working folder
  // (C:\ when no drive covers it).
  explicit WindowsFileSystem(DriveTable drives);

  FsStatus openRead(const std::string& path, std::unique_ptr<TextReader>& out) override;
  FsStatus openWrite(const std::string& path, std::unique_ptr<TextWriter>& out) override;
  FsStatus copyFile(const std::string& from, const std::string& to) override;
  FsStatus rename(const std::string& from, const std::string& to) override;
  FsStatus makeFolder(const std::string& path) override;
  FsStatus listFolder(const std::string& path, std::vector<DirEntry>& out) override;
  FsStatus folderIdentity(const std::string& path, DirEntry& out) override;
  FsStatus changeFolder(const std::string& path) override;
  FsStatus changeDrive(char letter) override;
  std::string currentFolder() const override;

  // Host path of a Windows path: existing names found case-insensitively (an exact match
  // preferred, else the first variant in sorted order), the missing rest appended as written.
  // Nothing when the drive is not mapped.
  std::optional<std::string> toHostPath(const std::string& path) const;
  // Drive form of a host path (absolute, or "~" / "~/..." for the home folder); the text
  // unchanged when no drive covers it.
  std::string toDriveForm(const std::string& hostPath) const;

  const DriveTable& drives() const { return drives_; }

 private:
  struct Resolved;  // defined in the .cpp
  DriveTable drives_;
  char currentDrive_ = 'C';
  std::map<char, std::string>
      currentFolders_;  // per drive, "\" separated, no drive, no trailing "\"
};

}  // namespace vortena
