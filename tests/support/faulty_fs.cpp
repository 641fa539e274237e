#include "support/faulty_fs.h"

#include <functional>
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
  return error;
}

FsStatus FaultyFileSystem::openRead(const std::string& path, std::unique_ptr<TextReader>& out) {
  if (int error = injected(FsOperation::OpenRead, path)) return {error};
  return inner_.openRead(path, out);
}

FsStatus FaultyFileSystem::openWrite(const std::string& path, std::unique_ptr<TextWriter>& out) {
  if (int error = injected(FsOperation::OpenWrite, path)) return {error};
  std::unique_ptr<TextWriter> writer;
  FsStatus status = inner_.openWrite(path, writer);
  if (!status.ok()) return status;
  out = std::make_unique<FaultyWriter>(
      std::move(writer), [this, path](FsOperation op) { return injected(op, path); });
  return status;
}

FsStatus FaultyFileSystem::copyFile(const std::string& from, const std::string& to,
                                    EarlierCopy earlier) {
  if (int error = injected(FsOperation::Copy, to)) return {error};
  return inner_.copyFile(from, to, earlier);
}

FsStatus FaultyFileSystem::readBytes(const std::string& path, std::string& out, FileStamp& stamp) {
  if (int error = injected(FsOperation::ReadBytes, path)) return {error};
  return inner_.readBytes(path, out, stamp);
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

FsStatus FaultyFileSystem::listFolder(const std::string& path, std::vector<DirEntry>& out,
                                      DirEntry& folder, std::vector<UnusableName>& unusable) {
  if (int error = injected(FsOperation::ListFolder, path)) {
    out.clear();
    unusable.clear();
    return {error};
  }
  return inner_.listFolder(path, out, folder, unusable);
}

FsStatus FaultyFileSystem::folderIdentity(const std::string& path, DirEntry& out) {
  return inner_.folderIdentity(path, out);
}

FsStatus FaultyFileSystem::changeFolder(const std::string& path) {
  if (int error = injected(FsOperation::ChangeFolder, path)) return {error};
  return inner_.changeFolder(path);
}

FsStatus FaultyFileSystem::changeDrive(char letter) { return inner_.changeDrive(letter); }

std::string FaultyFileSystem::currentFolder() const { return inner_.currentFolder(); }

}  // namespace vortena
