// The current drive and a current folder per drive, as on Windows: what gives a path typed
// without its drive or root ("album\x.htm", "C:x", "\x") its full drive path. It belongs to the
// program's own thread (the window's or the script runner's session); the file system that the
// copy threads share knows none of it and takes full drive paths only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "fs/file_system.h"
#include "fs/windows/drive_table.h"

namespace vortena {

class DriveFolders {
 public:
  // The current drive and folder start as the drive form of the process's working folder
  // ("C:\" when no drive of `drives` covers it). `fs` is asked whether a folder made current
  // exists.
  DriveFolders(FileSystem& fs, const DriveTable& drives);

  // Makes the folder current on its own drive (a relative path resolves against the current
  // one), in the spelling its names have on disk; 76 for a missing folder or drive, and nothing
  // changes.
  FsStatus changeFolder(const std::string& path);
  // Makes a drive current; 76 for an unmapped drive or one whose folder is missing.
  FsStatus changeDrive(char letter);
  // The current folder in drive form, without a trailing backslash except at a drive's root
  // ("C:\album", "C:\").
  std::string currentFolder() const;
  // The full drive path of `path`, nothing looked up on disk: the current drive and folder
  // applied to a relative path, "." and ".." resolved, every name kept as written
  // ("album\x.htm" -> "C:\home\album\x.htm" when C:\home is current).
  std::string fullPath(const std::string& path) const;

  // The file system the folders are checked on (takes full drive paths only).
  FileSystem& fileSystem() const { return fs_; }

 private:
  FileSystem& fs_;
  char currentDrive_ = 'C';
  std::map<char, std::string> currentFolders_;  // per drive, "\" separated, no drive or end "\"
};

// The file system as the program's own thread sees it: every path that is not a full drive path
// made full with `folders` (DriveFolders::fullPath) and handed to the file system that the
// folders check on. Only full paths may come from another thread.
class FolderRelativeFileSystem : public FileSystem {
 public:
  explicit FolderRelativeFileSystem(DriveFolders& folders)
      : folders_(folders), fs_(folders.fileSystem()) {}

  Expected<std::unique_ptr<TextReader>> openRead(const std::string& path) override {
    return fs_.openRead(full(path));
  }
  Expected<std::unique_ptr<TextWriter>> openWrite(const std::string& path) override {
    return fs_.openWrite(full(path));
  }
  using FileSystem::copyFile;
  FsStatus copyFile(const std::string& from, const std::string& to, EarlierCopy earlier) override {
    return fs_.copyFile(full(from), full(to), earlier);
  }
  void copiesInBackground() override { fs_.copiesInBackground(); }
  Expected<FileStamp> fileStamp(const std::string& path) override {
    return fs_.fileStamp(full(path));
  }
  Expected<FileBytes> readBytes(const std::string& path) override {
    return fs_.readBytes(full(path));
  }
  FsStatus writeBytes(const std::string& path, std::string_view bytes,
                      const FileStamp& times) override {
    return fs_.writeBytes(full(path), bytes, times);
  }
  FsStatus rename(const std::string& from, const std::string& to) override {
    return fs_.rename(full(from), full(to));
  }
  FsStatus removeFile(const std::string& path) override { return fs_.removeFile(full(path)); }
  FsStatus removeFolder(const std::string& path) override { return fs_.removeFolder(full(path)); }
  FsStatus removeStaleTemporaryFiles(const std::string& path) override {
    return fs_.removeStaleTemporaryFiles(full(path));
  }
  FsStatus makeFolder(const std::string& path) override { return fs_.makeFolder(full(path)); }
  Expected<FolderListing> listFolder(const std::string& path) override {
    return fs_.listFolder(full(path));
  }
  Expected<DirEntry> folderIdentity(const std::string& path) override {
    return fs_.folderIdentity(full(path));
  }
  Expected<DirEntry> fileIdentity(const std::string& path) override {
    return fs_.fileIdentity(full(path));
  }
  Expected<EntryStamp> entryStamp(const std::string& path) override {
    return fs_.entryStamp(full(path));
  }
  Expected<bool> sameContent(const std::string& a, const std::string& b) override {
    return fs_.sameContent(full(a), full(b));
  }

 protected:
  void beginTreeListing(const std::string& path) override { tree_.emplace(fs_, full(path)); }
  void endTreeListing() override { tree_.reset(); }

 private:
  // A full path goes on as it is, the current folders not read: the copy threads hand this
  // object the full paths of their copies (copy_queue.h).
  std::string full(const std::string& path) const {
    return isFullDrivePath(path) ? path : folders_.fullPath(path);
  }
  DriveFolders& folders_;
  FileSystem& fs_;
  std::optional<TreeListing> tree_;
};

}  // namespace vortena
