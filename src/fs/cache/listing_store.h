// Listings of the folders of a tree, kept on disk from one scan of the tree to the next: a scan
// of a tree that did not change then costs one stat a folder instead of a read of it.
//
// A listing serves only a folder whose stat is the one it was read with, field for field:
// device, inode, size, link count, modification time and status change time. Any name made,
// removed or renamed in a folder changes its times. A listing is kept only when it can tell no
// lie later:
//  - the stat it was read with was settled (fs/host/stamp_clock.h): the folder's last change lay in
//    an earlier granule of the file system's clock than the read, so that a change after the
//    read cannot keep the same times (whole seconds on many USB sticks and cards);
//  - it holds no symbolic link and no entry of unknown type, whose type the folder's stat
//    does not vouch for (a link may come to lead elsewhere without its folder changing).
// Each listing is stored with a digest of its bytes: one that does not match is not trusted,
// and its folder is read as if it were not kept.
//
// The store of a tree is a file of the program's own cache folder ($XDG_CACHE_HOME/vortena, or
// ~/.cache/vortena), named by a digest of the tree's host path, written whole. Only the folders
// listed by the last scan of the tree are kept; the stores of the trees scanned longest ago go
// past kMaxStores. The store only ever spares work: a missing, unreadable or foreign one is
// a scan without it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fs/cache/folder_cache.h"
#include "fs/host/host_files.h"

namespace vortena {

// One name of a folder as the folder read gives it.
struct RawEntry {
  std::string name;
  unsigned char type = 0;  // the d_type of the read
  std::uint64_t inode = 0;
};

class ListingStore {
 public:
  static constexpr std::size_t kMaxStores = 32;

  // The store of the tree at host path `root`; `cacheFolder` empty: the program's cache folder.
  // Reads what the last scan of that tree kept.
  explicit ListingStore(const std::string& root, std::string cacheFolder = {});

  // The names kept for host `folder` when `now`, a stat of it just taken, is the stat they were
  // read with; null otherwise. A listing found is kept for the next scan too. What is returned
  // lasts until the next call.
  const std::vector<RawEntry>* find(const std::string& folder, const struct stat& now);
  // Whether a listing of host `folder` is kept, whatever its stat: a folder it does not know is
  // read without looking at its stat first.
  bool knows(const std::string& folder) const { return earlier_.count(folder) != 0; }
  // The names of host `folder` just read, with the stat taken before the read and the clock
  // (stampClockNow) read before that stat: kept when they can tell no lie (see above).
  void put(const std::string& folder, const struct stat& st, const timespec& before,
           const std::vector<RawEntry>& names);
  // Writes the store when this scan changed it.
  FsStatus save();

  // Folders whose listing served, since the store was made (tests, benchmark).
  std::size_t served() const { return served_; }
  const std::string& file() const { return file_; }

 private:
  // A listing of the file as read: where its record lies in `data_`.
  struct Record {
    std::size_t at = 0;
    std::size_t size = 0;
  };
  // Memory of a mapping of its own whose pages are all made at once: read into memory taken a
  // page at a time, the store of a big tree would cost a page fault for every 4 KiB, and on a
  // virtual machine a fault costs as much as the stat of a folder.
  class Memory {
   public:
    Memory() = default;
    ~Memory();
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
    // False when the memory cannot be had.
    bool make(std::size_t size);
    char* bytes() const { return data_; }

   private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
  };
  void load();
  // Appends listings read afresh to the next store, which is written as the scan goes, so that
  // a tree of 100,000 names does not hold them all in memory.
  void keep(const std::string& record);
  void flush();
  void prune() const;

  std::string folder_;  // the cache folder
  std::string file_;
  Memory memory_;
  std::string_view data_;  // the file as read; its records are taken apart only when asked for
  std::unordered_map<std::string_view, Record> earlier_;  // not yet found by this scan
  std::vector<Record> reused_;                            // found unchanged: written again as read
  std::vector<RawEntry> found_;                           // the last one found
  PendingFile next_{&folderCache()};  // the next store, made at the first listing read afresh
  std::string pending_;  // what is not written to it yet
  FsStatus writeError_;  // the first failure to write the next store
  bool changed_ = false;
  std::size_t served_ = 0;
};

}  // namespace vortena
