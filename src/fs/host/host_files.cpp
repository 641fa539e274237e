#include "fs/host/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text.h"
#include "fs/host/stamp_clock.h"
#include "fs/host/host_path.h"

namespace vortena {

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
      size_t end = pos_;  // a plain scan: find_first_of looks up every byte in the set
      while (end < buffer_.size() && buffer_[end] != '\n' && buffer_[end] != '\r') ++end;
      if (end == buffer_.size()) {
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

Expected<size_t> readFully(int fd, char* buffer, size_t size) {
  size_t got = 0;
  while (got < size) {
    ssize_t n = ::read(fd, buffer + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return lastHostFailure();
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

FsStatus writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastHostFailure();
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return {};
}

class HostTextWriter final : public TextWriter {
 public:
  HostTextWriter(std::string folder, std::string name, std::string replaced,
                 FolderChanges* changes)
      : folder_(std::move(folder)),
        name_(std::move(name)),
        replaced_(std::move(replaced)),
        changes_(changes) {}
  // A writer dropped unclosed leaves the final name alone: its pending file goes with it.

  FsStatus writeLine(std::string_view line) override {
    if (!failure_.ok()) return failure_;
    if (closed_) return {kPathFileAccess};
    buffer_.append(line);
    buffer_.append("\r\n");
    return buffer_.size() - compared_ >= kBlock ? flush() : FsStatus{};
  }

  // The file takes its final name only when every line reached it and its descriptor closed
  // without error; otherwise it is removed and the earlier file of that name stays as it was.
  // A page whose whole text is already the file's, byte for byte, is left as it is: a rebuild
  // of an unchanged album writes none of its pages again, and they keep their identities.
  // No fsync: an album is thousands of small pages, and a sync per page would make a build
  // many times slower; the rename after a clean close already keeps readers from ever seeing a
  // partial page.
  FsStatus close() override {
    if (closed_) return failure_;
    closed_ = true;
    if (!file_ && failure_.ok() && sameAsEarlier(true)) {
      buffer_.clear();
      return failure_;
    }
    ignoreFailure(flush(true), "a failed flush is kept in failure_ and checked below");
    if (!failure_.ok()) {
      if (file_) file_->discard();
      return failure_;
    }
    failure_ = file_->commit();
    return failure_;
  }

 private:
  // While the text written so far is the beginning of the earlier file under the final name,
  // it is only held, block by block compared with that file (up to kMostHeld bytes); the
  // pending file is made at the first difference, so that an unchanged page costs no file at
  // all. A failed write is reported again by every later call: the lines after it would leave
  // a gap in the file, so none of them counts as written.
  FsStatus flush(bool closing = false) {
    if (failure_.ok() && !file_) {
      if (!closing && sameAsEarlier(false)) return failure_;
      auto file = std::make_unique<PendingFile>(changes_);
      failure_ = file->create(folder_, name_, replaced_);
      if (failure_.ok()) file_ = std::move(file);
    }
    if (failure_.ok()) failure_ = writeAll(file_->fd(), buffer_.data(), buffer_.size());
    buffer_.clear();
    compared_ = 0;
    return failure_;
  }

  // Whether the text held is still the beginning of the earlier file (`whole`: the whole of
  // it): a regular file under exactly the final name, not a symbolic link or a case variant,
  // unchanged since it was first looked at.
  bool sameAsEarlier(bool whole) {
    if (replaced_ != name_ || buffer_.size() > kMostHeld) return false;
    if (!earlier_.valid()) {
      if (lookedAtEarlier_) return false;
      lookedAtEarlier_ = true;
      const std::string path = joinHost(folder_, name_);
      earlier_.reset(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
      if (!earlier_.valid() || ::fstat(earlier_.get(), &earlierStat_) != 0 ||
          !S_ISREG(earlierStat_.st_mode)) {
        earlier_.reset();
        return false;
      }
    }
    if (static_cast<off_t>(buffer_.size()) > earlierStat_.st_size) return false;
    // The new part of the text against the same stretch of the file.
    std::string onDisk(buffer_.size() - compared_, '\0');
    if (::pread(earlier_.get(), onDisk.data(), onDisk.size(), static_cast<off_t>(compared_)) !=
            static_cast<ssize_t>(onDisk.size()) ||
        buffer_.compare(compared_, std::string::npos, onDisk) != 0)
      return false;
    compared_ = buffer_.size();
    if (!whole) return true;
    // The file is no longer than the text, and no other program changed it meanwhile.
    struct stat now;
    return static_cast<off_t>(buffer_.size()) == earlierStat_.st_size &&
           ::fstat(earlier_.get(), &now) == 0 && now.st_size == earlierStat_.st_size &&
           now.st_mtim.tv_sec == earlierStat_.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == earlierStat_.st_mtim.tv_nsec &&
           now.st_ctim.tv_sec == earlierStat_.st_ctim.tv_sec &&
           now.st_ctim.tv_nsec == earlierStat_.st_ctim.tv_nsec;
  }

  static constexpr size_t kBlock = 64 * 1024;
  // The most text held while it matches the earlier file: a page of some 20,000 entries. A
  // longer one is written as it comes, whether or not it changed.
  static constexpr size_t kMostHeld = 8 << 20;
  std::string folder_;    // host folder of the final name
  std::string name_;      // the final name, as it is to be spelled
  std::string replaced_;  // the entry under the name now, in its on-disk spelling; or empty
  FolderChanges* changes_;
  std::unique_ptr<PendingFile> file_;
  std::string buffer_;
  size_t compared_ = 0;  // bytes of buffer_ found equal to the earlier file's
  Descriptor earlier_;   // the earlier file, while the text matches it
  struct stat earlierStat_ {};
  bool lookedAtEarlier_ = false;
  FsStatus failure_;
  bool closed_ = false;
};

// Copies the rest of `in` to `out`. The kernel copies when it can, without a trip through this process's memory; between file systems that do not
// allow it, large blocks go through a buffer. Once `expected` bytes (the size the source had
// when opened) are copied the copy ends without one more call to find the end; a size of 0
// reads to the end, as files of the system's own folders tell 0 and still hold bytes.
FsStatus copyContents(int in, int out, off_t expected) {
  off_t copied = 0;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (n == 0) return {};
    if (n > 0) {
      copied += n;
      if (expected > 0 && copied >= expected) return {};
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
    return lastHostFailure();
  }
  // Both offsets stand after what the kernel already copied.
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) return {};
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastHostFailure();
    }
    if (FsStatus s = writeAll(out, buffer.data(), static_cast<size_t>(n)); !s.ok()) return s;
  }
}

namespace {

// Host paths of the temporary files still pending. The process can end through std::exit while
// a page is being written (the end button during a build); the handler registered with atexit
// removes them then, and so does the watch of the signals that end the process (interrupt.h).
// The set is never destroyed, so that a writer whose destructor runs after the handler (one
// held by a static object) still finds it. A file is made and registered in one step that the
// handler waits for, so that a copy under way on another thread leaves no file behind whatever
// the moment; after the handler no file is made any more.
class PendingRegistry {
 public:
  // Makes the temporary file `path` (exclusively, links not followed) and registers it: its
  // descriptor, or -1 with errno set (ECANCELED once the process is ending).
  int create(const std::string& path) {
    int fd = -1;
    errno = unlessEnding([&] {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0) return errno;
      std::lock_guard lock(mutex_);
      paths_.insert(path);
      return 0;
    });
    return fd;
  }
  // Runs `step`, which must not take long, unless the process is ending: the end waits for
  // it. The errno `step` gives, or ECANCELED once the process is ending.
  template <typename Step>
  int unlessEnding(Step step) {
    std::shared_lock making(closing_);  // steps run side by side; the end waits for them
    return closed_ ? ECANCELED : step();
  }
  void remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    paths_.erase(path);
  }
  void removeAll() {
    std::unique_lock closing(closing_);
    std::lock_guard lock(mutex_);
    for (const std::string& path : paths_) ::unlink(path.c_str());
    paths_.clear();
    closed_ = true;
  }

 private:
  std::shared_mutex closing_;
  bool closed_ = false;  // written with closing_ held alone, read with it shared
  std::mutex mutex_;
  std::set<std::string> paths_;
};

PendingRegistry& pendingRegistry() {
  static PendingRegistry* registry = [] {
    auto* made = new PendingRegistry;
    std::atexit([] { pendingRegistry().removeAll(); });
    return made;
  }();
  return *registry;
}

constexpr std::string_view kHiddenPrefix = ".vortena-";
constexpr std::string_view kTemporaryType = "tmp";

// A hidden name not used before by this process: the process id, a counter and the clock make
// a clash with another program's names unlikely, and every use of it is exclusive anyway.
// `type` "tmp" (kTemporaryType) makes the name of a temporary file, which the next build
// removes once this process has ended (removeStaleTemporaryFiles); any other type, a name
// that nothing removes.
std::string freshHiddenName(std::string_view type) {
  static std::atomic<unsigned> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  char name[64];
  // The process id is asked once: a name is made for every page and every copy.
  static const int pid = static_cast<int>(::getpid());
  std::snprintf(name, sizeof name, "%.*s%d-%u-%llx.%.*s", static_cast<int>(kHiddenPrefix.size()),
                kHiddenPrefix.data(), pid, counter++,
                static_cast<unsigned long long>(now) & 0xffffffULL, static_cast<int>(type.size()),
                type.data());
  return name;
}

// Takes from the front of `text` the number printf wrote there (no sign, no leading zero, at
// most `most` digits), in base 10 or in lower-case base 16, followed by `end`; false when the
// text does not begin so.
bool takeNumber(std::string_view& text, int base, size_t most, char end, std::uint64_t& value) {
  size_t n = 0;
  value = 0;
  for (; n < text.size() && n < most; ++n) {
    const char c = text[n];
    const int digit = c >= '0' && c <= '9'                 ? c - '0'
                      : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                           : -1;
    if (digit < 0) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (n == 0 || (n > 1 && text[0] == '0') || n == text.size() || text[n] != end) return false;
  text.remove_prefix(n + 1);
  return true;
}

// Whether `name` is a name freshHiddenName gives a temporary file, exactly; `pid` the process
// that made it.
bool temporaryFileName(std::string_view name, pid_t& pid) {
  if (!name.starts_with(kHiddenPrefix)) return false;
  name.remove_prefix(kHiddenPrefix.size());
  std::uint64_t process = 0, counter = 0, clock = 0;
  if (!takeNumber(name, 10, 10, '-', process) || !takeNumber(name, 10, 10, '-', counter) ||
      !takeNumber(name, 16, 6, '.', clock) || name != kTemporaryType)
    return false;
  if (process == 0 || process > static_cast<std::uint64_t>(INT_MAX)) return false;
  pid = static_cast<pid_t>(process);
  return true;
}

// When process `pid` started, in nanoseconds since 1970 by the clock that dates files; nothing
// when it cannot be told (no such process, no /proc).
std::optional<std::int64_t> processStart(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  char buffer[1024];
  const Expected<size_t> size = readFully(fd.get(), buffer, sizeof buffer);
  if (!size.ok() || *size == 0) return std::nullopt;
  // The start is the 22nd field, in clock ticks after boot. The second field, the command's
  // name between parentheses, may hold blanks and parentheses of its own: the count begins
  // after its last ")".
  const std::string_view stat(buffer, *size);
  size_t at = stat.rfind(')');
  for (int field = 2; field < 22 && at != std::string_view::npos; ++field)
    at = stat.find(' ', at + 1);
  if (at == std::string_view::npos) return std::nullopt;
  std::uint64_t ticks = 0;
  const char* first = stat.data() + at + 1;
  if (std::from_chars(first, stat.data() + stat.size(), ticks).ptr == first) return std::nullopt;
  const long perSecond = ::sysconf(_SC_CLK_TCK);
  timespec now{}, sinceBoot{};
  if (perSecond <= 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0 ||
      ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0)
    return std::nullopt;
  // The ticks are counted after boot as CLOCK_BOOTTIME counts; the boot, dated by the clock
  // that dates files now, turns them into that clock's time.
  const std::int64_t boot = nanoseconds(now) - nanoseconds(sinceBoot);
  return boot + static_cast<std::int64_t>(ticks) * (1000000000 / perSecond);
}

// Whether the process that named a temporary file `pid` may still be writing it: it is this
// process, or a process of that id runs and started before the file last changed. A process
// id is given again once its process has ended, and then to a process started later. A second
// of leeway covers the granule of the two clocks (the start is told in ticks, a file's times
// may lag a tick behind) and a small step of the system clock; a process whose start cannot
// be told counts as the file's writer.
bool writerMayRun(pid_t pid, const timespec& modified) {
  static const pid_t self = ::getpid();
  if (pid == self) return true;
  if (::kill(pid, 0) != 0 && errno == ESRCH) return false;
  const std::optional<std::int64_t> started = processStart(pid);
  constexpr std::int64_t kLeeway = 1000000000;
  return !started || *started <= nanoseconds(modified) + kLeeway;
}

constexpr int kNameTries = 100;

}  // namespace

FsStatus lowerThreadPriority(int steps) {
  constexpr int kLowest = 19;
  // A priority set for a thread's own id is that thread's alone on Linux: the other threads,
  // and the window the build's thread serves, keep theirs.
  const auto self = static_cast<id_t>(::gettid());
  errno = 0;
  const int now = ::getpriority(PRIO_PROCESS, self);
  if (errno != 0) return lastHostFailure();
  if (::setpriority(PRIO_PROCESS, self, std::min(now + steps, kLowest)) != 0)
    return lastHostFailure();
  return {};
}

namespace {

// The status of a failed no-replace move: an entry under the new name is 58.
FsStatus moveFailure(int error) {
  return error == EEXIST || error == ENOTEMPTY ? FsStatus{kFileAlreadyExists}
                                               : hostFailure(error);
}

}  // namespace

FsStatus renameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  // File systems without the flag answer one of these; the two-step move gives the same
  // guarantee there.
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return moveFailure(errno);
  return moveWithoutReplace(from, to);
}

