// Windows file semantics over the POSIX file system: drive letters mapped to host folders,
// case-insensitive and case-preserving look-ups, and the rename and copy rules that never
// destroy a user's file. It knows no current drive or folder (those are DriveFolders'): every
// path is a full drive path, and any thread may call it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fs/cache/listing_store.h"
#include "fs/file_system.h"
#include "fs/windows/drive_table.h"

struct stat;

namespace vortena {

class Descriptor;

class WindowsFileSystem : public FileSystem {
 public:
  explicit WindowsFileSystem(DriveTable drives);

  Expected<std::unique_ptr<TextReader>> openRead(const std::string& path) override;
  Expected<std::unique_ptr<TextWriter>> openWrite(const std::string& path) override;
  using FileSystem::copyFile;
  FsStatus copyFile(const std::string& from, const std::string& to, EarlierCopy earlier) override;
  void copiesInBackground() override;
  Expected<FileStamp> fileStamp(const std::string& path) override;
  Expected<FileBytes> readBytes(const std::string& path) override;
  FsStatus writeBytes(const std::string& path, std::string_view bytes,
                      const FileStamp& times) override;
  FsStatus rename(const std::string& from, const std::string& to) override;
  FsStatus removeFile(const std::string& path) override;
  FsStatus removeFolder(const std::string& path) override;
  FsStatus removeStaleTemporaryFiles(const std::string& path) override;
  FsStatus makeFolder(const std::string& path) override;
  Expected<FolderListing> listFolder(const std::string& path) override;
  Expected<DirEntry> folderIdentity(const std::string& path) override;
  Expected<DirEntry> fileIdentity(const std::string& path) override;
  Expected<EntryStamp> entryStamp(const std::string& path) override;
  Expected<bool> sameContent(const std::string& a, const std::string& b) override;

  // Host path of a full drive path: existing names found case-insensitively (an exact match
  // preferred, else the first variant in sorted order), the missing rest appended as written.
  // Nothing when the drive is not mapped or the path is not full.
  std::optional<std::string> toHostPath(const std::string& path) const;
  // Drive form of a host path (absolute, or "~" / "~/..." for the home folder); the text
  // unchanged when no drive covers it.
  std::string toDriveForm(const std::string& hostPath) const;

  const DriveTable& drives() const { return drives_; }
  // The listings kept for the tree being scanned, null outside a scan (tests).
  const ListingStore* treeListings() const { return listings_.get(); }

 protected:
  // The listings of the tree being scanned are kept in a ListingStore (see TreeListing).
  void beginTreeListing(const std::string& path) override;
  void endTreeListing() override;

 private:
  struct Resolved;  // defined in the .cpp
  // The drive, its host folder and every name of `path` as written, nothing looked up on disk;
  // false for a path that is not a full drive path and for an unmapped drive.
  bool spelled(const std::string& path, char& drive, std::string& root,
               std::vector<std::string>& components) const;
  // The host path of `path` with every name exactly as written, and its last name; false for an
  // unmapped drive or a drive's root. An entry there is the one a look-up finds, as a look-up
  // always prefers the exact spelling: the common case is served without the look-up's stat.
  bool exactHost(const std::string& path, std::string& host, std::string& last) const;
  // Opens the existing regular file `path` for reading (see Resolved::openExisting): under
  // exactly the path asked first (see exactHost), through the look-up only when that fails.
  FsStatus openExisting(const std::string& path, Descriptor& fd, struct stat& st) const;
  DriveTable drives_;
  // The listings kept for the tree being scanned (see beginTreeListing); null outside a scan.
  std::unique_ptr<ListingStore> listings_;
};

}  // namespace vortena
