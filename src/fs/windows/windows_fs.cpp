#include "fs/windows/windows_fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <numeric>
#include <utility>
#include <vector>

#include "core/text.h"
#include "fs/cache/folder_cache.h"
#include "fs/host/host_files.h"
#include "fs/host/host_path.h"
#include "fs/host/stamp_clock.h"
#include "fs/windows/windows_path.h"

namespace vortena {

// How an existing file is opened for reading. Opening a FIFO for a blocking read waits for a
// writer, and a terminal could become the process's own: the open neither waits nor adopts, and
// only a regular file goes on. A socket cannot be opened at all (ENXIO, 75).
constexpr int kOpenSource = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

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
  bool onDiskIsFolder = false;     // it is known to be a folder, not a link (the listing's type)
  std::string folderKey;           // the folders above the last name as written, upper-cased
  struct stat parentStat {};       // stat of `parent` taken while resolving, links followed
  bool parentStatOk = false;       // whether that stat succeeded

  bool isRoot() const { return asked.empty(); }
  bool exists() const { return isRoot() || !onDisk.empty(); }
  // Host path of the existing entry, or of the asked name when there is none.
  std::string host() const { return isRoot() ? root : joinHost(parent, exists() ? onDisk : asked); }
  // Host path of the name in exactly the asked spelling.
  std::string askedHost() const { return isRoot() ? root : joinHost(parent, asked); }

  // The same folder with another last name: the folders are not looked up again.
  Resolved sibling(const std::string& name) const;
  // Opens the existing regular file for reading, links followed; anything else (a folder, a
  // FIFO, a socket, a device) is refused with 75 without waiting on it.
  FsStatus openExisting(Descriptor& fd, struct stat& st) const;
  // Whether a new file may take the last name: it is free, or holds a regular file this process
  // may write, or a symbolic link (replaced itself, never followed). A folder, a device, a FIFO
  // or a socket is refused with 75: none of them is the program's output.
  FsStatus checkReplaceable() const;
  // Gives an existing entry found in another letter case the asked spelling, in place and
  // without replacing anything.
  FsStatus respell() const;
};

// Every operation's path passes here before anything is looked at: the one place where a path
// that is not a full drive path is refused.
bool WindowsFileSystem::spelled(const std::string& path, char& drive, std::string& root,
                                std::vector<std::string>& components) const {
  if (!isFullDrivePath(path)) return false;
  WindowsPath parsed = parseWindowsPath(path);
  drive = parsed.drive;
  std::optional<std::string> driveRoot = drives_.hostFolder(drive);
  if (!driveRoot) return false;
  root = *driveRoot;
  components.clear();
  appendComponents(components, parsed.components);
  return true;
}

bool WindowsFileSystem::exactHost(const std::string& path, std::string& host,
                                  std::string& last) const {
  char drive = 0;
  std::vector<std::string> components;
  if (!spelled(path, drive, host, components) || components.empty()) return false;
  for (const std::string& name : components) host = joinHost(host, name);
  last = components.back();
  return true;
}

namespace {

// The folders above the last of `components` as written, upper-cased: how a path's folder is
// told from another's when letter case does not count.
std::string folderKeyOf(const std::vector<std::string>& components) {
  return toUpper(joinComponents({components.begin(), components.end() - 1}, '\\'));
}

}  // namespace