FsStatus moveWithoutReplace(const std::string& from, const std::string& to) {
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) return moveFailure(errno);
  if (S_ISDIR(st.st_mode)) {
    // A folder has no second link: an empty folder made under the new name holds it (mkdir
    // never replaces), and rename may replace only an empty folder, so only that one.
    if (::mkdir(to.c_str(), 0700) != 0) return moveFailure(errno);
    if (::rename(from.c_str(), to.c_str()) != 0) {
      const int error = errno;
      ::rmdir(to.c_str());
      return moveFailure(error);
    }
    return {};
  }
  // link() fails on an existing name and does not follow a symbolic link at `from`.
  if (::link(from.c_str(), to.c_str()) != 0) return moveFailure(errno);
  if (::unlink(from.c_str()) != 0) {
    const int error = errno;
    ::unlink(to.c_str());
    return moveFailure(error);
  }
  return {};
}

FsStatus respellInPlace(const std::string& folder, const std::string& onDisk,
                        const std::string& asked, FolderChanges* changes) {
  const std::string old = joinHost(folder, onDisk);
  // A no-replace rename keeps a file standing under `asked`: on a host that tells letter case
  // apart it is the one call needed. On a host that ignores letter case it finds `onDisk`
  // itself there and fails; a fresh name between the two spellings then serves (and a real
  // twin under `asked` fails that way too, replacing nothing).
  if (renameNoReplace(old, joinHost(folder, asked)).ok()) {
    if (changes) changes->renamed(folder, onDisk, asked, true);
    return {};
  }
  // The two steps are one to the end of the process (a signal that ends it waits for them),
  // and the name between them is not a temporary file's: a user's file never stays hidden,
  // nor does the removal of stale temporary files ever take it.
  FsStatus failure;
  const int ending = pendingRegistry().unlessEnding([&] {
    std::string between;
    failure = {kFileAlreadyExists};
    for (int i = 0; i < kNameTries && failure.number == kFileAlreadyExists; ++i) {
      between = joinHost(folder, freshHiddenName("ren"));
      failure = renameNoReplace(old, between);
    }
    if (!failure.ok()) return 0;
    failure = renameNoReplace(between, joinHost(folder, asked));
    if (!failure.ok()) {
      // Back to the old name. When that was taken in the meantime too, the entry keeps the
      // hidden name rather than replace anything, and the failure tells the caller.
      ignoreFailure(renameNoReplace(between, old), "the first failure is the one told");
      if (changes) changes->touched(folder, false);
    }
    return 0;
  });
  if (ending) return hostFailure(ending);
  if (!failure.ok()) return failure;
  if (changes) changes->renamed(folder, onDisk, asked, true);
  return {};
}

