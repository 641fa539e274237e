// The file system as the program sees it: Windows paths (drive letter, backslashes, letter case
// ignored on look-up) and Windows error numbers. Everything above src/fs/ reaches the disk
// only through this interface, so the same code runs on the real disk and under the
// fault-injecting wrapper of the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fs/expected.h"
#include "fs/fs_status.h"

namespace vortena {

// One name of a folder listing.
struct DirEntry {
  std::string name;  // as stored on disk
  bool isFolder = false;
  // Identity of what the name leads to, links followed (for a mount point: the folder under it;
  // folderIdentity gives the mounted one).
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// A name that a listing leaves out although it is not hidden, because no path of the program
// can reach it: its host path would pass the system's length limit, or it holds a "\", which a
// Windows path would read as a separator.
struct UnusableName {
  enum class Why { PathTooLong, HoldsBackslash };
  std::string name;  // as stored on disk
  bool isFolder = false;
  Why why = Why::PathTooLong;
};

// Size and times of a regular file; the times in nanoseconds since 1970.
struct FileStamp {
  std::int64_t size = 0;
  std::int64_t accessed = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;  // the status change time, which nobody can set
};

// What tells a file or folder apart from its later self (links followed): its identity, size
// and modification and status change times (nanoseconds since 1970), and its name as found on
// disk. Any replacement, edit or rename of a file, and any name made, removed or renamed in a
// folder, gives it another stamp.
struct EntryStamp {
  std::string name;  // as stored on disk
  bool isFolder = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  // Whether its last change lies in an earlier granule of the file system's clock than the
  // look (fs/host/stamp_clock.h): then any later change gives it another stamp. A change in the very
  // granule of the last one may keep its times (whole seconds on many cards and sticks), so a
  // stamp that is not settled tells nothing of the changes to come. Not part of the comparison.
  bool settled = false;
  bool operator==(const EntryStamp& other) const {
    return name == other.name && isFolder == other.isFolder && device == other.device &&
           inode == other.inode && size == other.size && modified == other.modified &&
           changed == other.changed;
  }
};

// A text file open for reading. Lines end at LF, CR LF or a lone CR; the line end is not
// part of the line.
class TextReader {
 public:
  virtual ~TextReader() = default;
  // Reads the next line into `line`; false at the end of the file (line left empty).
  virtual bool readLine(std::string& line) = 0;
};

// A text file open for writing. Every line written ends with CR LF. The file takes its name
// only at a successful close: until then the earlier file of that name is untouched.
class TextWriter {
 public:
  // A writer dropped without close() writes nothing: the earlier file stays.
  virtual ~TextWriter() = default;
  virtual FsStatus writeLine(std::string_view line) = 0;
  // Flushes, closes and gives the file its name; ok only when every step succeeded. On a
  // failure (61 for a full disk, 57 for an I/O error, ...) nothing was replaced and the earlier
  // file keeps every byte. Later writes fail; closing twice returns the first close's outcome.
  virtual FsStatus close() = 0;
};

// What copyFile does with a destination that already is the earlier copy of the unchanged
// source: a regular file of the source's size and modification time, written after the source
// last changed.
enum class EarlierCopy {
  Keep,        // left as it is: rebuilds copy only what changed
  KeepIfSame,  // compared with the source byte for byte, and left only when it holds its bytes
  Replace,     // written all the same (the caller knows it holds another source's bytes, which
               // size and time cannot tell apart)
};

// A folder's listing (see FileSystem::listFolder).
struct FolderListing {
  // Every name but hidden ones (beginning with "."), sorted by the byte order of the upper-cased
  // names; names whose attributes cannot be read are left out.
  std::vector<DirEntry> entries;
  // The folder listed, as folderIdentity gives it.
  DirEntry folder;
  // The names that cannot be used (see UnusableName), in the same order; hidden ones are in
  // neither list.
  std::vector<UnusableName> unusable;
};

// A whole regular file and its stamp, taken from the open file.
struct FileBytes {
  std::string bytes;
  FileStamp stamp;
};

// Whether `path` is a full drive path: a drive letter, a colon and a backslash
// ("C:\\album\\x.htm"), the names after it taken from the drive's root ("/" separates as "\\"
// does: "C:/album" too). A relative path ("x"), a path relative to a drive's current folder
// ("C:x"), one rooted on the current drive ("\\x") and an empty one are not: they mean
// something only against a current drive and folder (fs/windows/drive_folders.h).
bool isFullDrivePath(std::string_view path);

// Every operation takes full drive paths only (isFullDrivePath) and refuses any other with 76
// before it looks at the disk, so that no operation depends on a current drive or folder: the
// build's thread and the copy threads share one file system. A path typed by the user is made
// full with the program's current folders (DriveFolders) before it reaches an operation.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens an existing regular file for reading (links followed). Anything else, a folder, a
  // FIFO, a socket or a device, fails with 75 at once.
  virtual Expected<std::unique_ptr<TextReader>> openRead(const std::string& path) = 0;
  // Opens a new file for writing that replaces the file of that name at its writer's close.
  // A case variant of the name already on disk is replaced, and the file ends up with exactly
  // the spelling asked for; a symbolic link under the name is replaced, never written through.
  // Fails at once with 76 for a missing folder or an unmapped drive, with 75 for a name the
  // user may not write, a read-only folder, a folder, a device, a FIFO or a socket.
  virtual Expected<std::unique_ptr<TextWriter>> openWrite(const std::string& path) = 0;
  // Copies a regular file byte for byte with its access and modification times, replacing the
  // destination only once the copy is whole (also a case variant of it, which takes the asked
  // spelling, and a symbolic link, never its target). A source that is not a regular file
  // fails with 75 at once. A copy onto the source itself fails with 75 and changes nothing.
  // A destination that is already the earlier copy of the unchanged source is treated as
  // `earlier` says (by default left as it is: rebuilds copy only what changed).
  // It may run on other threads at the same time, and at the same time as this file system's
  // other operations on their own (the page writer copies on two threads beside its pass),
  // never two at once onto the same file: an implementation keeps what it shares between calls
  // safe for that.
  virtual FsStatus copyFile(const std::string& from, const std::string& to,
                            EarlierCopy earlier) = 0;
  FsStatus copyFile(const std::string& from, const std::string& to) {
    return copyFile(from, to, EarlierCopy::Keep);
  }
  // The calling thread makes copies in the background of a build, for as long as it lives: a
  // file system may let the host run it behind the thread that writes the pages, which every
  // copy waits behind when the processors are short. A hint; none by default.
  virtual void copiesInBackground() {}
  // Size and times of an existing regular file (links followed); 75 for anything else.
  virtual Expected<FileStamp> fileStamp(const std::string& path) = 0;
  // Reads a whole regular file (opened as openRead opens it), with its stamp taken from the
  // open file.
  virtual Expected<FileBytes> readBytes(const std::string& path) = 0;
  // Writes `bytes` as the file `path`, replacing it only once it is whole (as copyFile
  // replaces: a case variant takes the asked spelling, a symbolic link is replaced itself), and
  // gives it the access and modification times of `times`.
  virtual FsStatus writeBytes(const std::string& path, std::string_view bytes,
                              const FileStamp& times) = 0;
  // Renames a file or folder; it never replaces anything. Fails with 58 when `to` names
  // another existing entry, also one that appears during the call. A change of letter case
  // alone renames in place, in the source's own folder (folders named alike but for letter
  // case count as that folder).
  virtual FsStatus rename(const std::string& from, const std::string& to) = 0;
  // Removes a file (a symbolic link itself, never what it leads to). A folder or a device is
  // refused with 75; a missing file fails with 53.
  virtual FsStatus removeFile(const std::string& path) = 0;
  // Removes an empty folder (never what a symbolic link under its name leads to: the link is
  // refused). A folder that holds anything, hidden names included, stays and fails with 75; a
  // missing one fails with 53.
  virtual FsStatus removeFolder(const std::string& path) = 0;
  // Removes from the folder `path` the temporary files that a write of this program left when
  // its process was killed outright: the program's own hidden names of a process that has
  // ended, never a file a running process may still be writing, never any other name.
  // Fails as listFolder does when the folder cannot be read, or with the error of a file that
  // could not be removed.
  virtual FsStatus removeStaleTemporaryFiles(const std::string& path) = 0;
  // Creates one folder (its parent must exist). An existing folder fails with 75; when it
  // exists in another letter case it is first renamed to the asked spelling. A symbolic link
  // under the name is removed (its target untouched) and a real folder made in its place.
  virtual FsStatus makeFolder(const std::string& path) = 0;
  // Lists a folder (see FolderListing).
  virtual Expected<FolderListing> listFolder(const std::string& path) = 0;
  // Identity of an existing folder (links followed), for loop detection.
  virtual Expected<DirEntry> folderIdentity(const std::string& path) = 0;