WindowsFileSystem::Resolved::Resolved(const WindowsFileSystem& fs, const std::string& path) {
  std::vector<std::string> components;
  if (!fs.spelled(path, drive, root, components)) {
    error = kPathNotFound;
    return;
  }
  if (!components.empty()) folderKey = folderKeyOf(components);

  // The common case first: every folder above the last name is there in exactly the spelling
  // asked. One stat of the last folder then proves the whole chain, and as an exact spelling is
  // always preferred the walk below would give the same names. It also checks the cached
  // listing of that folder, in which the last name is looked up.
  if (components.size() >= 2) {
    std::string folder = root;
    for (size_t i = 0; i + 1 < components.size(); ++i) folder = joinHost(folder, components[i]);
    if (statFollow(folder, parentStat) && S_ISDIR(parentStat.st_mode)) {
      parentStatOk = true;
      parent = std::move(folder);
      asked = components.back();
      std::optional<std::string> found =
          folderCache().find(parent, &parentStat, asked, &onDiskIsFolder);
      onDisk = found.value_or("");
      names = std::move(components);
      if (found) names.back() = *found;
      return;
    }
  }
  // Every folder of the path is looked at with one stat, which both tells that it is a folder
  // and checks the cached listing of its names before the next name is looked up in it; no
  // folder is read again unless it changed.
  std::string folder = root;
  parent = folder;
  struct stat st;
  bool statOk = statFollow(root, st);
  if (!components.empty() && !(statOk && S_ISDIR(st.st_mode))) error = kPathNotFound;
  for (size_t i = 0; i < components.size(); ++i) {
    bool isFolder = false;
    std::optional<std::string> found =
        error ? std::nullopt
              : folderCache().find(folder, statOk ? &st : nullptr, components[i], &isFolder);
    names.push_back(found.value_or(components[i]));
    if (i + 1 == components.size()) {
      parent = folder;
      parentStat = st;
      parentStatOk = statOk && !error;
      asked = components[i];
      onDisk = found.value_or("");
      onDiskIsFolder = isFolder;
      break;
    }
    folder = joinHost(folder, names.back());
    if (error) continue;
    // A folder that cannot be examined (no search right) is left for the operation to report.
    statOk = found && statFollow(folder, st);
    if (!found || (statOk ? !S_ISDIR(st.st_mode) : errno != EACCES)) error = kPathNotFound;
  }
}

WindowsFileSystem::Resolved WindowsFileSystem::Resolved::sibling(const std::string& name) const {
  Resolved other = *this;
  if (!names.empty()) other.names.back() = name;
  other.asked = name;
  other.onDiskIsFolder = false;
  other.onDisk = error || isRoot() ? ""
                                   : folderCache()
                                         .find(parent, parentStatOk ? &parentStat : nullptr, name,
                                               &other.onDiskIsFolder)
                                         .value_or("");
  return other;
}

FsStatus WindowsFileSystem::Resolved::openExisting(Descriptor& fd, struct stat& st) const {
  if (error) return {error};
  if (!exists()) return {kFileNotFound};
  fd.reset(::open(host().c_str(), kOpenSource));
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return lastHostFailure();
  if (!S_ISREG(st.st_mode)) return {kPathFileAccess};
  // O_NONBLOCK stays set: on a regular file it changes nothing, and clearing it would cost two
  // calls per copied picture.
  return {};
}

FsStatus WindowsFileSystem::Resolved::checkReplaceable() const {
  if (error) return {error};
  if (isRoot()) return {kPathFileAccess};
  if (!exists()) return {};
  struct stat st;
  if (::lstat(host().c_str(), &st) != 0) return lastHostFailure();
  if (S_ISLNK(st.st_mode)) return {};
  if (!S_ISREG(st.st_mode)) return {kPathFileAccess};
  // The file is replaced, not written, but a file the user may not write stays refused as an
  // open for writing would refuse it: the write recovery relies on that 75.
  if (::faccessat(AT_FDCWD, host().c_str(), W_OK, AT_EACCESS) != 0) return lastHostFailure();
  return {};
}

FsStatus WindowsFileSystem::Resolved::respell() const {
  if (!exists() || isRoot() || onDisk == asked) return {};
  return respellInPlace(parent, onDisk, asked, &folderCache());
}

// Operations.

WindowsFileSystem::WindowsFileSystem(DriveTable drives) : drives_(std::move(drives)) {}

FsStatus WindowsFileSystem::openExisting(const std::string& path, Descriptor& fd,
                                         struct stat& st) const {
  std::string exact, last;
  if (exactHost(path, exact, last)) fd.reset(::open(exact.c_str(), kOpenSource));
  if (fd.valid()) {
    if (::fstat(fd.get(), &st) != 0) return lastHostFailure();
    if (!S_ISREG(st.st_mode)) return {kPathFileAccess};
    return {};
  }
  return Resolved(*this, path).openExisting(fd, st);
}

Expected<std::unique_ptr<TextReader>> WindowsFileSystem::openRead(const std::string& path) {
  Descriptor fd;
  struct stat st;
  if (FsStatus s = openExisting(path, fd, st); !s.ok()) return s;
  return hostTextReader(fd.release());
}