FsStatus removeStaleTemporaryFiles(const std::string& folder, FolderChanges* changes) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return lastHostFailure(kPathNotFound);
  bool changing = false;
  int failure = 0;
  while (const dirent* entry = ::readdir(dir)) {
    pid_t pid = 0;
    struct stat st;
    if (!temporaryFileName(entry->d_name, pid) ||
        ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode) || writerMayRun(pid, st.st_mtim))
      continue;
    if (!changing && changes) changes->changing(folder);
    changing = true;
    if (::unlinkat(::dirfd(dir), entry->d_name, 0) != 0 && errno != ENOENT && !failure)
      failure = errno;
  }
  ::closedir(dir);
  // Only hidden names went; the folder's listing takes its new stamp.
  if (changing && changes) {
    changes->touched(folder, true);
    changes->ended(folder);
  }
  if (failure) return hostFailure(failure, kPathNotFound);
  return {};
}

void removePendingFiles() { pendingRegistry().removeAll(); }

FsStatus PendingFile::create(const std::string& folder, const std::string& name,
                             const std::string& replaced) {
  discard();
  if (changes_) changes_->changing(folder);
  changing_ = true;
  folder_ = folder;
  int fd = -1;
  for (int i = 0; i < kNameTries && fd < 0; ++i) {
    temp_ = joinHost(folder, freshHiddenName(kTemporaryType));
    fd = pendingRegistry().create(temp_);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error = errno;
    temp_.clear();
    endChange();
    return hostFailure(error, kPathNotFound);
  }
  fd_.reset(fd);
  // The hidden name changed the folder. Its listing takes the new stamp only with the commit or
  // the discard: until then the change is under way (changing_), and a look-up in the folder
  // (another thread copying into it) answers from the listing without looking at the folder.
  name_ = name;
  final_ = joinHost(folder, name);
  replaced_.clear();
  if (!replaced.empty()) {
    const std::string replacedHost = joinHost(folder, replaced);
    struct stat st;
    if (::lstat(replacedHost.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      // The new file stands in for the old one: same permissions, and the same owner where
      // this process may give it (a page replaced by root stays readable by its web server).
      if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only root may give a file away; the file is written either way.
      }
      if (::fchmod(fd, st.st_mode & 0777) != 0) {
        // The default permissions serve when the old ones cannot be copied.
      }
    }
    if (replaced != name) replaced_ = replacedHost;
  }
  return {};
}

