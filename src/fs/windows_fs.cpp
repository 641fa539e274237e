#include "fs/windows_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/text.h"

namespace vortena {

std::string errorDescription(int number) {
  switch (number) {
    case kFsOk:
      return "";
    case kFileNotFound:
      return "Impossibile trovare il file";
    case kDeviceIoError:
      return "Errore di I/O della periferica";
    case kFileAlreadyExists:
      return "File già esistente";
    case kDiskFull:
      return "Disco pieno";
    case kPathNotFound:
      return "Impossibile trovare il percorso";
    default:
      return "Errore di accesso al percorso/file";
  }
}

namespace {

// The error number of a failed host call. `missing` is what ENOENT means to the caller: the
// file (53) when its folder is known to exist, the path (76) otherwise.
int errorNumberOf(int error, int missing = kFileNotFound) {
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

FsStatus lastError(int missing = kFileNotFound) { return {errorNumberOf(errno, missing)}; }

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

// =============================================================================================
// Path text: host paths ("/" separated) and Windows paths (drive letter, "\" or "/").

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char upperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The non-empty pieces of `text` between any of the `separators`.
std::vector<std::string> splitPieces(std::string_view text, const char* separators) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(separators, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// Adds `more` to the components `base`, applying "." and ".."; ".." stops at the root.
void appendComponents(std::vector<std::string>& base, const std::vector<std::string>& more) {
  for (const std::string& part : more) {
    if (part == ".") continue;
    if (part == "..") {
      if (!base.empty()) base.pop_back();
      continue;
    }
    base.push_back(part);
  }
}

// "\a\b" (or "/a/b") from {"a", "b"}; empty for no components.
std::string joinComponents(const std::vector<std::string>& parts, char separator) {
  std::string out;
  for (const std::string& part : parts) {
    out += separator;
    out += part;
  }
  return out;
}

std::string joinHost(const std::string& folder, const std::string& name) {
  if (name.empty()) return folder;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string workingFolder() {
  std::string cwd(4096, '\0');
  if (!getcwd(cwd.data(), cwd.size())) return {};
  return cwd.c_str();
}

// Absolute host path without ".", "..", repeated or trailing "/"; "/" for the root. A relative
// path is taken from the working folder.
std::string normalHostPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty() || path[0] != '/') parts = splitPieces(workingFolder(), "/");
  appendComponents(parts, splitPieces(path, "/"));
  return parts.empty() ? "/" : joinComponents(parts, '/');
}

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
    return entry->pw_dir;
  return "/";
}

// A Windows path taken apart: its drive and its components, from the drive's root when
// `rooted`, otherwise from the drive's current folder.
struct WindowsPath {
  char drive = 0;  // upper case; 0 for the current drive
  bool rooted = false;
  std::vector<std::string> components;  // as written, "." and ".." still in
};

WindowsPath parseWindowsPath(std::string_view path) {
  WindowsPath out;
  if (path.size() >= 2 && path[1] == ':' && isAsciiLetter(path[0])) {
    out.drive = upperLetter(path[0]);
    path.remove_prefix(2);
  }
  out.rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  out.components = splitPieces(path, "\\/");
  return out;
}

}  // namespace

// =============================================================================================
// Drive table.

DriveTable DriveTable::defaults() {
  DriveTable table;
  table.set('C', homeFolder());
  table.set('Z', "/");
  return table;
}

void DriveTable::set(char letter, std::string hostFolder) {
  drives_[upperLetter(letter)] = normalHostPath(hostFolder);
}

bool DriveTable::parseAssignment(std::string_view assignment) {
  if (assignment.size() < 3 || assignment[1] != '=' || !isAsciiLetter(assignment[0])) return false;
  set(assignment[0], std::string(assignment.substr(2)));
  return true;
}

bool DriveTable::parseList(std::string_view list) {
  for (const std::string& item : splitPieces(list, ";"))
    if (!parseAssignment(item)) return false;
  return true;
}

std::optional<std::string> DriveTable::hostFolder(char letter) const {
  auto it = drives_.find(upperLetter(letter));
  if (it == drives_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> DriveTable::toDriveForm(std::string_view hostPath) const {
  if (hostPath.empty() || hostPath[0] != '/') return std::nullopt;
  const std::string path = normalHostPath(hostPath);
  // The longest host folder that is the path itself or a whole-component prefix of it.
  const std::pair<const char, std::string>* best = nullptr;
  for (const auto& drive : drives_) {
    const std::string& root = drive.second;
    bool covers = root == "/" || path == root ||
                  (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                   path[root.size()] == '/');
    if (covers && (!best || root.size() > best->second.size())) best = &drive;
  }
  if (!best) return std::nullopt;
  std::string rest = best->second == "/" ? path : path.substr(best->second.size());
  std::string inside = joinComponents(splitPieces(rest, "/"), '\\');
  return std::string(1, best->first) + ":" + (inside.empty() ? "\\" : inside);
}

// =============================================================================================
// Resolution: a Windows path walked on the host, each name matched regardless of letter case.

namespace {

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

}  // namespace

// Where a Windows path leads on the host. Only the folders above the last name must exist;
// the last name is reported as asked and as found on disk, so that the operations can give a
// case variant the asked spelling.
struct WindowsFileSystem::Resolved {
  Resolved(const WindowsFileSystem& fs, const std::string& path);

  int error = kFsOk;  // 76: unmapped drive, or a folder above the last name missing
  char drive = 0;
  std::string root;                // host folder of the drive; empty when it is not mapped
  std::vector<std::string> names;  // every component, in its on-disk spelling where found
  std::string parent;              // host folder holding the last name (the root for none)
  std::string asked;               // the last name as written; empty for a drive's root
  std::string onDisk;              // its spelling on disk; empty when it does not exist

  bool isRoot() const { return asked.empty(); }
  bool exists() const { return isRoot() || !onDisk.empty(); }
  // Host path of the existing entry, or of the asked name when there is none.
  std::string host() const { return isRoot() ? root : joinHost(parent, exists() ? onDisk : asked); }
  // Host path of the name in exactly the asked spelling.
  std::string askedHost() const { return isRoot() ? root : joinHost(parent, asked); }

  // Opens the existing file for reading; a folder is refused (75).
  FsStatus openExisting(Descriptor& fd, struct stat& st) const;
  // Gives an existing entry found in another letter case the asked spelling.
  FsStatus respell() const;
};

WindowsFileSystem::Resolved::Resolved(const WindowsFileSystem& fs, const std::string& path) {
  WindowsPath parsed = parseWindowsPath(path);
  drive = parsed.drive ? parsed.drive : fs.currentDrive_;
  std::optional<std::string> driveRoot = fs.drives_.hostFolder(drive);
  if (!driveRoot) {
    error = kPathNotFound;
    return;
  }
  root = *driveRoot;
  std::vector<std::string> components;
  if (!parsed.rooted) {
    auto current = fs.currentFolders_.find(drive);
    if (current != fs.currentFolders_.end()) components = splitPieces(current->second, "\\");
  }
  appendComponents(components, parsed.components);

  std::string folder = root;
  parent = folder;
  if (!components.empty() && !isFolder(root)) error = kPathNotFound;
  for (size_t i = 0; i < components.size(); ++i) {
    std::optional<std::string> found = error ? std::nullopt : findEntry(folder, components[i]);
    names.push_back(found.value_or(components[i]));
    if (i + 1 == components.size()) {
      parent = folder;
      asked = components[i];
      onDisk = found.value_or("");
      break;
    }
    folder = joinHost(folder, names.back());
    if (error) continue;
    // A folder that cannot be examined (no search right) is left for the operation to report.
    struct stat st;
    if (!found || (statFollow(folder, st) ? !S_ISDIR(st.st_mode) : errno != EACCES))
      error = kPathNotFound;
  }
}

FsStatus WindowsFileSystem::Resolved::openExisting(Descriptor& fd, struct stat& st) const {
  if (error) return {error};
  if (!exists()) return {kFileNotFound};
  fd.reset(::open(host().c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return lastError();
  if (S_ISDIR(st.st_mode)) return {kPathFileAccess};
  return {};
}

FsStatus WindowsFileSystem::Resolved::respell() const {
  if (!exists() || onDisk == asked) return {};
  if (::rename(host().c_str(), askedHost().c_str()) != 0) return lastError();
  return {};
}

// =============================================================================================
// Text files and copies.

namespace {

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

}  // namespace

// =============================================================================================
// Operations.

WindowsFileSystem::WindowsFileSystem(DriveTable drives) : drives_(std::move(drives)) {
  std::optional<std::string> start = drives_.toDriveForm(workingFolder());
  if (!start) return;
  currentDrive_ = (*start)[0];
  currentFolders_[currentDrive_] = start->size() > 3 ? start->substr(2) : "";
}

FsStatus WindowsFileSystem::openRead(const std::string& path, std::unique_ptr<TextReader>& out) {
  Descriptor fd;
  struct stat st;
  if (FsStatus s = Resolved(*this, path).openExisting(fd, st); !s.ok()) return s;
  out = std::make_unique<HostTextReader>(fd.release());
  return {};
}

FsStatus WindowsFileSystem::openWrite(const std::string& path, std::unique_ptr<TextWriter>& out) {
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (r.isRoot() || (r.exists() && isFolder(r.host()))) return {kPathFileAccess};
  if (FsStatus s = r.respell(); !s.ok()) return s;
  int fd = ::open(r.askedHost().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return lastError(kPathNotFound);
  out = std::make_unique<HostTextWriter>(fd);
  return {};
}

FsStatus WindowsFileSystem::copyFile(const std::string& from, const std::string& to) {
  Descriptor in;
  struct stat sourceStat;
  if (FsStatus s = Resolved(*this, from).openExisting(in, sourceStat); !s.ok()) return s;

  Resolved target(*this, to);
  if (target.error) return {target.error};
  if (target.isRoot()) return {kPathFileAccess};
  struct stat targetStat;
  if (target.exists() && statFollow(target.host(), targetStat) &&
      (sameIdentity(sourceStat, targetStat) || S_ISDIR(targetStat.st_mode)))
    return {kPathFileAccess};
  if (FsStatus s = target.respell(); !s.ok()) return s;
  // Opened without truncation and checked once more on the open file: a source that turned up
  // under the destination's name in the meantime is not emptied.
  Descriptor out(::open(target.askedHost().c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!out.valid()) return lastError(kPathNotFound);
  if (::fstat(out.get(), &targetStat) != 0) return lastError();
  if (sameIdentity(sourceStat, targetStat)) return {kPathFileAccess};
  if (S_ISREG(targetStat.st_mode) && ::ftruncate(out.get(), 0) != 0) return lastError();
  if (int error = copyContents(in.get(), out.get())) return {errorNumberOf(error)};
  // The copy keeps the modification time of its source, as copies on the original platform do.
  const timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
  ::futimens(out.get(), times);
  if (int error = out.reset()) return {errorNumberOf(error)};
  return {};
}

FsStatus WindowsFileSystem::rename(const std::string& from, const std::string& to) {
  Resolved source(*this, from);
  if (source.error) return {source.error};
  if (!source.exists()) return {kFileNotFound};
  Resolved target(*this, to);
  if (target.error) return {target.error};
  if (source.isRoot() || target.isRoot()) return {kPathFileAccess};

  const std::string oldHost = source.host();
  const std::string newHost = target.askedHost();
  if (target.exists()) {
    // Only the source's own entry may stand under the new name: a change of letter case. Any
    // other entry is kept, even a second link to the same data.
    struct stat a, b;
    bool sameEntry = target.onDisk == source.onDisk && statFollow(source.parent, a) &&
                     statFollow(target.parent, b) && sameIdentity(a, b);
    if (!sameEntry) return {kFileAlreadyExists};
    if (target.asked == target.onDisk) return {};
    if (::rename(oldHost.c_str(), newHost.c_str()) != 0) return lastError();
    return {};
  }
  // The new name was free; RENAME_NOREPLACE keeps whatever takes it in the meantime.
  if (::renameat2(AT_FDCWD, oldHost.c_str(), AT_FDCWD, newHost.c_str(), RENAME_NOREPLACE) == 0)
    return {};
  if (errno == EEXIST) return {kFileAlreadyExists};
  if (errno != EINVAL && errno != ENOSYS) return lastError();
  // A file system without the flag.
  if (::rename(oldHost.c_str(), newHost.c_str()) != 0) return lastError();
  return {};
}

FsStatus WindowsFileSystem::makeFolder(const std::string& path) {
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (r.isRoot()) return {kPathFileAccess};
  if (r.exists()) {
    // The folder is there already; only its name takes the asked spelling.
    if (isFolder(r.host()))
      ignoreFailure(r.respell(), "the folder is there either way; only its spelling may stay");
    return {kPathFileAccess};
  }
  if (::mkdir(r.askedHost().c_str(), 0777) != 0) return lastError(kPathNotFound);
  return {};
}

FsStatus WindowsFileSystem::listFolder(const std::string& path, std::vector<DirEntry>& out) {
  out.clear();
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (!r.exists()) return {kPathNotFound};
  const std::string folder = r.host();
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return lastError(kPathNotFound);
  struct stat folderStat;
  if (::fstat(::dirfd(dir), &folderStat) != 0) {
    FsStatus failed = lastError(kPathNotFound);
    ::closedir(dir);
    return failed;
  }
  std::vector<std::pair<std::string, DirEntry>> keyed;  // upper-cased name, entry
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;
    DirEntry item{name, entry->d_type == DT_DIR, static_cast<std::uint64_t>(folderStat.st_dev),
                  static_cast<std::uint64_t>(entry->d_ino)};
    // The listing's own type spares a stat per name (a folder of 100,000 pictures); links and
    // entries of unknown type are looked at, links followed.
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0) continue;
      item.isFolder = S_ISDIR(st.st_mode);
      item.device = static_cast<std::uint64_t>(st.st_dev);
      item.inode = static_cast<std::uint64_t>(st.st_ino);
    }
    keyed.emplace_back(toUpper(name), std::move(item));
  }
  ::closedir(dir);
  // Names equal when upper-cased keep a fixed order: by their own bytes.
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
  });
  out.reserve(keyed.size());
  for (auto& item : keyed) out.push_back(std::move(item.second));
  return {};
}

FsStatus WindowsFileSystem::folderIdentity(const std::string& path, DirEntry& out) {
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (!r.exists()) return {kPathNotFound};
  struct stat st;
  if (!statFollow(r.host(), st)) return lastError(kPathNotFound);
  if (!S_ISDIR(st.st_mode)) return {kPathNotFound};
  out = DirEntry{r.onDisk, true, static_cast<std::uint64_t>(st.st_dev),
                 static_cast<std::uint64_t>(st.st_ino)};
  return {};
}

FsStatus WindowsFileSystem::changeFolder(const std::string& path) {
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (!r.exists() || !isFolder(r.host())) return {kPathNotFound};
  currentFolders_[r.drive] = joinComponents(r.names, '\\');
  return {};
}

FsStatus WindowsFileSystem::changeDrive(char letter) {
  std::optional<std::string> root = drives_.hostFolder(letter);
  if (!root || !isFolder(*root)) return {kPathNotFound};
  currentDrive_ = upperLetter(letter);
  return {};
}

std::string WindowsFileSystem::currentFolder() const {
  auto it = currentFolders_.find(currentDrive_);
  std::string folder = it == currentFolders_.end() ? "" : it->second;
  return std::string(1, currentDrive_) + ":" + (folder.empty() ? "\\" : folder);
}

std::optional<std::string> WindowsFileSystem::toHostPath(const std::string& path) const {
  Resolved r(*this, path);
  if (r.root.empty()) return std::nullopt;
  std::string host = r.root;
  for (const std::string& name : r.names) host = joinHost(host, name);
  return host;
}

std::string WindowsFileSystem::toDriveForm(const std::string& hostPath) const {
  std::string path = hostPath;
  if (path == "~" || path.rfind("~/", 0) == 0) path = homeFolder() + path.substr(1);
  if (path.empty() || path[0] != '/') return hostPath;
  return drives_.toDriveForm(path).value_or(hostPath);
}

}  // namespace vortena