// The page is written under a temporary name beside the final one and takes the final name at
// close: a full disk, a failed write or an end of the program midway leave the earlier page.
Expected<std::unique_ptr<TextWriter>> WindowsFileSystem::openWrite(const std::string& path) {
  Resolved r(*this, path);
  if (FsStatus s = r.checkReplaceable(); !s.ok()) return s;
  // The file itself is made only when its text is known (see hostTextWriter); a folder where
  // no file can be made is refused now, as the page writer's recovery expects.
  if (::faccessat(AT_FDCWD, r.parent.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return lastHostFailure(kPathNotFound);
  return hostTextWriter(r.parent, r.asked, r.onDisk, &folderCache());
}

// A rebuild copies only what changed: a destination that already holds a regular file of the
// source's size and modification time (copies take their source's time), changed after the
// source last changed, is the earlier copy of this very source and stays as it is.
//
// The change time is what makes that sound without a state file of the album. Size and
// modification time alone miss a source replaced by another file of the same size whose time was
// set to the old one (a restore that keeps times, a copy with preserved times, a camera whose
// clock and numbering started over). But any such replacement gives the source a change time
// at the moment it happened, which nobody can set back, later than the change time the copy got
// when it was written before: a destination whose change time is not strictly later than its
// source's is copied again. The costs of the rule are on the safe side only: a source merely
// renamed or given new permissions after its copy (its change time moves too) is copied again,
// and so is one whose copy was written in the same clock tick as the source's last change.
// The source's and the copy's change times come from one machine's clock, which holds as long
// as the album and the pictures are not on two network disks with clocks apart. What the rule
// does not look at is the copy's own bytes: a copy in the album edited by hand and given back
// its source's size and time stays as it is, unless the caller asks for the bytes to be
// compared (EarlierCopy::KeepIfSame, a build's full check).
namespace {

// Whether two open files hold the same bytes from where they stand to their ends.
Expected<bool> compareOpenFiles(int first, int second) {
  constexpr size_t kChunk = 64 * 1024;
  std::vector<char> left(kChunk), right(kChunk);
  for (;;) {
    const Expected<size_t> n = readFully(first, left.data(), kChunk);
    if (!n.ok()) return n.status();
    const Expected<size_t> m = readFully(second, right.data(), kChunk);
    if (!m.ok()) return m.status();
    if (*n != *m || !std::equal(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(*n),
                                right.begin()))
      return false;
    if (*n == 0) return true;
  }
}

// Whether the regular files at two host paths hold the same bytes; false when either cannot
// be read, so that a copy that cannot be checked is made again.
bool sameBytes(const std::string& first, const std::string& second) {
  Descriptor a(::open(first.c_str(), kOpenSource)), b(::open(second.c_str(), kOpenSource));
  struct stat aStat, bStat;
  return a.valid() && b.valid() && ::fstat(a.get(), &aStat) == 0 && ::fstat(b.get(), &bStat) == 0 &&
         S_ISREG(aStat.st_mode) && S_ISREG(bStat.st_mode) && aStat.st_size == bStat.st_size &&
         compareOpenFiles(a.get(), b.get()).valueOr(false);
}

bool isEarlierCopy(const struct stat& source, const struct stat& copy) {
  auto later = [](const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
  };
  return S_ISREG(copy.st_mode) && copy.st_size == source.st_size &&
         copy.st_mtim.tv_sec == source.st_mtim.tv_sec &&
         copy.st_mtim.tv_nsec == source.st_mtim.tv_nsec && later(copy.st_ctim, source.st_ctim);
}

}  // namespace

void WindowsFileSystem::copiesInBackground() {
  // Ten steps of niceness: while the build's thread and a copy thread both want a processor,
  // the build's thread gets nine tenths of it. The copies do not fall behind for long: past a
  // bound of queued copies the build waits for them (copy_queue.h), which frees its processor.
  // Measured on two processors: 16,000 pictures whose sources take the build's letter case
  // took 1.39 and 1.55 times as long as the same names already in that case (medians of ten
  // and of twelve pairs built in turn, the disk at two speeds) with the copy threads at the
  // build's priority, 1.09 and 1.25 times with them ten steps behind; the build with the
  // renames 16% faster, the other one no slower. Nineteen steps measured the same as ten.
  constexpr int kBehind = 10;
  ignoreFailure(lowerThreadPriority(kBehind),
                "only a hint: a host that refuses leaves the thread as it is");
}

// One open of each side, the bytes copied in the kernel, the times set and one close of each;
// the folders on the way are looked at through the folder cache.
FsStatus WindowsFileSystem::copyFile(const std::string& from, const std::string& to,
                                     EarlierCopy earlier) {
  // The source is looked at under exactly the path asked first (see exactHost); only a source
  // not there in that spelling is looked up.
  Resolved target(*this, to);
  // A rebuild: when the destination is already the earlier copy of this source, two stats
  // tell so and nothing is opened.
  if (earlier != EarlierCopy::Replace && !target.error && !target.isRoot() && target.exists() &&
      target.onDisk == target.asked) {
    struct stat sourceNow, existing;
    std::string sourceHost, last;
    bool found = exactHost(from, sourceHost, last) && statFollow(sourceHost, sourceNow);
    if (!found) {
      const Resolved source(*this, from);
      sourceHost = source.host();
      found = !source.error && source.exists() && statFollow(sourceHost, sourceNow);
    }
    if (found && S_ISREG(sourceNow.st_mode) && ::lstat(target.host().c_str(), &existing) == 0 &&
        S_ISREG(existing.st_mode) && !sameIdentity(sourceNow, existing) &&
        isEarlierCopy(sourceNow, existing) &&
        (earlier == EarlierCopy::Keep || sameBytes(sourceHost, target.host()))) {
      // Still refused like a copy would be when the user may not write the file.
      if (::faccessat(AT_FDCWD, target.host().c_str(), W_OK, AT_EACCESS) != 0) return lastHostFailure();
      return {};
    }
  }

  Descriptor in;
  struct stat sourceStat;
  if (FsStatus s = openExisting(from, in, sourceStat); !s.ok()) return s;

  // A copy onto the source itself (under another name, a link or a case variant) would lose
  // it; the identity follows links, as the name leads to the source's bytes. The names the
  // copy replaces: the asked spelling and the case variant on disk, both the same name when the
  // cache found the exact spelling, and neither there when it found nothing.
  auto ontoSource = [&sourceStat, &target](bool onlyExisting) {
    struct stat st;
    const std::string asked = target.askedHost(), found = target.host();
    if (!onlyExisting || !target.exists() || asked == found) {
      if (statFollow(asked, st) && sameIdentity(sourceStat, st)) return true;
      if (asked == found) return false;
    }
    return statFollow(found, st) && sameIdentity(sourceStat, st);
  };
  if (!target.error && !target.isRoot()) {
    if (target.exists()) {
      struct stat existing;
      // An earlier copy of this source was recognised above, before the source was opened.
      if (target.onDisk == target.asked && ::lstat(target.host().c_str(), &existing) == 0 &&
          S_ISREG(existing.st_mode)) {
        if (sameIdentity(sourceStat, existing)) return {kPathFileAccess};
      } else if (ontoSource(true)) {
        return {kPathFileAccess};
      }
    }
  }
  if (FsStatus s = target.checkReplaceable(); !s.ok()) return s;
  // Written beside the destination and renamed over it: a failed copy leaves the earlier file,
  // and a link under the destination's name is replaced, never written through.
  PendingFile copy(&folderCache());
  if (FsStatus s = copy.create(target.parent, target.asked, target.onDisk); !s.ok()) return s;
  if (FsStatus s = copyContents(in.get(), copy.fd(), sourceStat.st_size); !s.ok()) return s;
  // The copy keeps the access and modification times of its source, so that a later build
  // sees by size and time that it is the same picture.
  const timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
  if (::futimens(copy.fd(), times) != 0) return lastHostFailure();
  // A name free when looked up takes the copy only while it stays free, in one call. Else it
  // is looked at once more just before the rename: a source moved under the destination's name
  // during the copy would lose its name to the rename.
  if (!target.exists()) {
    const FsStatus taken = copy.commitIfFree();
    if (taken.number != kFileAlreadyExists) return taken;
  }
  if (ontoSource(false)) return {kPathFileAccess};
  return copy.commit();
}

namespace {

timespec timeOf(std::int64_t ns) {
  std::int64_t seconds = ns / 1000000000, rest = ns % 1000000000;
  if (rest < 0) {
    --seconds;
    rest += 1000000000;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest)};
}

FileStamp stampOf(const struct stat& st) {
  return {static_cast<std::int64_t>(st.st_size), nanoseconds(st.st_atim), nanoseconds(st.st_mtim),
          nanoseconds(st.st_ctim)};
}

}  // namespace

Expected<FileStamp> WindowsFileSystem::fileStamp(const std::string& path) {
  const Resolved r(*this, path);
  if (r.error) return FsStatus{r.error};
  if (!r.exists()) return FsStatus{kFileNotFound};
  struct stat st;
  if (!statFollow(r.host(), st)) return lastHostFailure();
  if (!S_ISREG(st.st_mode)) return FsStatus{kPathFileAccess};
  return stampOf(st);
}

Expected<FileBytes> WindowsFileSystem::readBytes(const std::string& path) {
  Descriptor in;
  struct stat st;
  if (FsStatus s = openExisting(path, in, st); !s.ok()) return s;
  FileBytes file{{}, stampOf(st)};
  std::string& out = file.bytes;
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == out.size()) out.resize(std::max<size_t>(64 * 1024, out.size() * 2));
    const ssize_t n = ::read(in.get(), out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return lastHostFailure();
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  return file;
}

// Written as copyFile writes: under a hidden name beside the destination, renamed over it once
// whole, so a failure leaves the earlier file.
FsStatus WindowsFileSystem::writeBytes(const std::string& path, std::string_view bytes,
                                       const FileStamp& times) {
  const Resolved target(*this, path);
  if (FsStatus s = target.checkReplaceable(); !s.ok()) return s;
  PendingFile file(&folderCache());
  if (FsStatus s = file.create(target.parent, target.asked, target.onDisk); !s.ok()) return s;
  if (FsStatus s = writeAll(file.fd(), bytes.data(), bytes.size()); !s.ok()) return s;
  const timespec stamps[2] = {timeOf(times.accessed), timeOf(times.modified)};
  if (::futimens(file.fd(), stamps) != 0) return lastHostFailure();
  return file.commit();
}

FsStatus WindowsFileSystem::rename(const std::string& from, const std::string& to) {
  Resolved source(*this, from);
  if (source.error) return {source.error};
  if (!source.exists()) return {kFileNotFound};
  if (source.isRoot()) return {kPathFileAccess};
  // Folders written alike but for letter case are one folder, as on Windows: the new name is
  // looked for in the source's own folder, never in a case twin of it ("Trip" and "TRIP"), and
  // that folder is not looked at again (a change of letter case renames so).
  char drive = 0;
  std::string root;
  std::vector<std::string> components;
  const bool sameFolder = spelled(to, drive, root, components) && !components.empty() &&
                          drive == source.drive && folderKeyOf(components) == source.folderKey;
  Resolved target = sameFolder ? source.sibling(components.back()) : Resolved(*this, to);
  if (target.error) return {target.error};
  if (target.isRoot()) return {kPathFileAccess};

  if (target.exists()) {
    // Only the source's own entry may stand under the new name: a change of letter case. Any
    // other entry is kept, even a second link to the same data.
    // The folders' stats taken while resolving serve: a folder is not looked at twice.
    const auto folderStat = [](const Resolved& r, struct stat& st) {
      if (!r.parentStatOk) return statFollow(r.parent, st);
      st = r.parentStat;
      return true;
    };
    struct stat a, b;
    bool sameEntry = target.onDisk == source.onDisk && folderStat(source, a) &&
                     folderStat(target, b) && sameIdentity(a, b);
    if (!sameEntry) return {kFileAlreadyExists};
    if (target.asked == target.onDisk) return {};
    return respellInPlace(source.parent, source.onDisk, target.asked, &folderCache());
  }
  // No check beforehand: the no-replace rename itself keeps whatever stands under the new name,
  // also an entry that turned up after the look-up.
  const FsStatus renamed = renameNoReplace(source.host(), target.askedHost());
  if (source.parent == target.parent) {
    folderCache().renamed(source.parent, source.onDisk, target.asked, renamed.ok());
  } else {
    folderCache().removed(source.parent, source.onDisk, renamed.ok());
    folderCache().added(target.parent, target.asked, renamed.ok());
  }
  return renamed;
}

namespace {

// Makes the folder under the asked name and tells the cache.
FsStatus madeFolder(const std::string& parent, const std::string& asked, const std::string& host) {
  const bool done = ::mkdir(host.c_str(), 0777) == 0;
  const FsStatus status = done ? FsStatus{} : lastHostFailure(kPathNotFound);
  folderCache().added(parent, asked, done, /*isFolder=*/true);
  // A folder just made is empty: its listing is known without reading it.
  if (done) folderCache().madeEmpty(host);
  return status;
}

}  // namespace

FsStatus WindowsFileSystem::removeFile(const std::string& path) {
  Resolved file(*this, path);
  if (file.error) return {file.error};
  if (!file.exists()) return {kFileNotFound};
  if (file.isRoot()) return {kPathFileAccess};
  struct stat st;
  if (::lstat(file.host().c_str(), &st) != 0) return lastHostFailure();
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return {kPathFileAccess};
  const bool done = ::unlink(file.host().c_str()) == 0;
  folderCache().removed(file.parent, file.onDisk, done);
  if (!done) return lastHostFailure();
  return {};
}

FsStatus WindowsFileSystem::removeFolder(const std::string& path) {
  Resolved folder(*this, path);
  if (folder.error) return {folder.error};
  if (!folder.exists()) return {kFileNotFound};
  if (folder.isRoot()) return {kPathFileAccess};
  // rmdir refuses a link and a folder that holds anything: neither goes.
  const bool done = ::rmdir(folder.host().c_str()) == 0;
  folderCache().removed(folder.parent, folder.onDisk, done);
  if (!done) return {errno == ENOENT ? kFileNotFound : kPathFileAccess};
  return {};
}

FsStatus WindowsFileSystem::removeStaleTemporaryFiles(const std::string& path) {
  const Resolved folder(*this, path);
  if (folder.error) return {folder.error};
  if (!folder.exists()) return {kPathNotFound};
  return vortena::removeStaleTemporaryFiles(folder.host(), &folderCache());
}

FsStatus WindowsFileSystem::makeFolder(const std::string& path) {
  auto made = [](const Resolved& r) { return madeFolder(r.parent, r.asked, r.askedHost()); };
  Resolved r(*this, path);
  if (r.error) return {r.error};
  if (r.isRoot()) return {kPathFileAccess};
  if (r.exists()) {
    // An entry the listing knows for a folder (read so, or made by the program) is not looked
    // at: an entry folder is "made" again for every entry it receives.
    bool isFolder = r.onDiskIsFolder;
    if (!isFolder) {
      struct stat st;
      if (::lstat(r.host().c_str(), &st) != 0) return lastHostFailure();
      if (S_ISLNK(st.st_mode)) {
        // A link under the folder's name would send what is written into the folder elsewhere:
        // the link goes (its target stays as it is) and a real folder takes the name.
        const bool unlinked = ::unlink(r.host().c_str()) == 0;
        folderCache().removed(r.parent, r.onDisk, unlinked);
        if (!unlinked) return lastHostFailure();
        return made(r);
      }
      isFolder = S_ISDIR(st.st_mode);
    }
    // The folder is there already; only its name takes the asked spelling.
    if (isFolder)
      ignoreFailure(r.respell(), "the folder is there either way; only its spelling may stay");
    return {kPathFileAccess};
  }
  return made(r);
}

namespace {

// Every name of the open folder `dir` but "." and "..", with the type and inode its read gives.
FsStatus readNames(int dir, std::vector<RawEntry>& names) {
  alignas(8) char buffer[32 * 1024];
  for (;;) {
    const ssize_t got = ::getdents64(dir, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return lastHostFailure(kPathNotFound);
    if (got == 0) return {};
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      at += entry->d_reclen;
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      names.push_back({entry->d_name, entry->d_type, static_cast<std::uint64_t>(entry->d_ino)});
    }
  }
}

// Whether the host path of `name` in host `folder` passes the system's limit: no call can
// reach it by its path (ENAMETOOLONG), only by a descriptor of its folder.
bool pathTooLong(const std::string& folder, const std::string& name) {
  const size_t separator = folder == "/" ? 0 : 1;
  return folder.size() + separator + name.size() >= PATH_MAX;
}

// Sorts `entries` by upper-cased name; names equal when upper-cased keep a fixed order: by their
// own bytes. The entries are sorted by their numbers, so that only the numbers move.
template <typename Entry>
void sortByName(std::vector<Entry>& entries) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (const Entry& entry : entries) keys.push_back(toUpper(entry.name));
  std::vector<std::uint32_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int byKey = keys[a].compare(keys[b]);
    return byKey != 0 ? byKey < 0 : entries[a].name < entries[b].name;
  });
  std::vector<Entry> sorted;
  sorted.reserve(entries.size());
  for (std::uint32_t i : order) sorted.push_back(std::move(entries[i]));
  entries = std::move(sorted);
}

