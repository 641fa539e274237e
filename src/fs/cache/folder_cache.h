// Listings of host folders kept in memory, so that a name is found case-insensitively without
// reading its folder again: each folder is read once into an index by upper-cased name and kept
// in step with the program's own creates, renames and removes.
//
// An index is trusted only while its folder's stamp (device, inode, modification time with
// nanoseconds, size and link count, from a stat taken before the folder was read) is the one on
// disk: a change by another program between two operations changes the modification time, and
// the folder is read again. Kernels with fine-grained timestamps (Linux 6.13 and later on ext4,
// xfs, btrfs and tmpfs) give a change that follows a stat of the folder a time of its own, so
// every change between two operations is seen. The blind spots that remain are those of a
// coarse file-system clock, and one race: a change by another program in the same clock tick
// (a few milliseconds) as the last read or change of that folder, or made while one of the
// program's own changes of that folder runs (between the change and the look at the folder that
// follows it; for a file written under a temporary name, from the temporary file's creation to
// the look after it takes its name; see OwnChange), is taken as already known, and seen only at
// the folder's next change.
//
// Memory: one string per name in the folders looked in or written, at most `maxNames` of them
// (64 Ki by default, about ten megabytes): past that the folders used longest ago are dropped
// until half the room is free, so that the folders a build is working in stay and a huge tree
// or album does not grow the program. A folder of more than half the room is kept all the same:
// it is the one a big build keeps coming back to.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "fs/host/host_files.h"

namespace vortena {

// The names of one folder as a read gives them, and which are folders: each name after a byte
// that tells its type and before a NUL (a host name holds none), all in one string. A listing
// kept until its first look-up costs its bytes, where a string a name would cost three times
// as much, in memory touched afresh for every folder of a big tree.
class FolderNames {
 public:
  // Makes room for `names` at once (any container of entries with a `name`).
  template <typename Names>
  void reserve(const Names& names) {
    std::size_t bytes = bytes_.size();
    for (const auto& entry : names) bytes += entry.name.size() + 2;
    bytes_.reserve(bytes);
  }
  void add(std::string_view name, bool isFolder);
  std::size_t size() const { return count_; }
  // Calls each(std::string_view name, bool isFolder) for every name, in the order added.
  template <typename Each>
  void forEach(Each each) const {
    for (std::size_t at = 0; at < bytes_.size();) {
      const std::size_t end = bytes_.find('\0', at + 1);
      each(std::string_view(bytes_).substr(at + 1, end - at - 1), bytes_[at] == kFolder);
      at = end + 1;
    }
  }

 private:
  static constexpr char kFolder = 'd', kOther = '-';
  std::string bytes_;
  std::size_t count_ = 0;
};

// The host calls tell it the program's own changes (FolderChanges).
class FolderCache : public FolderChanges {
 public:
  static constexpr std::size_t kDefaultMaxNames = 1 << 16;
  explicit FolderCache(std::size_t maxNames = kDefaultMaxNames) : maxNames_(maxNames) {}

  // The name in host `folder` that stands for `asked`: the exact spelling when it exists, else
  // the first case variant in byte order; nothing when no entry matches. `folderStat` is the
  // folder's stat (links followed) taken by the caller just now, or null when it failed. When
  // the folder cannot be read, the answer comes from the disk as before the cache (the asked
  // spelling when it cannot be searched, so that the operation itself reports why). A folder
  // is read at its second look-up: the first one, and any in a folder changed since it was
  // read, is answered by a look at the exact spelling when that is there. `isFolder`, when
  // given, tells whether the answer is known to be a folder (not a link to one): the listing's
  // own type, which spares a stat of it.
  std::optional<std::string> find(const std::string& folder, const struct stat* folderStat,
                                  const std::string& asked, bool* isFolder = nullptr);

