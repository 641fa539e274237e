// The host side of the file system: POSIX calls, their error numbers in the program's terms,
// name look-ups that ignore letter case, text files and copies. Used by the folder listings
// (fs/cache/) and the Windows-semantics layer (fs/windows/windows_fs.h) only.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fs/expected.h"
#include "fs/file_system.h"
#include "fs/fs_status.h"

namespace vortena {

// The program's own changes of host folders, as the calls below make them, told to whoever
// keeps listings of folders (the folder cache, fs/cache/folder_cache.h), which this layer does
// not know. A call given none changes the disk alone. `done` false: the change failed.
class FolderChanges {
 public:
  virtual ~FolderChanges() = default;
  // A change of `folder` is under way from `changing` until `ended`, which follows the update
  // below that tells what it did.
  virtual void changing(const std::string& folder) = 0;
  virtual void ended(const std::string& folder) = 0;
  virtual void added(const std::string& folder, const std::string& name, bool done,
                     bool isFolder) = 0;
  virtual void removed(const std::string& folder, const std::string& name, bool done) = 0;
  virtual void renamed(const std::string& folder, const std::string& from, const std::string& to,
                       bool done) = 0;
  // A hidden name of the program's came and went (a temporary file).
  virtual void touched(const std::string& folder, bool done) = 0;
};

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
  // Takes `fd`. The descriptor held before is closed as the destructor closes it, its failure
  // not looked at: a descriptor whose close matters (a file written through it) is closed with
  // close() first.
  void reset(int fd = -1) {
    ignoreFailure(close(), "only a descriptor whose close does not matter is let go so");
    fd_ = fd;
  }
  // Closes the descriptor held, if any; the failure of the close.
  FsStatus close() {
    if (fd_ < 0) return {};
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return lastHostFailure();
    return {};
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

// Reads up to `size` bytes, fewer only at the end of the file: the number read.
Expected<size_t> readFully(int fd, char* buffer, size_t size);
// Writes all of `data`.
FsStatus writeAll(int fd, const char* data, size_t size);
// Copies the rest of `in` to `out`, in the kernel where it can. With `expected` above 0 the
// copy ends once that many bytes are copied.
FsStatus copyContents(int in, int out, off_t expected = 0);

// Lowers the calling thread's priority by `steps` of niceness (down to the lowest), for that
// thread alone.
FsStatus lowerThreadPriority(int steps);

// Renames `from` to `to` only when nothing stands under `to`: an entry there, also one that
// turns up in the meantime, is never replaced, and the call fails with 58. Where the file
// system has no no-replace rename, moveWithoutReplace does the same in two steps.
FsStatus renameNoReplace(const std::string& from, const std::string& to);
// The two-step move that cannot replace: link then unlink for a file (or a symbolic link), an
// empty folder made under the new name and then replaced for a folder. 58 when `to` is taken.
FsStatus moveWithoutReplace(const std::string& from, const std::string& to);
// Gives the entry `onDisk` of host `folder` the spelling `asked`, through a fresh hidden name,
// each step no-replace: an entry that stands under `asked` (another file, not a case-insensitive
// host's own view of `onDisk`) is kept and the call fails with 58. The entry keeps its inode;
// on failure it keeps its old name.
FsStatus respellInPlace(const std::string& folder, const std::string& onDisk,
                        const std::string& asked, FolderChanges* changes = nullptr);

// A file written under a fresh hidden name (beginning with ".", so listings skip it) in the
// folder of its final name, which it takes only through commit(). Until then the final name and
// whatever stands under it are untouched. A file not committed is removed when the object
// goes, and when the process ends through std::exit while it is still open.
class PendingFile {
 public:
  // The file's coming and going are told to `changes`, when given.
  explicit PendingFile(FolderChanges* changes = nullptr) : changes_(changes) {}
  ~PendingFile() { discard(); }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the temporary file in host `folder` for the final name `name` there. `replaced` is
  // the existing entry of that name (in its on-disk spelling, which may differ in letter case)
  // or empty; when it is a regular file, the new file takes its permissions and owner. A
  // folder that is not there fails with 76.
  FsStatus create(const std::string& folder, const std::string& name, const std::string& replaced);
  int fd() const { return fd_.get(); }
  // Closes the file and renames it over the final name, in exactly the spelling given to
  // create(): an entry there is replaced, a symbolic link itself and never its target, and a
  // case variant of the name is removed. On any failure the temporary file is removed and the
  // final name keeps what it had.
  FsStatus commit();
  // As commit(), but only when nothing stands under the final name: 58 when something does
  // (or the file system cannot tell), and the file then stays pending, closed, for commit()
  // once the caller has looked at what stands there.
  FsStatus commitIfFree();
  // Closes and removes the temporary file; nothing once committed.
  void discard();
  // Host path of the temporary file; empty when there is none.
  const std::string& tempPath() const { return temp_; }

 private:
  Descriptor fd_;
  std::string temp_;
  std::string folder_;  // host folder of the final name, and the name in it
  std::string name_;
  std::string final_;
  std::string replaced_;  // host path of a case variant to remove after the commit
  FolderChanges* changes_;
  // From the creation of the temporary file until the folder's listing has taken the stamp of
  // the commit or the discard: the hidden name's coming is not a change the listing must see.
  bool changing_ = false;
  void endChange();
  FsStatus takeName(bool replace);  // commit() and commitIfFree()
  void committed();            // the file has its final name: the rest of a commit
};

// Removes the temporary files of this program's processes that have ended from host `folder`:
// the names PendingFile gives (".vortena-PID-COUNTER-CLOCK.tmp", exactly), regular files only,
// of a process PID that no longer runs, or whose PID a process started after the file's last
// change now holds. Files of this process and of a build running elsewhere stay, and so does
// every other name. The first failure: the folder not read (76 when it is not there), a file not
// removed.
FsStatus removeStaleTemporaryFiles(const std::string& folder, FolderChanges* changes = nullptr);

// Removes every pending temporary file of the process, waiting for one being made, and makes
// every later PendingFile::create fail: for a process about to end.
void removePendingFiles();

// Text files. The reader owns its descriptor and reads lines up to LF, CR LF or a lone CR. The
// writer writes lines with CR LF into a pending file for the final name `name` in host
// `folder` (`replaced`: as for PendingFile::create) and commits it on close; a failed write is
// kept and reported by every later call, and then the close removes the file instead. A text
// that the final name already holds byte for byte is not written again.
std::unique_ptr<TextReader> hostTextReader(int fd);
std::unique_ptr<TextWriter> hostTextWriter(std::string folder, std::string name,
                                           std::string replaced,
                                           FolderChanges* changes = nullptr);

}  // namespace vortena