FsStatus PendingFile::commit() { return takeName(true); }

FsStatus PendingFile::commitIfFree() { return takeName(false); }

FsStatus PendingFile::takeName(bool replace) {
  if (temp_.empty()) return hostFailure(EBADF);
  if (FsStatus closed = fd_.close(); !closed.ok()) {
    discard();
    return closed;
  }
  // rename() replaces the entry itself, never what a symbolic link there points to.
  const int renamed =
      replace ? ::rename(temp_.c_str(), final_.c_str())
              : ::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, final_.c_str(), RENAME_NOREPLACE);
  if (renamed != 0) {
    const int error = errno;
    // Taken, or a file system that cannot tell: the file stays pending for commit().
    if (!replace && (error == EEXIST || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP))
      return {kFileAlreadyExists};
    discard();
    return hostFailure(error);
  }
  committed();
  return {};
}

void PendingFile::committed() {
  pendingRegistry().remove(temp_);
  temp_.clear();
  // A case variant of the name is a second entry on a host that tells letter case apart; on one
  // that does not, it is the new file itself and stays.
  struct stat variant, written;
  if (!replaced_.empty() && ::lstat(replaced_.c_str(), &variant) == 0 &&
      ::lstat(final_.c_str(), &written) == 0 && !sameIdentity(variant, written) &&
      ::unlink(replaced_.c_str()) == 0 && changes_)
    changes_->removed(folder_, replaced_.substr(replaced_.rfind('/') + 1), true);
  // The temporary name came and went with the rename; the folder's listing gains the name.
  if (changes_) changes_->added(folder_, name_, true, false);
  endChange();
}

void PendingFile::endChange() {
  if (changing_ && changes_) changes_->ended(folder_);
  changing_ = false;
}

void PendingFile::discard() {
  ignoreFailure(fd_.close(), "the file is removed either way");
  if (temp_.empty()) return;
  ::unlink(temp_.c_str());
  pendingRegistry().remove(temp_);
  temp_.clear();
  // Only a hidden name came and went; the listing's stamp is taken afresh.
  if (changes_) changes_->touched(folder_, true);
  endChange();
}

std::unique_ptr<TextReader> hostTextReader(int fd) { return std::make_unique<HostTextReader>(fd); }
std::unique_ptr<TextWriter> hostTextWriter(std::string folder, std::string name,
                                           std::string replaced, FolderChanges* changes) {
  return std::make_unique<HostTextWriter>(std::move(folder), std::move(name), std::move(replaced),
                                          changes);
}

}  // namespace vortena