  // The program's own changes of `folder`: the index, when there is one, takes or loses the
  // name and the folder's new stamp. `done` false (the change failed) drops the index instead.
  // `isFolder`: the name is a folder the program made.
  void added(const std::string& folder, const std::string& name, bool done = true,
             bool isFolder = false) override;
  void removed(const std::string& folder, const std::string& name, bool done = true) override;
  // `from` became `to` in `folder`: the two changes above with one look at the folder.
  void renamed(const std::string& folder, const std::string& from, const std::string& to,
               bool done = true) override;
  // A whole listing of `folder` read by someone else (the scan's listFolder), with the stat of
  // the folder taken before the read: it becomes the folder's index, made at the first look-up
  // in it (a build looks in few of the folders its scan read).
  void remember(const std::string& folder, const struct stat& folderStat, FolderNames names);
  // The program made the folder `folder` just now: it is empty, and its listing is known.
  void madeEmpty(const std::string& folder);
  // A hidden name of the program's came and went (a temporary file): only the stamp moves.
  void touched(const std::string& folder, bool done = true) override;

  // One of the program's own changes of `folder`, from just before it is made until the
  // update above that follows it has taken the folder's new stamp (the object's scope). A
  // look-up on another thread that finds the folder changed meanwhile answers from the index
  // rather than read the folder again: what changed is that change, whose name the index gets
  // at its update (the copies of one entry folder, made by two threads at once).
  class OwnChange {
   public:
    OwnChange(FolderCache& cache, std::string folder);
    ~OwnChange();
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;

   private:
    FolderCache& cache_;
    std::string folder_;
  };
  // What an OwnChange's scope marks, for the host calls' own changes.
  void changing(const std::string& folder) override;
  void ended(const std::string& folder) override;

  // Drops every index (tests, and a bound on memory).
  void clear();

  // Counters for tests and the benchmark: folders read since the process started.
  std::size_t reads() const { return reads_; }

 private:
  struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec mtime{};
    off_t size = 0;
    nlink_t links = 0;
    bool operator==(const Stamp& other) const;
  };
  // A name on disk, and whether it is known to be a folder, not a link (read as such, or made
  // by the program).
  struct Spelling {
    std::string name;
    bool isFolder = false;
  };
  // The names on disk that are one name when upper-cased, in byte order. The first is held
  // inline: a folder's names seldom differ only in letter case, and a name costs one node.
  struct Spellings {
    Spelling first;
    std::vector<Spelling> more;
    // The spelling `name`, or null.
    Spelling* find(std::string_view name);
    // Adds `name` in its place, or sets its type when it is there.
    void put(std::string_view name, bool isFolder);
    // Removes `name`; true when no spelling is left.
    bool take(const std::string& name);
  };
  struct Listing {
    Stamp stamp;
    std::uint64_t lastUse = 0;  // the cache's use counter when the listing was last looked in
    // Upper-cased name -> every name on disk with it.
    std::unordered_map<std::string, Spellings> names;
    FolderNames unindexed;  // names remembered but not yet in the index (see index)
    std::size_t size() const { return names.size() + unindexed.size(); }
  };
  static Stamp stampOf(const struct stat& st);
  static bool readNames(const std::string& folder, FolderNames& names);
  // With the lock held: the listing's answer for `asked` (see find).
  std::optional<std::string> lookUp(Listing& listing, const std::string& asked, bool* isFolder);
  void drop(const std::string& folder);
  // With the lock held: puts the listing's unindexed names into its index.
  void index(Listing& listing);
  void add(Listing& listing, std::string_view name, bool isFolder = false);
  void remove(Listing& listing, const std::string& name);
  // With the lock held: `names` become the folder's listing, indexed at its first look-up.
  Listing& store(const std::string& folder, const struct stat& st, FolderNames names);
  // Drops the listings used longest ago until `more` names fit in half the room.
  void makeRoom(std::size_t more);
  // Applies one change of the program's to the folder's index and takes its new stamp.
  template <typename Change>
  void update(const std::string& folder, bool done, Change change);

  std::mutex mutex_;
  std::unordered_map<std::string, Listing> folders_;
  // Folders not read whose one look-up was answered by a look at the exact name (see find).
  static constexpr std::size_t kMaxPeeked = 4096;
  std::unordered_set<std::string> peeked_;
  // Folders with own changes under way (OwnChange), and how many.
  std::unordered_map<std::string, int> changing_;
  std::size_t maxNames_;
  std::size_t names_ = 0;
  std::size_t reads_ = 0;
  std::uint64_t uses_ = 0;
};

// The one cache of the process: keyed by host path, so every WindowsFileSystem shares it.
FolderCache& folderCache();

}  // namespace vortena
