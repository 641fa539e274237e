#include "pagewriter/build_record.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "core/text.h"
#include "pagewriter/copies.h"

namespace vortena {

void Digest::addBytes(const void* bytes, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i) {
    value_ ^= p[i];
    value_ *= 1099511628211ull;
  }
}

Digest& Digest::add(std::int64_t number) {
  addBytes(&number, sizeof number);
  return *this;
}

Digest& Digest::add(std::string_view text) {
  add(static_cast<std::int64_t>(text.size()));
  addBytes(text.data(), text.size());
  return *this;
}

namespace {

// The first line of a record file: a file of that name without it is not the program's, and
// is neither read nor replaced. The number changes with the format; a record of another
// format is built anew.
constexpr std::string_view kRecordHeader = "vortena build record 1";

std::string hex(std::uint64_t value) {
  char text[17];
  const auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
  return std::string(text, end);
}

// A record line: the folder's name and stamp, its two digests, and one digest per copy.
std::string recordLine(const std::string& name, const BuildRecord::Folder& folder) {
  const EntryStamp& s = folder.stamp;
  std::string line = name + " " + std::to_string(s.device) + " " + std::to_string(s.inode) + " " +
                     std::to_string(s.size) + " " + std::to_string(s.modified) + " " +
                     std::to_string(s.changed) + " " + hex(folder.navigation) + " " +
                     hex(folder.slideshow);
  for (std::uint64_t entry : folder.entries) line += " " + hex(entry);
  return line;
}

// Reads the space-separated fields of a record line in turn; any malformed field fails the
// whole line.
class Fields {
 public:
  explicit Fields(std::string_view line) : rest_(line) {}
  bool next(std::string_view& field) {
    while (!rest_.empty() && rest_.front() == ' ') rest_.remove_prefix(1);
    if (rest_.empty()) return false;
    const size_t end = std::min(rest_.find(' '), rest_.size());
    field = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return true;
  }
  template <typename Number>
  bool number(Number& out, int base = 10) {
    std::string_view field;
    if (!next(field)) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), out, base);
    return error == std::errc() && end == field.data() + field.size();
  }
  bool done() const { return rest_.find_first_not_of(' ') == std::string_view::npos; }

 private:
  std::string_view rest_;
};

bool parseLine(const std::string& line, std::string& name, BuildRecord::Folder& folder) {
  Fields fields(line);
  std::string_view field;
  if (!fields.next(field)) return false;
  name = std::string(field);
  EntryStamp& s = folder.stamp;
  s.name = name;
  s.isFolder = true;
  if (!fields.number(s.device) || !fields.number(s.inode) || !fields.number(s.size) ||
      !fields.number(s.modified) || !fields.number(s.changed) ||
      !fields.number(folder.navigation, 16) || !fields.number(folder.slideshow, 16))
    return false;
  while (!fields.done()) {
    std::uint64_t entry = 0;
    if (!fields.number(entry, 16)) return false;
    folder.entries.push_back(entry);
  }
  return true;
}

}  // namespace

BuildRecord::BuildRecord(FileSystem& fs, std::string programFolder, bool persistent)
    : fs_(fs), programFolder_(std::move(programFolder)), persistent_(persistent) {}

BuildRecord::AlbumRecord& BuildRecord::album(const std::string& albumFolder) {
  const std::string key = toUpper(albumFolder);
  auto found = albums_.find(key);
  if (found != albums_.end()) return found->second;
  AlbumRecord& record = albums_[key];
  record.folder = albumFolder;
  if (persistent_) load(record);
  return record;
}

void BuildRecord::load(AlbumRecord& record) {
  std::unique_ptr<TextReader> reader;
  if (!fs_.openRead(record.path(), reader).ok() || !reader) {
    // A name that leads to something other than a readable file is not replaced either.
    DirEntry there;
    record.mayWrite = !fs_.fileIdentity(record.path(), there).ok();
    return;
  }
  std::string line;
  if (!reader->readLine(line) || line != kRecordHeader) {
    record.mayWrite = line.starts_with("vortena build record ");
    return;
  }
  while (reader->readLine(line)) {
    std::string name;
    Folder folder;
    if (parseLine(line, name, folder)) record.folders[name] = std::move(folder);
  }
}

