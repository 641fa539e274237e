#include "fs/folder_cache.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "core/text.h"
#include "fs/host_files.h"
#include "fs/windows_path.h"

namespace vortena {

namespace {

// Past this many names in all indexes every index is dropped: memory stays bounded on a scan
// of a huge tree, and each folder is simply read again when next looked in.
constexpr std::size_t kMaxNames = 1 << 19;

}  // namespace

bool FolderCache::Stamp::operator==(const Stamp& other) const {
  return device == other.device && inode == other.inode && mtime.tv_sec == other.mtime.tv_sec &&
         mtime.tv_nsec == other.mtime.tv_nsec && size == other.size && links == other.links;
}

FolderCache::Stamp FolderCache::stampOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_mtim, st.st_size, st.st_nlink};
}

// Reads the whole folder into a fresh index; null when it cannot be read. The stamp is the one
// taken before the read: a change during the read leaves a newer stamp on disk, so the index
// is read again at its next use rather than trusted.
FolderCache::Listing* FolderCache::read(const std::string& folder, const struct stat& st) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    auto old = folders_.find(folder);
    if (old != folders_.end()) {
      names_ -= std::min(names_, old->second.names.size());
      folders_.erase(old);
    }
    return nullptr;
  }
  ++reads_;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return &store(folder, st, names);
}

FolderCache::Listing& FolderCache::store(const std::string& folder, const struct stat& st,
                                         const std::vector<std::string>& names) {
  auto old = folders_.find(folder);
  if (old != folders_.end()) {
    names_ -= std::min(names_, old->second.names.size());
    folders_.erase(old);
  }
  if (names_ + names.size() > kMaxNames) {
    folders_.clear();
    names_ = 0;
  }
  Listing listing;
  listing.stamp = stampOf(st);
  for (const std::string& name : names) listing.names[toUpper(name)].push_back(name);
  for (auto& [upper, spellings] : listing.names)
    if (spellings.size() > 1) std::sort(spellings.begin(), spellings.end());
  names_ += names.size();
  return folders_[folder] = std::move(listing);
}

void FolderCache::remember(const std::string& folder, const struct stat& folderStat,
                           const std::vector<std::string>& names) {
  std::lock_guard lock(mutex_);
  store(folder, folderStat, names);
}

std::optional<std::string> FolderCache::find(const std::string& folder,
                                             const struct stat* folderStat,
                                             const std::string& asked) {
  if (!folderStat || !S_ISDIR(folderStat->st_mode) || asked == "." || asked == "..")
    return findEntry(folder, asked);
  std::lock_guard lock(mutex_);
  auto it = folders_.find(folder);
  Listing* listing = it != folders_.end() && it->second.stamp == stampOf(*folderStat)
                         ? &it->second
                         : read(folder, *folderStat);
  // A folder that may be searched but not read: one look at the exact spelling.
  if (!listing) return findEntry(folder, asked);
  auto found = listing->names.find(toUpper(asked));
  if (found == listing->names.end()) return std::nullopt;
  const std::vector<std::string>& spellings = found->second;
  if (std::find(spellings.begin(), spellings.end(), asked) != spellings.end()) return asked;
  return spellings.front();
}

template <typename Change>
void FolderCache::update(const std::string& folder, bool done, Change change) {
  std::lock_guard lock(mutex_);
  auto it = folders_.find(folder);
  if (it == folders_.end()) return;
  struct stat st;
  if (!done || !statFollow(folder, st) || !S_ISDIR(st.st_mode)) {
    names_ -= std::min(names_, it->second.names.size());
    folders_.erase(it);
    return;
  }
  change(it->second);
  it->second.stamp = stampOf(st);
}

void FolderCache::added(const std::string& folder, const std::string& name, bool done) {
  update(folder, done, [this, &name](Listing& listing) {
    std::vector<std::string>& spellings = listing.names[toUpper(name)];
    auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
    if (at == spellings.end() || *at != name) {
      spellings.insert(at, name);
      ++names_;
    }
  });
}

void FolderCache::removed(const std::string& folder, const std::string& name, bool done) {
  update(folder, done, [this, &name](Listing& listing) {
    auto found = listing.names.find(toUpper(name));
    if (found == listing.names.end()) return;
    std::vector<std::string>& spellings = found->second;
    auto at = std::find(spellings.begin(), spellings.end(), name);
    if (at == spellings.end()) return;
    spellings.erase(at);
    names_ -= std::min<std::size_t>(names_, 1);
    if (spellings.empty()) listing.names.erase(found);
  });
}

void FolderCache::madeEmpty(const std::string& folder) {
  struct stat st;
  if (!statFollow(folder, st) || !S_ISDIR(st.st_mode)) return;
  std::lock_guard lock(mutex_);
  Listing& listing = folders_[folder];
  names_ -= std::min(names_, listing.names.size());
  listing.names.clear();
  listing.stamp = stampOf(st);
}

void FolderCache::touched(const std::string& folder, bool done) {
  update(folder, done, [](Listing&) {});
}

void FolderCache::clear() {
  std::lock_guard lock(mutex_);
  folders_.clear();
  names_ = 0;
}

FolderCache& folderCache() {
  static FolderCache* cache = new FolderCache;  // never destroyed: used until the very end
  return *cache;
}

}  // namespace vortena
