#include "fs/cache/folder_cache.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include "core/text.h"
#include "fs/host/host_files.h"
#include "fs/host/host_path.h"

namespace vortena {

bool FolderCache::Stamp::operator==(const Stamp& other) const {
  return device == other.device && inode == other.inode && mtime.tv_sec == other.mtime.tv_sec &&
         mtime.tv_nsec == other.mtime.tv_nsec && size == other.size && links == other.links;
}

FolderCache::Stamp FolderCache::stampOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_mtim, st.st_size, st.st_nlink};
}

void FolderNames::add(std::string_view name, bool isFolder) {
  bytes_ += isFolder ? kFolder : kOther;
  bytes_ += name;
  bytes_ += '\0';
  ++count_;
}

// Every name of the folder; false when it cannot be read. Called without the lock: the disk
// work of one thread never holds up another's look-ups.
bool FolderCache::readNames(const std::string& folder, FolderNames& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.add(name, entry->d_type == DT_DIR);
  }
  ::closedir(dir);
  return true;
}

void FolderCache::drop(const std::string& folder) {
  auto old = folders_.find(folder);
  if (old == folders_.end()) return;
  names_ -= std::min(names_, old->second.size());
  folders_.erase(old);
}

FolderCache::Listing& FolderCache::store(const std::string& folder, const struct stat& st,
                                         FolderNames names) {
  drop(folder);
  peeked_.erase(folder);
  makeRoom(names.size());
  Listing& listing = folders_[folder];
  listing.stamp = stampOf(st);
  listing.lastUse = ++uses_;
  names_ += names.size();  // counted as they are; the index counts them by upper-cased name
  listing.unindexed = std::move(names);
  return listing;
}

void FolderCache::makeRoom(std::size_t more) {
  if (names_ + more <= maxNames_) return;
  std::vector<std::pair<std::uint64_t, std::string>> byUse;
  byUse.reserve(folders_.size());
  for (const auto& [folder, listing] : folders_) byUse.emplace_back(listing.lastUse, folder);
  std::sort(byUse.begin(), byUse.end());
  // The folder looked in last stays whatever its size: it is the one in use.
  if (!byUse.empty()) byUse.pop_back();
  for (const auto& [use, folder] : byUse) {
    if (names_ + more <= maxNames_ / 2) break;
    auto it = folders_.find(folder);
    // Nor does a folder of more than half the room go (the album beside a big build's entry
    // folders): read again, it would take the room of many small ones, again and again.
    if (it->second.size() > maxNames_ / 2) continue;
    names_ -= std::min(names_, it->second.size());
    folders_.erase(it);
  }
}

void FolderCache::remember(const std::string& folder, const struct stat& folderStat,
                           FolderNames names) {
  std::lock_guard lock(mutex_);
  store(folder, folderStat, std::move(names));
}

void FolderCache::index(Listing& listing) {
  if (listing.unindexed.size() == 0) return;
  const FolderNames names = std::exchange(listing.unindexed, {});
  names_ -= std::min(names_, names.size());
  listing.names.reserve(listing.names.size() + names.size());
  names.forEach([&](std::string_view name, bool isFolder) { add(listing, name, isFolder); });
}

std::optional<std::string> FolderCache::find(const std::string& folder,
                                             const struct stat* folderStat,
                                             const std::string& asked, bool* isFolder) {
  if (isFolder) *isFolder = false;
  if (!folderStat || !S_ISDIR(folderStat->st_mode) || asked == "." || asked == "..")
    return findEntry(folder, asked);
  bool peek = true, known = false;
  {
    std::lock_guard lock(mutex_);
    auto it = folders_.find(folder);
    known = it != folders_.end();
    // Unchanged, or changed by one of the program's own changes under way on another thread
    // (OwnChange).
    if (known && (it->second.stamp == stampOf(*folderStat) || changing_.count(folder)))
      return lookUp(it->second, asked, isFolder);
    // A folder never read is only looked at for its first look-up; the second reads it.
    if (!known) {
      if (peeked_.size() >= kMaxPeeked) peeked_.clear();
      peek = peeked_.insert(folder).second;
    }
  }
  // The caller's stat may predate one of the program's own changes that has since taken the
  // folder's new stamp: one more stat tells, where a read would cost a look at every name.
  struct stat now;
  const bool looked = known && statFollow(folder, now);
  if (looked) {
    std::lock_guard lock(mutex_);
    auto it = folders_.find(folder);
    if (it != folders_.end() && it->second.stamp == stampOf(now))
      return lookUp(it->second, asked, isFolder);
  }
  // The exact spelling, when it is there, is the answer whatever else the folder holds. One
  // look at it spares reading the whole folder: in a big folder that keeps changing (the
  // sources taking the build's case while the copy thread looks them up), and in a folder
  // where one name is asked (a rebuild looks for one copy in each entry folder).
  struct stat exact;
  if (peek && ::lstat(joinHost(folder, asked).c_str(), &exact) == 0) {
    if (isFolder) *isFolder = S_ISDIR(exact.st_mode);
    return asked;
  }
  // Read afresh. The stamp is the one taken before the read: a change during the read leaves a
  // newer stamp on disk, so the index is read again at its next use rather than trusted; and
  // an index stored meanwhile by another thread is replaced by this one, never merged with it.
  FolderNames names;
  const bool read = readNames(folder, names);
  std::lock_guard lock(mutex_);
  if (!read) {
    drop(folder);
    // A folder that may be searched but not read: one look at the exact spelling.
    return findEntry(folder, asked);
  }
  ++reads_;
  return lookUp(store(folder, looked ? now : *folderStat, std::move(names)), asked, isFolder);
}

