// A file system that forwards to another and makes chosen operations fail, for the tests of the
// program's failure paths.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "fs/file_system.h"

namespace vortena {

enum class FsOperation {
  OpenRead,
  OpenWrite,
  WriteLine,  // a line written through a writer opened by openWrite
  Close,      // the close of a writer opened by openWrite: the file keeps its earlier bytes
  Copy,       // matched on the destination path
  ReadBytes,
  WriteBytes,
  Rename,  // matched on the source path
  MakeFolder,
  RemoveFile,
  RemoveFolder,
  ListFolder,
};

// An error number for failOn that makes the operation throw instead of failing: a failure the
// program does not expect.
inline constexpr int kThrowsInstead = -1;

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  // Makes operations of `op` on `path` fail with `errorNumber`: every one when `nth` is 0,
  // otherwise only the nth (1-based) such operation. `path` is compared case-insensitively
  // with the path as the caller wrote it; an empty `path` matches every path.
  // The rules may change while the page writer copies on its own thread (copy_queue.h).
  void failOn(FsOperation op, std::string path, int errorNumber, int nth = 0);
  void clearFaults() {
    std::lock_guard lock(mutex_);
    rules_.clear();
  }

  Expected<std::unique_ptr<TextReader>> openRead(const std::string& path) override;
  Expected<std::unique_ptr<TextWriter>> openWrite(const std::string& path) override;
  using FileSystem::copyFile;
  FsStatus copyFile(const std::string& from, const std::string& to, EarlierCopy earlier) override;
  void copiesInBackground() override { inner_.copiesInBackground(); }
  Expected<FileStamp> fileStamp(const std::string& path) override { return inner_.fileStamp(path); }
  Expected<FileBytes> readBytes(const std::string& path) override;
  FsStatus writeBytes(const std::string& path, std::string_view bytes,
                      const FileStamp& times) override;
  FsStatus rename(const std::string& from, const std::string& to) override;
  FsStatus removeFile(const std::string& path) override;
  FsStatus removeFolder(const std::string& path) override;
  FsStatus removeStaleTemporaryFiles(const std::string& path) override {
    return inner_.removeStaleTemporaryFiles(path);
  }
  FsStatus makeFolder(const std::string& path) override;
  Expected<FolderListing> listFolder(const std::string& path) override;
  Expected<DirEntry> folderIdentity(const std::string& path) override;
  Expected<DirEntry> fileIdentity(const std::string& path) override {
    return inner_.fileIdentity(path);
  }
  Expected<EntryStamp> entryStamp(const std::string& path) override {
    return inner_.entryStamp(path);
  }
  Expected<bool> sameContent(const std::string& a, const std::string& b) override {
    return inner_.sameContent(a, b);
  }

 private:
  struct Rule {
    FsOperation op;
    std::string path;
    int errorNumber;
    int nth;
    int seen = 0;
  };
  // The error number for this operation, 0 when it may go ahead.
  int injected(FsOperation op, const std::string& path);

  FileSystem& inner_;
  std::mutex mutex_;
  std::vector<Rule> rules_;
};

}  // namespace vortena