  // Identity of an existing file or folder (links followed): the same device and inode is the
  // same file, whatever names lead to it. Fails with 53 or 76 when nothing is there.
  virtual Expected<DirEntry> fileIdentity(const std::string& path) = 0;
  // Stamp of an existing file or folder (see EntryStamp). Fails with 53 or 76 when nothing is
  // there.
  virtual Expected<EntryStamp> entryStamp(const std::string& path) = 0;
  // Whether two existing regular files hold the same bytes; fails as openRead does when either
  // cannot be read.
  virtual Expected<bool> sameContent(const std::string& a, const std::string& b) = 0;

 protected:
  friend class TreeListing;
  // See TreeListing. What listFolder gives does not change.
  virtual void beginTreeListing([[maybe_unused]] const std::string& path) {}
  virtual void endTreeListing() {}
};

// A scan of the folder tree at `path`, for the object's life: a file system may keep the
// listings of the folders listed meanwhile for the next scan of that tree, and serve a folder
// that did not change since from them. What listFolder gives does not change. One scan at a
// time, on the thread that scans.
class TreeListing {
 public:
  TreeListing(FileSystem& fs, const std::string& path) : fs_(fs) { fs_.beginTreeListing(path); }
  ~TreeListing() { fs_.endTreeListing(); }
  TreeListing(const TreeListing&) = delete;
  TreeListing& operator=(const TreeListing&) = delete;

 private:
  FileSystem& fs_;
};

// Whether one of the first `lines` lines of the text file at `path` holds `text` (ASCII letters
// compared without regard to case); false when the file cannot be read.
bool firstLinesHold(FileSystem& fs, const std::string& path, std::string_view text, int lines);

}  // namespace vortena