// The listing of host `folder` (`folderStat` its stat, taken before its names were read, and
// `onDisk` its name as found) as listFolder gives it. `dir` is the folder open, for a look at
// its links; -1 when the names hold none (a kept listing).
FolderListing listingOf(int dir, const std::string& folder, const struct stat& folderStat,
                        const std::string& onDisk, const std::vector<RawEntry>& names) {
  FolderListing listing;
  listing.folder = DirEntry{onDisk, true, static_cast<std::uint64_t>(folderStat.st_dev),
                            static_cast<std::uint64_t>(folderStat.st_ino)};
  std::vector<DirEntry>& out = listing.entries;
  std::vector<UnusableName>& unusable = listing.unusable;
  out.reserve(names.size());
  FolderNames every;  // also the hidden names: the folder cache's index
  every.reserve(names);
  for (const RawEntry& raw : names) {
    every.add(raw.name, raw.type == DT_DIR);
    if (raw.name[0] == '.') continue;
    DirEntry item{raw.name, raw.type == DT_DIR, static_cast<std::uint64_t>(folderStat.st_dev),
                  raw.inode};
    // The listing's own type spares a stat per name (a folder of 100,000 pictures); links
    // and entries of unknown type are looked at, links followed.
    if (raw.type == DT_LNK || raw.type == DT_UNKNOWN) {
      struct stat st;
      if (dir < 0 || ::fstatat(dir, raw.name.c_str(), &st, 0) != 0) continue;
      item.isFolder = S_ISDIR(st.st_mode);
      item.device = static_cast<std::uint64_t>(st.st_dev);
      item.inode = static_cast<std::uint64_t>(st.st_ino);
    }
    // A name holding a backslash can never be written as a Windows path (the backslash would
    // split it), and a path past the limit reaches nothing: such names are set apart, so they
    // are never read as paths, and the caller can tell the user of them.
    if (raw.name.find('\\') != std::string::npos)
      unusable.push_back({raw.name, item.isFolder, UnusableName::Why::HoldsBackslash});
    else if (pathTooLong(folder, raw.name))
      unusable.push_back({raw.name, item.isFolder, UnusableName::Why::PathTooLong});
    else
      out.push_back(std::move(item));
  }
  // The scan lists every folder it enters; the look-ups of the build that follows find their
  // names in the index made here, without reading the folder again.
  folderCache().remember(folder, folderStat, std::move(every));
  sortByName(out);
  sortByName(unusable);
  return listing;
}

}  // namespace

