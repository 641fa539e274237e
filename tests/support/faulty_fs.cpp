#include "support/faulty_fs.h"

#include <functional>
#include <stdexcept>
#include <utility>

#include "core/text.h"

namespace vortena {
namespace {

// The path as the tests compare it: letter case and the kind of separator do not count.
std::string comparable(const std::string& path) {
  std::string out = toUpper(path);
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

// A writer whose lines and close may be refused by the file system that opened it. A refused
// close drops the inner writer unclosed, so the file on disk keeps its earlier bytes, as after
// a real failed close.
class FaultyWriter : public TextWriter {
 public:
  FaultyWriter(std::unique_ptr<TextWriter> inner, std::function<int(FsOperation)> fault)
      : inner_(std::move(inner)), fault_(std::move(fault)) {}

  FsStatus writeLine(std::string_view line) override {
    if (!inner_) return {closeFailure_ ? closeFailure_ : kPathFileAccess};
    if (int error = fault_(FsOperation::WriteLine)) return {error};
    return inner_->writeLine(line);
  }
  FsStatus close() override {
    if (!inner_) return {closeFailure_};
    if (int error = fault_(FsOperation::Close)) {
      closeFailure_ = error;
      inner_.reset();
      return {error};
    }
    return inner_->close();
  }

 private:
  std::unique_ptr<TextWriter> inner_;
  std::function<int(FsOperation)> fault_;
  int closeFailure_ = kFsOk;
};

}  // namespace

void FaultyFileSystem::failOn(FsOperation op, std::string path, int errorNumber, int nth) {
  std::lock_guard lock(mutex_);
  rules_.push_back(Rule{op, comparable(path), errorNumber, nth});
}

int FaultyFileSystem::injected(FsOperation op, const std::string& path) {
  const std::string key = comparable(path);
  std::lock_guard lock(mutex_);
  int error = kFsOk;
  // Every matching rule counts the operation, also when an earlier rule already fails it.
  for (Rule& rule : rules_) {
    if (rule.op != op || (!rule.path.empty() && rule.path != key)) continue;
    ++rule.seen;
    if (!error && (rule.nth == 0 || rule.seen == rule.nth)) error = rule.errorNumber;
  }
  if (error == kThrowsInstead) throw std::runtime_error("injected failure at " + path);
  return error;
}

Expected<std::unique_ptr<TextReader>> FaultyFileSystem::openRead(const std::string& path) {
  if (int error = injected(FsOperation::OpenRead, path)) return FsStatus{error};
  return inner_.openRead(path);
}

Expected<std::unique_ptr<TextWriter>> FaultyFileSystem::openWrite(const std::string& path) {
  if (int error = injected(FsOperation::OpenWrite, path)) return FsStatus{error};
  Expected<std::unique_ptr<TextWriter>> writer = inner_.openWrite(path);
  if (!writer.ok()) return writer;
  return std::unique_ptr<TextWriter>(std::make_unique<FaultyWriter>(
      std::move(*writer), [this, path](FsOperation op) { return injected(op, path); }));
}

FsStatus FaultyFileSystem::copyFile(const std::string& from, const std::string& to,
                                    EarlierCopy earlier) {
  if (int error = injected(FsOperation::Copy, to)) return {error};
  return inner_.copyFile(from, to, earlier);
}

Expected<FileBytes> FaultyFileSystem::readBytes(const std::string& path) {
  if (int error = injected(FsOperation::ReadBytes, path)) return FsStatus{error};
  return inner_.readBytes(path);
}

FsStatus FaultyFileSystem::writeBytes(const std::string& path, std::string_view bytes,
                                      const FileStamp& times) {
  if (int error = injected(FsOperation::WriteBytes, path)) return {error};
  return inner_.writeBytes(path, bytes, times);
}

FsStatus FaultyFileSystem::rename(const std::string& from, const std::string& to) {
  if (int error = injected(FsOperation::Rename, from)) return {error};
  return inner_.rename(from, to);
}

FsStatus FaultyFileSystem::removeFile(const std::string& path) {
  if (int error = injected(FsOperation::RemoveFile, path)) return {error};
  return inner_.removeFile(path);
}

FsStatus FaultyFileSystem::removeFolder(const std::string& path) {
  if (int error = injected(FsOperation::RemoveFolder, path)) return {error};
  return inner_.removeFolder(path);
}

FsStatus FaultyFileSystem::makeFolder(const std::string& path) {
  if (int error = injected(FsOperation::MakeFolder, path)) return {error};
  return inner_.makeFolder(path);
}

Expected<FolderListing> FaultyFileSystem::listFolder(const std::string& path) {
  if (int error = injected(FsOperation::ListFolder, path)) return FsStatus{error};
  return inner_.listFolder(path);
}

Expected<DirEntry> FaultyFileSystem::folderIdentity(const std::string& path) {
  return inner_.folderIdentity(path);
}

}  // namespace vortena
