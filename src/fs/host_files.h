// The host side of the file system: POSIX calls, their error numbers in the program's terms,
// name look-ups that ignore letter case, text files and copies. Used by the Windows-semantics
// layer (fs/windows_fs.h) only.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fs/file_system.h"

namespace vortena {

// The error number of a failed host call. `missing` is what ENOENT means to the caller: the
// file (53) when its folder is known to exist, the path (76) otherwise.
int errorNumberOf(int error, int missing = kFileNotFound);
// The same for errno.
FsStatus lastError(int missing = kFileNotFound);

// A file descriptor closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held (and takes `fd`); the errno of a failed close, 0 otherwise.
  int reset(int fd = -1) {
    int error = 0;
    if (fd_ >= 0 && ::close(fd_) != 0) error = errno;
    fd_ = fd;
    return error;
  }

 private:
  int fd_;
};

// stat() of a host path, links followed; false when it fails (errno tells why).
bool statFollow(const std::string& host, struct stat& st);
bool isFolder(const std::string& host);
bool sameIdentity(const struct stat& a, const struct stat& b);

// Whether two names differ at most in letter case (`askedUpper` is toUpper(asked)).
bool sameLetters(std::string_view name, std::string_view asked, const std::string& askedUpper);

// The name in host `folder` that stands for `asked`: the exact spelling when it exists, else the
// first case variant in sorted order; nothing when no entry matches. When the folder cannot
// be searched the asked spelling is returned, so that the operation itself reports why.
std::optional<std::string> findEntry(const std::string& folder, const std::string& asked);

// Writes all of `data`; the errno of a failure, 0 otherwise.
int writeAll(int fd, const char* data, size_t size);
// Copies the rest of `in` to `out`, in the kernel where it can; the errno of a failure, 0
// otherwise.
int copyContents(int in, int out);

// Text files over an open descriptor, which they own: lines read up to LF, CR LF or a lone CR;
// lines written with CR LF, a failed write kept and reported by every later call.
std::unique_ptr<TextReader> hostTextReader(int fd);
std::unique_ptr<TextWriter> hostTextWriter(int fd);

}  // namespace vortena