void WindowsFileSystem::beginTreeListing(const std::string& path) {
  std::optional<std::string> root = toHostPath(path);
  listings_ = root ? std::make_unique<ListingStore>(*root) : nullptr;
}

void WindowsFileSystem::endTreeListing() {
  if (!listings_) return;
  ignoreFailure(listings_->save(),
                "only a saving: without the store the next scan reads every folder");
  listings_.reset();
}

Expected<FolderListing> WindowsFileSystem::listFolder(const std::string& path) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;
  // Read with getdents64 on a descriptor of our own: one open, one fstat (the folder's stamp
  // for the cache and its identity, taken before the read), the reads and one close, where a
  // directory stream would stat the folder once more.
  Descriptor dir;
  std::string folder, onDisk;
  // The common case of a walk through a tree: every folder of the path is there in exactly the
  // spelling asked (the scan asks for the names the listing above gave). The open alone then
  // finds the folder the look-up would find, an exact spelling being always preferred, and the
  // look-up's stat of the folder above is spared.
  std::string exact, last;
  timespec before{};
  if (exactHost(path, exact, last)) {
    if (listings_) before = stampClockNow();
    if (listings_ && listings_->knows(exact)) {
      // During a scan a folder unchanged since the last scan of its tree is not read again.
      struct stat now;
      if (statFollow(exact, now) && S_ISDIR(now.st_mode))
        if (const std::vector<RawEntry>* kept = listings_->find(exact, now))
          return listingOf(-1, exact, now, last, *kept);
    }
    dir.reset(::open(exact.c_str(), kFlags));
    if (dir.valid()) {
      folder = std::move(exact);
      onDisk = last;
    }
  }
  const bool exactly = dir.valid();  // only a folder found so is kept for the next scan
  if (!dir.valid()) {
    Resolved r(*this, path);
    if (r.error) return FsStatus{r.error};
    if (!r.exists()) return FsStatus{kPathNotFound};
    folder = r.host();
    onDisk = r.isRoot() ? std::string() : r.onDisk;
    dir.reset(::open(folder.c_str(), kFlags));
    if (!dir.valid()) return lastHostFailure(kPathNotFound);
  }
  struct stat folderStat;
  if (::fstat(dir.get(), &folderStat) != 0) return lastHostFailure(kPathNotFound);
  std::vector<RawEntry> names;
  if (FsStatus s = readNames(dir.get(), names); !s.ok()) return s;
  FolderListing listing = listingOf(dir.get(), folder, folderStat, onDisk, names);
  if (listings_ && exactly) listings_->put(folder, folderStat, before, std::move(names));
  return listing;
}