std::optional<std::string> FolderCache::lookUp(Listing& listing, const std::string& asked,
                                               bool* isFolder) {
  listing.lastUse = ++uses_;
  index(listing);
  auto found = listing.names.find(toUpper(asked));
  if (found == listing.names.end()) return std::nullopt;
  Spellings& spellings = found->second;
  const Spelling* exact = spellings.find(asked);
  const Spelling& answer = exact ? *exact : spellings.first;
  if (isFolder) *isFolder = answer.isFolder;
  return answer.name;
}

FolderCache::Spelling* FolderCache::Spellings::find(std::string_view name) {
  if (first.name == name) return &first;
  for (Spelling& other : more)
    if (other.name == name) return &other;
  return nullptr;
}

void FolderCache::Spellings::put(std::string_view name, bool isFolder) {
  if (Spelling* there = find(name)) {
    there->isFolder = isFolder;
    return;
  }
  Spelling added{std::string(name), isFolder};
  if (added.name < first.name) std::swap(added, first);
  auto at = std::lower_bound(more.begin(), more.end(), added.name,
                             [](const Spelling& s, const std::string& n) { return s.name < n; });
  more.insert(at, std::move(added));
}

bool FolderCache::Spellings::take(const std::string& name) {
  if (first.name == name) {
    if (more.empty()) return true;
    first = std::move(more.front());
    more.erase(more.begin());
    return false;
  }
  auto at =
      std::find_if(more.begin(), more.end(), [&name](const Spelling& s) { return s.name == name; });
  if (at != more.end()) more.erase(at);
  return false;
}

FolderCache::OwnChange::OwnChange(FolderCache& cache, std::string folder)
    : cache_(cache), folder_(std::move(folder)) {
  cache_.changing(folder_);
}

FolderCache::OwnChange::~OwnChange() { cache_.ended(folder_); }

void FolderCache::changing(const std::string& folder) {
  std::lock_guard lock(mutex_);
  ++changing_[folder];
}

void FolderCache::ended(const std::string& folder) {
  std::lock_guard lock(mutex_);
  auto it = changing_.find(folder);
  if (it != changing_.end() && --it->second <= 0) changing_.erase(it);
}

template <typename Change>
void FolderCache::update(const std::string& folder, bool done, Change change) {
  {
    std::lock_guard lock(mutex_);
    if (folders_.find(folder) == folders_.end()) return;
  }
  // The stat without the lock, as the read above. A change by another thread between it and
  // the lock leaves the index a stamp older than the disk's: it is then read again.
  struct stat st;
  const bool there = done && statFollow(folder, st) && S_ISDIR(st.st_mode);
  std::lock_guard lock(mutex_);
  auto it = folders_.find(folder);
  if (it == folders_.end()) return;
  if (!there) {
    drop(folder);
    return;
  }
  index(it->second);
  change(it->second);
  it->second.stamp = stampOf(st);
  // The names the program adds count as those read: past the room, the folders used longest
  // ago go (the entry folders a build has completed).
  makeRoom(0);
}

void FolderCache::add(Listing& listing, std::string_view name, bool isFolder) {
  auto [it, isNew] = listing.names.try_emplace(toUpper(name));
  if (isNew) {
    it->second.first = {std::string(name), isFolder};
    ++names_;
  } else {
    it->second.put(name, isFolder);
  }
}

void FolderCache::remove(Listing& listing, const std::string& name) {
  auto found = listing.names.find(toUpper(name));
  if (found == listing.names.end() || !found->second.take(name)) return;
  listing.names.erase(found);
  names_ -= std::min<std::size_t>(names_, 1);
}

void FolderCache::added(const std::string& folder, const std::string& name, bool done,
                        bool isFolder) {
  update(folder, done, [this, &name, isFolder](Listing& listing) { add(listing, name, isFolder); });
}

void FolderCache::removed(const std::string& folder, const std::string& name, bool done) {
  update(folder, done, [this, &name](Listing& listing) { remove(listing, name); });
}

void FolderCache::renamed(const std::string& folder, const std::string& from, const std::string& to,
                          bool done) {
  update(folder, done, [this, &from, &to](Listing& listing) {
    auto found = listing.names.find(toUpper(from));
    const Spelling* old = found == listing.names.end() ? nullptr : found->second.find(from);
    const bool wasFolder = old && old->isFolder;
    remove(listing, from);
    add(listing, to, wasFolder);
  });
}

void FolderCache::madeEmpty(const std::string& folder) {
  struct stat st;
  if (!statFollow(folder, st) || !S_ISDIR(st.st_mode)) return;
  std::lock_guard lock(mutex_);
  makeRoom(0);
  Listing& listing = folders_[folder];
  names_ -= std::min(names_, listing.size());
  listing.names.clear();
  listing.unindexed = {};
  listing.stamp = stampOf(st);
  listing.lastUse = ++uses_;
}

void FolderCache::touched(const std::string& folder, bool done) {
  update(folder, done, [](Listing&) {});
}

void FolderCache::clear() {
  std::lock_guard lock(mutex_);
  folders_.clear();
  peeked_.clear();
  names_ = 0;
}

FolderCache& folderCache() {
  static FolderCache* cache = new FolderCache;  // never destroyed: used until the very end
  return *cache;
}

}  // namespace vortena
