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
  ChangeFolder,
};

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

  FsStatus openRead(const std::string& path, std::unique_ptr<TextReader>& out) override;
  FsStatus openWrite(const std::string& path, std::unique_ptr<TextWriter>& out) override;
  using FileSystem::copyFile;
  FsStatus copyFile(const std::string& from, const std::string& to, EarlierCopy earlier) override;
  void copiesInBackground() override { inner_.copiesInBackground(); }
  FsStatus fileStamp(const std::string& path, FileStamp& out) override {
    return inner_.fileStamp(path, out);
  }
  FsStatus readBytes(const std::string& path, std::string& out, FileStamp& stamp) override;
  FsStatus writeBytes(const std::string& path, std::string_view bytes,
                      const FileStamp& times) override;
  FsStatus rename(const std::string& from, const std::string& to) override;
  FsStatus removeFile(const std::string& path) override;
  FsStatus removeFolder(const std::string& path) override;
  FsStatus removeStaleTemporaryFiles(const std::string& path) override {
    return inner_.removeStaleTemporaryFiles(path);
  }
  FsStatus makeFolder(const std::string& path) override;
  using FileSystem::listFolder;
  FsStatus listFolder(const std::string& path, std::vector<DirEntry>& out, DirEntry& folder,
                      std::vector<UnusableName>& unusable) override;
  FsStatus folderIdentity(const std::string& path, DirEntry& out) override;
  FsStatus changeFolder(const std::string& path) override;
  FsStatus changeDrive(char letter) override;
  std::string currentFolder() const override;
  FsStatus fileIdentity(const std::string& path, DirEntry& out) override {
    return inner_.fileIdentity(path, out);
  }
  FsStatus entryStamp(const std::string& path, EntryStamp& out) override {
    return inner_.entryStamp(path, out);
  }
  FsStatus sameContent(const std::string& a, const std::string& b, bool& same) override {
    return inner_.sameContent(a, b, same);
  }
  std::string fullPath(const std::string& path) const override { return inner_.fullPath(path); }

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
