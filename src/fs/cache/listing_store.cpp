#include "fs/cache/listing_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/digest.h"
#include "fs/host/host_files.h"
#include "fs/host/host_path.h"
#include "fs/host/stamp_clock.h"

namespace vortena {
namespace {

constexpr std::string_view kHeader = "vortena listings 2\n";
constexpr std::string_view kStorePrefix = "listings-";

// The fields of a folder's stat that a kept listing must find unchanged.
void stampFields(const struct stat& st, std::int64_t (&fields)[8]) {
  fields[0] = static_cast<std::int64_t>(st.st_dev);
  fields[1] = static_cast<std::int64_t>(st.st_ino);
  fields[2] = static_cast<std::int64_t>(st.st_size);
  fields[3] = static_cast<std::int64_t>(st.st_nlink);
  fields[4] = st.st_mtim.tv_sec;
  fields[5] = st.st_mtim.tv_nsec;
  fields[6] = st.st_ctim.tv_sec;
  fields[7] = st.st_ctim.tv_nsec;
}

std::string defaultCacheFolder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
    return std::string(xdg) + "/vortena";
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return std::string(home) + "/.cache/vortena";
  return {};
}

std::string storeName(const std::string& root) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digestOf(root)));
  return std::string(kStorePrefix) + hex;
}

// Appends and reads back the store's numbers and texts in the machine's own byte order: the
// store never leaves the machine.
template <typename Number>
void putNumber(std::string& out, Number value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
void putText(std::string& out, const std::string& text) {
  putNumber(out, static_cast<std::uint32_t>(text.size()));
  out += text;
}

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  bool atEnd() const { return at_ == data_.size(); }
  template <typename Number>
  bool number(Number& value) {
    if (data_.size() - at_ < sizeof value) return false;
    std::memcpy(&value, data_.data() + at_, sizeof value);
    at_ += sizeof value;
    return true;
  }
  bool text(std::string_view& value) {
    std::uint32_t size = 0;
    if (!number(size) || data_.size() - at_ < size) return false;
    value = data_.substr(at_, size);
    at_ += size;
    return true;
  }
  void skip(std::size_t size) { at_ += size; }
  std::size_t at() const { return at_; }

 private:
  std::string_view data_;
  std::size_t at_ = 0;
};

// Makes the cache folder, and each missing folder above it, for this user alone.
FsStatus makeCacheFolder(const std::string& folder) {
  if (isFolder(folder)) return {};
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1))
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
  if (::mkdir(folder.c_str(), 0700) == 0 || isFolder(folder)) return {};
  return hostFailure(errno ? errno : EACCES, kPathNotFound);
}

}  // namespace

ListingStore::ListingStore(const std::string& root, std::string cacheFolder)
    : folder_(cacheFolder.empty() ? defaultCacheFolder() : std::move(cacheFolder)) {
  if (folder_.empty()) return;
  file_ = joinHost(folder_, storeName(root));
  // A scan killed while it wrote its store left it under a temporary name.
  ignoreFailure(removeStaleTemporaryFiles(folder_, &folderCache()),
                "a leftover costs room, not a store; the next scan tries again");
  load();
}

ListingStore::Memory::~Memory() {
  if (data_) ::munmap(data_, size_);
}

bool ListingStore::Memory::make(std::size_t size) {
  void* made = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (made == MAP_FAILED) return false;
  data_ = static_cast<char*>(made);
  size_ = size;
  return true;
}

void ListingStore::load() {
  Descriptor fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  const auto size = static_cast<size_t>(st.st_size);
  if (size < kHeader.size() || !memory_.make(size)) return;
  const Expected<size_t> read = readFully(fd.get(), memory_.bytes(), size);
  if (!read.ok() || *read != size ||
      std::string_view(memory_.bytes(), kHeader.size()) != kHeader) return;
  data_ = std::string_view(memory_.bytes(), size);
  // Each record is walked through once to find where the next begins; its names are copied out
  // only when its folder is found unchanged.
  Reader in(data_);
  in.skip(kHeader.size());
  while (!in.atEnd()) {
    const size_t at = in.at();
    std::string_view folder;
    std::int64_t field = 0;
    std::uint32_t count = 0;
    bool ok = in.text(folder);
    for (int i = 0; i < 8; ++i) ok = ok && in.number(field);
    ok = ok && in.number(count);
    for (std::uint32_t i = 0; ok && i < count; ++i) {
      unsigned char type = 0;
      std::uint64_t inode = 0;
      std::string_view name;
      ok = in.number(type) && in.number(inode) && in.text(name) && !name.empty();
    }
    const size_t size = in.at() - at;
    std::uint64_t digest = 0;
    ok = ok && in.number(digest);
    if (!ok) {  // cut short or foreign: nothing of it is trusted
      earlier_.clear();
      return;
    }
    // A record whose bytes are not those it was written with is a miss: its folder is read.
    if (digest == digestOf(data_.substr(at, size))) earlier_[folder] = {at, size};
  }
}