FsStatus BuildRecord::write(const AlbumRecord& record) {
  std::unique_ptr<TextWriter> writer;
  if (FsStatus opened = fs_.openWrite(record.path(), writer); !opened.ok() || !writer)
    return opened.ok() ? FsStatus{kPathFileAccess} : opened;
  // In folder order, so that the same record is written the same way.
  std::vector<const std::pair<const std::string, Folder>*> sorted;
  sorted.reserve(record.folders.size());
  for (const auto& item : record.folders) sorted.push_back(&item);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });
  FsStatus written = writer->writeLine(kRecordHeader);
  for (const auto* item : sorted)
    if (written.ok()) written = writer->writeLine(recordLine(item->first, item->second));
  // A record not written whole is dropped unclosed: the earlier one stays.
  return written.ok() ? writer->close() : written;
}

void BuildRecord::save() {
  if (!persistent_) return;
  for (auto& [key, record] : albums_) {
    for (auto& [name, folder] : record.pending) {
      EntryStamp now;
      if (fs_.entryStamp(record.folder + name, now).ok() && now == folder.stamp && now.settled)
        put(record.folder, name, std::move(folder));
      else
        forget(record.folder, name);
    }
    record.pending = {};
  }
  for (auto& [key, record] : albums_) {
    if (!record.changed || !record.mayWrite) continue;
    ignoreFailure(write(record),
                  "the record only spares work: the earlier one stays, and its stamps do not "
                  "match the folders this build changed");
    record.changed = false;
  }
}

const BuildRecord::Folder* BuildRecord::find(const std::string& albumFolder,
                                             const std::string& name) {
  AlbumRecord& record = album(albumFolder);
  auto found = record.folders.find(name);
  return found == record.folders.end() ? nullptr : &found->second;
}

void BuildRecord::put(const std::string& albumFolder, const std::string& name, Folder folder) {
  AlbumRecord& record = album(albumFolder);
  auto [at, added] = record.folders.try_emplace(name);
  if (!added && at->second.stamp == folder.stamp && at->second.navigation == folder.navigation &&
      at->second.slideshow == folder.slideshow && at->second.entries == folder.entries)
    return;
  at->second = std::move(folder);
  record.changed = true;
}

void BuildRecord::putWhenSettled(const std::string& albumFolder, const std::string& name,
                                 Folder folder) {
  if (persistent_) album(albumFolder).pending.emplace_back(name, std::move(folder));
}

void BuildRecord::forget(const std::string& albumFolder, const std::string& name) {
  AlbumRecord& record = album(albumFolder);
  if (record.folders.erase(name) > 0) record.changed = true;
}

std::uint64_t BuildRecord::navigationDigest() {
  if (haveNavigation_) return navigation_;
  Digest digest;
  for (std::string_view name : kNavigationPictures) {
    FileStamp stamp;
    const bool there = fs_.fileStamp(programFolder_ + "\\" + std::string(name), stamp).ok();
    digest.add(name).add(there ? stamp.size : -1).add(stamp.modified).add(stamp.changed);
  }
  haveNavigation_ = true;
  navigation_ = digest.value();
  return navigation_;
}

const SlideshowTemplate& BuildRecord::slideshowTemplate() {
  if (slideshow_) return *slideshow_;
  slideshow_ = std::make_unique<SlideshowTemplate>();
  std::unique_ptr<TextReader> reader;
  Digest digest;
  if (fs_.openRead(programFolder_ + "\\MENU.HTM", reader).ok() && reader) {
    slideshow_->read = true;
    std::string line;
    while (reader->readLine(line)) {
      digest.add(line);
      slideshow_->lines.push_back(line);
      for (char& c : line)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      slideshow_->lowered.push_back(std::move(line));
    }
  }
  digest.add(static_cast<std::int64_t>(slideshow_->read));
  slideshow_->digest = digest.value();
  return *slideshow_;
}

std::uint64_t BuildRecord::entryDigest(const EntryStamp& source, const std::string& copyName) {
  return Digest()
      .add(static_cast<std::int64_t>(source.device))
      .add(static_cast<std::int64_t>(source.inode))
      .add(source.size)
      .add(source.modified)
      .add(source.changed)
      .add(copyName)
      .value();
}

}  // namespace vortena
