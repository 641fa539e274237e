#include "fs/windows/drive_folders.h"

#include "fs/host/host_path.h"
#include "fs/windows/windows_path.h"

namespace vortena {

DriveFolders::DriveFolders(FileSystem& fs, const DriveTable& drives) : fs_(fs) {
  std::optional<std::string> start = drives.toDriveForm(workingFolder());
  if (!start) return;
  currentDrive_ = (*start)[0];
  currentFolders_[currentDrive_] = start->size() > 3 ? start->substr(2) : "";
}

FsStatus DriveFolders::changeFolder(const std::string& path) {
  // Each folder of the path is looked up from the root, so that the current folder keeps the
  // spelling its names have on disk; every one must be a folder.
  const std::string full = fullPath(path);
  const std::string drive = full.substr(0, 2);
  std::vector<std::string> onDisk;
  if (!fs_.folderIdentity(drive + "\\").ok()) return {kPathNotFound};
  for (const std::string& name : splitPieces(full.substr(2), "\\")) {
    const Expected<DirEntry> folder =
        fs_.folderIdentity(drive + joinComponents(onDisk, '\\') + "\\" + name);
    if (!folder.ok()) return {kPathNotFound};
    onDisk.push_back(folder->name);
  }
  currentFolders_[full[0]] = joinComponents(onDisk, '\\');
  return {};
}

FsStatus DriveFolders::changeDrive(char letter) {
  if (!isAsciiLetter(letter)) return {kPathNotFound};
  if (!fs_.folderIdentity(std::string(1, letter) + ":\\").ok()) return {kPathNotFound};
  currentDrive_ = upperLetter(letter);
  return {};
}

std::string DriveFolders::currentFolder() const {
  auto it = currentFolders_.find(currentDrive_);
  std::string folder = it == currentFolders_.end() ? "" : it->second;
  return std::string(1, currentDrive_) + ":" + (folder.empty() ? "\\" : folder);
}

std::string DriveFolders::fullPath(const std::string& path) const {
  WindowsPath parsed = parseWindowsPath(path);
  const char drive = parsed.drive ? parsed.drive : currentDrive_;
  std::vector<std::string> components;
  if (!parsed.rooted) {
    auto current = currentFolders_.find(drive);
    if (current != currentFolders_.end()) components = splitPieces(current->second, "\\");
  }
  appendComponents(components, parsed.components);
  return std::string(1, drive) + ":" +
         (components.empty() ? "\\" : joinComponents(components, '\\'));
}

}  // namespace vortena
