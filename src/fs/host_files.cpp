#include "fs/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/text.h"
#include "fs/windows_path.h"

namespace vortena {

// The error number of a failed host call. `missing` is what ENOENT means to the caller: the
// file (53) when its folder is known to exist, the path (76) otherwise.
int errorNumberOf(int error, int missing) {
  switch (error) {
    case ENOENT:
      return missing;
    case ENOTDIR:
      return kPathNotFound;
    case EIO:
      return kDeviceIoError;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    default:
      return kPathFileAccess;
  }
}

FsStatus lastError(int missing) { return {errorNumberOf(errno, missing)}; }

bool statFollow(const std::string& host, struct stat& st) { return ::stat(host.c_str(), &st) == 0; }

bool isFolder(const std::string& host) {
  struct stat st;
  return statFollow(host, st) && S_ISDIR(st.st_mode);
}

bool sameIdentity(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether two names differ at most in letter case. Case conversion keeps the byte length of
// every letter it maps, so names of different lengths never match; ASCII names are compared
// without building their upper-case forms, as a folder may hold thousands of them.
bool sameLetters(std::string_view name, std::string_view asked, const std::string& askedUpper) {
  if (name.size() != asked.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char a = name[i], b = asked[i];
    if ((a | b) & 0x80) return toUpper(name) == askedUpper;
    if (upperLetter(a) != upperLetter(b)) return false;
  }
  return true;
}

// The name in `folder` that stands for `asked`: the exact spelling when it exists, else the
// first case variant in sorted order; nothing when no entry matches. When the folder cannot
// be searched the asked spelling is returned, so that the operation itself reports why.
std::optional<std::string> findEntry(const std::string& folder, const std::string& asked) {
  struct stat st;
  if (::lstat(joinHost(folder, asked).c_str(), &st) == 0 || errno != ENOENT) return asked;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return asked;
  const std::string askedUpper = toUpper(asked);
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (sameLetters(name, asked, askedUpper) && (!best || name < *best)) best = std::string(name);
  }
  ::closedir(dir);
  return best;
}

class HostTextReader final : public TextReader {
 public:
  explicit HostTextReader(int fd) : fd_(fd) {}

  bool readLine(std::string& line) override {
    line.clear();
    if (pos_ == buffer_.size() && !refill()) return false;
    for (;;) {
      size_t end = buffer_.find_first_of("\r\n", pos_);
      if (end == std::string::npos) {
        line.append(buffer_, pos_, std::string::npos);
        pos_ = buffer_.size();
        if (!refill()) return true;  // a last line without a line end
        continue;
      }
      line.append(buffer_, pos_, end - pos_);
      pos_ = end + 1;
      // CR LF is one line end, also when the LF begins the next block.
      if (buffer_[end] == '\r' && (pos_ < buffer_.size() || refill()) && buffer_[pos_] == '\n')
        ++pos_;
      return true;
    }
  }

 private:
  // Replaces the consumed block with the next one; false at the end of the file. A read error
  // ends the file too: the reader has no other way to tell it.
  bool refill() {
    buffer_.resize(kBlock);
    ssize_t n;
    do {
      n = ::read(fd_.get(), buffer_.data(), kBlock);
    } while (n < 0 && errno == EINTR);
    buffer_.resize(n > 0 ? static_cast<size_t>(n) : 0);
    pos_ = 0;
    return n > 0;
  }

  static constexpr size_t kBlock = 64 * 1024;
  Descriptor fd_;
  std::string buffer_;
  size_t pos_ = 0;
};

// Writes all of `data`; the errno of a failure, 0 otherwise.
int writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

class HostTextWriter final : public TextWriter {
 public:
  explicit HostTextWriter(int fd) : fd_(fd) {}
  ~HostTextWriter() override {
    ignoreFailure(close(), "a writer dropped unclosed: its owner has given up on the file");
  }

  FsStatus writeLine(std::string_view line) override {
    if (!failure_.ok()) return failure_;
    if (!fd_.valid()) return {kPathFileAccess};
    buffer_.append(line);
    buffer_.append("\r\n");
    return buffer_.size() >= kBlock ? flush() : FsStatus{};
  }

  FsStatus close() override {
    if (!fd_.valid()) return failure_;
    ignoreFailure(flush(), "a failed flush is kept in failure_ and returned below");
    if (int error = fd_.reset(); error != 0 && failure_.ok()) failure_ = {errorNumberOf(error)};
    return failure_;
  }

 private:
  // A failed write is reported again by every later call: the lines after it would leave a
  // gap in the file, so none of them counts as written.
  FsStatus flush() {
    if (failure_.ok()) {
      if (int error = writeAll(fd_.get(), buffer_.data(), buffer_.size()))
        failure_ = {errorNumberOf(error)};
    }
    buffer_.clear();
    return failure_;
  }

  static constexpr size_t kBlock = 64 * 1024;
  Descriptor fd_;
  std::string buffer_;
  FsStatus failure_;
};

// Copies the rest of `in` to `out`; the errno of a failure, 0 otherwise. The kernel copies
// when it can, without a trip through this process's memory; between file systems that do not
// allow it, large blocks go through a buffer.
int copyContents(int in, int out) {
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (n == 0) return 0;
    if (n > 0 || errno == EINTR) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
    return errno;
  }
  // Both offsets stand after what the kernel already copied.
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (int error = writeAll(out, buffer.data(), static_cast<size_t>(n))) return error;
  }
}

std::unique_ptr<TextReader> hostTextReader(int fd) { return std::make_unique<HostTextReader>(fd); }
std::unique_ptr<TextWriter> hostTextWriter(int fd) { return std::make_unique<HostTextWriter>(fd); }

}  // namespace vortena
