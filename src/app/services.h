// What the window's commands reach outside themselves: the disk, the user's face, the file
// chooser and the opener of pages, and the program folder of the templates.
#pragma once

#include <string>

#include "core/services.h"
#include "fs/file_system.h"
#include "fs/windows/drive_folders.h"

namespace vortena {

// The file chooser of the folder browse and the single-file insert.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the dialog modally; returns the chosen file's full path in drive form, or an empty
  // text when the user cancelled.
  virtual std::string choose(const std::string& title, const std::string& startFolder,
                             const std::string& pattern) = 0;
};

struct Services {
  // The disk as the window's thread sees it: a path without its drive or root is taken from the
  // current folders of `folders` (FolderRelativeFileSystem).
  FileSystem* fs = nullptr;
  DriveFolders* folders = nullptr;
  Ui* ui = nullptr;
  FileDialog* dialog = nullptr;
  Launcher* launcher = nullptr;
  // The program folder (templates and pictures) in drive form, without a trailing backslash.
  std::string programFolder;
};

}  // namespace vortena