Expected<DirEntry> WindowsFileSystem::folderIdentity(const std::string& path) {
  Resolved r(*this, path);
  if (r.error) return FsStatus{r.error};
  if (!r.exists()) return FsStatus{kPathNotFound};
  struct stat st;
  if (!statFollow(r.host(), st)) return lastHostFailure(kPathNotFound);
  if (!S_ISDIR(st.st_mode)) return FsStatus{kPathNotFound};
  return DirEntry{r.onDisk, true, static_cast<std::uint64_t>(st.st_dev),
                  static_cast<std::uint64_t>(st.st_ino)};
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

Expected<DirEntry> WindowsFileSystem::fileIdentity(const std::string& path) {
  Resolved r(*this, path);
  if (r.error) return FsStatus{r.error};
  if (!r.exists()) return FsStatus{kFileNotFound};
  struct stat st;
  if (!statFollow(r.host(), st)) return lastHostFailure();
  return DirEntry{r.isRoot() ? std::string() : r.onDisk, S_ISDIR(st.st_mode),
                  static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

Expected<EntryStamp> WindowsFileSystem::entryStamp(const std::string& path) {
  // The clock the kernel stamps changes with, read before the look (see stamp_clock.h).
  const timespec before = stampClockNow();
  struct stat st;
  std::string name;
  // The common case first: the path is there in exactly the spelling asked, which a look-up
  // prefers to any case variant, so one stat of it says all (a rebuild looks at every folder
  // and source so).
  std::string host;
  const bool found = exactHost(path, host, name) && statFollow(host, st);
  if (!found) {
    Resolved r(*this, path);
    if (r.error) return FsStatus{r.error};
    if (!r.exists()) return FsStatus{kFileNotFound};
    host = r.host();
    if (!statFollow(host, st)) return lastHostFailure();
    name = r.isRoot() ? std::string() : r.onDisk;
  }
  return EntryStamp{name,
                    S_ISDIR(st.st_mode),
                    static_cast<std::uint64_t>(st.st_dev),
                    static_cast<std::uint64_t>(st.st_ino),
                    static_cast<std::int64_t>(st.st_size),
                    nanoseconds(st.st_mtim),
                    nanoseconds(st.st_ctim),
                    stampSettled(host, st, before)};
}

Expected<bool> WindowsFileSystem::sameContent(const std::string& a, const std::string& b) {
  Descriptor first, second;
  struct stat firstStat, secondStat;
  if (FsStatus s = Resolved(*this, a).openExisting(first, firstStat); !s.ok()) return s;
  if (FsStatus s = Resolved(*this, b).openExisting(second, secondStat); !s.ok()) return s;
  if (firstStat.st_size != secondStat.st_size) return false;
  if (sameIdentity(firstStat, secondStat)) return true;
  return compareOpenFiles(first.get(), second.get());
}

}  // namespace vortena