const std::vector<RawEntry>* ListingStore::find(const std::string& folder, const struct stat& now) {
  auto it = earlier_.find(folder);
  if (it == earlier_.end()) return nullptr;
  const Record record = it->second;
  std::int64_t fields[8];
  stampFields(now, fields);
  Reader in(data_.substr(record.at, record.size));
  std::string_view path;
  std::uint32_t count = 0;
  in.text(path);
  for (std::int64_t field : fields) {
    std::int64_t stored = 0;
    if (!in.number(stored) || stored != field) return nullptr;
  }
  in.number(count);
  found_.resize(count);
  for (RawEntry& entry : found_) {
    std::string_view name;
    in.number(entry.type);
    in.number(entry.inode);
    in.text(name);
    entry.name.assign(name);
  }
  earlier_.erase(it);
  reused_.push_back(record);
  ++served_;
  return &found_;
}

void ListingStore::put(const std::string& folder, const struct stat& st, const timespec& before,
                       const std::vector<RawEntry>& names) {
  changed_ = true;
  earlier_.erase(folder);
  const bool settled = stampSettled(folder, st, before);
  const bool typed = std::none_of(names.begin(), names.end(), [](const RawEntry& entry) {
    return entry.type == DT_LNK || entry.type == DT_UNKNOWN;
  });
  // Once the store cannot be written, nothing more is gathered for it.
  if (!settled || !typed || !writeError_.ok()) return;
  std::string record;
  putText(record, folder);
  std::int64_t fields[8];
  stampFields(st, fields);
  for (std::int64_t field : fields) putNumber(record, field);
  putNumber(record, static_cast<std::uint32_t>(names.size()));
  for (const RawEntry& entry : names) {
    putNumber(record, entry.type);
    putNumber(record, entry.inode);
    putText(record, entry.name);
  }
  putNumber(record, digestOf(record));
  keep(record);
}

void ListingStore::keep(const std::string& record) {
  pending_ += record;
  if (pending_.size() >= 64 * 1024) flush();
}

void ListingStore::flush() {
  if (file_.empty() || !writeError_.ok()) {
    pending_.clear();
    return;
  }
  if (next_.fd() < 0) {
    writeError_ = makeCacheFolder(folder_);
    if (!writeError_.ok()) return;
    writeError_ = next_.create(folder_, file_.substr(file_.rfind('/') + 1), {});
    if (!writeError_.ok()) return;
    writeError_ = writeAll(next_.fd(), kHeader.data(), kHeader.size());
  }
  if (writeError_.ok()) writeError_ = writeAll(next_.fd(), pending_.data(), pending_.size());
  pending_.clear();
}

FsStatus ListingStore::save() {
  if (file_.empty()) return {};
  if (!changed_ && earlier_.empty()) {  // every folder as it was: the store stays as it is
    next_.discard();
    return {};
  }
  for (const Record& record : reused_) {
    const std::string_view bytes = data_.substr(record.at, record.size);
    pending_ += bytes;
    putNumber(pending_, digestOf(bytes));
    if (pending_.size() >= 64 * 1024) flush();
  }
  flush();
  if (!writeError_.ok()) {
    next_.discard();
    return writeError_;
  }
  if (FsStatus committed = next_.commit(); !committed.ok()) return committed;
  prune();
  return {};
}

void ListingStore::prune() const {
  DIR* dir = ::opendir(folder_.c_str());
  if (!dir) return;
  std::vector<std::pair<timespec, std::string>> stores;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat st;
    if (name.rfind(kStorePrefix, 0) == 0 && ::fstatat(::dirfd(dir), name.c_str(), &st, 0) == 0)
      stores.emplace_back(st.st_mtim, joinHost(folder_, name));
  }
  ::closedir(dir);
  if (stores.size() <= kMaxStores) return;
  std::sort(stores.begin(), stores.end(), [](const auto& a, const auto& b) {
    return a.first.tv_sec != b.first.tv_sec ? a.first.tv_sec < b.first.tv_sec
                                            : a.first.tv_nsec < b.first.tv_nsec;
  });
  for (size_t i = 0; i + kMaxStores < stores.size(); ++i)
    if (stores[i].second != file_) ::unlink(stores[i].second.c_str());
}

}  // namespace vortena
