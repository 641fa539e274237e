#include "pagewriter/build_record.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "core/text.h"
#include "pagewriter/output_names.h"

namespace vortena {

namespace {

// The first line of a record file: a file of that name without it is not the program's, and
// is neither read nor replaced. The number changes with the format; a record of another
// format is built anew.
constexpr std::string_view kRecordPrefix = "vortena build record ";
constexpr std::string_view kRecordHeader = "vortena build record 2";

// The lines of a record, each ending with its digest (core/digest.h): "F" for a folder recorded
// with its name and stamp, its two digests and one digest per copy; "M" for an entry folder or
// page the program made, with its identity.
std::string folderLine(const std::string& name, const BuildRecord::Folder& folder) {
  const EntryStamp& s = folder.stamp;
  std::string line = "F " + name + " " + std::to_string(s.device) + " " + std::to_string(s.inode) +
                     " " + std::to_string(s.size) + " " + std::to_string(s.modified) + " " +
                     std::to_string(s.changed) + " " + hexNumber(folder.navigation) + " " +
                     hexNumber(folder.slideshow);
  for (std::uint64_t entry : folder.entries) line += " " + hexNumber(entry);
  return withDigest(line);
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

bool parseFolder(Fields& fields, std::string& name, BuildRecord::Folder& folder) {
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
  const Expected<std::unique_ptr<TextReader>> opened = fs_.openRead(record.path());
  if (!opened.ok()) {
    // A name that leads to something other than a readable file is not replaced either.
    record.mayWrite = !fs_.fileIdentity(record.path()).ok();
    return;
  }
  TextReader* reader = opened->get();
  std::string stored;
  if (!reader->readLine(stored) || stored != kRecordHeader) {
    record.mayWrite = stored.starts_with(kRecordPrefix);
    return;
  }
  record.found = true;
  while (reader->readLine(stored)) {
    // A line whose digest does not match is left out: its folder is looked at in full.
    std::string_view line;
    if (!checkedLine(stored, line)) continue;
    Fields fields(line);
    std::string_view kind, name;
    if (!fields.next(kind)) continue;
    if (kind == "F") {
      std::string folderName;
      Folder folder;
      if (parseFolder(fields, folderName, folder)) record.folders[folderName] = std::move(folder);
    } else if (kind == "M") {
      Made made;
      if (fields.next(name) && fields.number(made.device) && fields.number(made.inode) &&
          fields.done())
        record.made[toUpper(name)] = made;
    }
  }
}

FsStatus BuildRecord::write(const AlbumRecord& record) {
  const Expected<std::unique_ptr<TextWriter>> opened = fs_.openWrite(record.path());
  if (!opened.ok()) return opened.status();
  TextWriter* writer = opened->get();
  // In name order, so that the same record is written the same way.
  std::vector<std::string> lines;
  lines.reserve(record.folders.size() + record.made.size());
  for (const auto& [name, folder] : record.folders) lines.push_back(folderLine(name, folder));
  for (const auto& [name, made] : record.made)
    lines.push_back(withDigest("M " + name + " " + std::to_string(made.device) + " " +
                               std::to_string(made.inode)));
  std::sort(lines.begin(), lines.end());
  FsStatus written = writer->writeLine(kRecordHeader);
  for (const std::string& line : lines)
    if (written.ok()) written = writer->writeLine(line);
  // A record not written whole is dropped unclosed: the earlier one stays.
  return written.ok() ? writer->close() : written;
}

void BuildRecord::save(bool completed) {
  if (!persistent_) return;
  for (auto& [key, record] : albums_) {
    for (auto& [name, folder] : record.pending) {
      const Expected<EntryStamp> now = fs_.entryStamp(record.folder + name);
      if (now.ok() && *now == folder.stamp && now->settled)
        put(record.folder, name, std::move(folder));
      else
        forget(record.folder, name);
    }
    record.pending = {};
  }
  for (auto& [key, record] : albums_) {
    // Written whenever it changed, and by every build that ran to its end where there was
    // none: its absence means that the next build checks every copy.
    const bool wanted = record.changed || (completed && !record.found);
    if (!wanted || !record.mayWrite || (!completed && !record.found)) continue;
    ignoreFailure(write(record),
                  "the record only spares work: the earlier one stays, and its stamps do not "
                  "match the folders this build changed");
    record.changed = false;
    record.found = true;
  }
}

bool BuildRecord::checkEveryCopy(const std::string& albumFolder) {
  return persistent_ && !album(albumFolder).found;
}

void BuildRecord::made(const std::string& albumFolder, const std::string& name) {
  if (!persistent_) return;
  const Expected<DirEntry> identity = fs_.fileIdentity(albumFolder + name);
  if (!identity.ok()) return;
  AlbumRecord& record = album(albumFolder);
  const Made now{identity->device, identity->inode};
  auto [at, added] = record.made.try_emplace(toUpper(name), now);
  if (!added && at->second == now) return;
  at->second = now;
  record.changed = true;
}

bool BuildRecord::madeByProgram(const std::string& albumFolder, const std::string& name) {
  AlbumRecord& record = album(albumFolder);
  auto found = record.made.find(toUpper(name));
  if (found == record.made.end()) return false;
  const Expected<DirEntry> identity = fs_.fileIdentity(albumFolder + name);
  return identity.ok() && found->second == Made{identity->device, identity->inode};
}

void BuildRecord::removed(const std::string& albumFolder, const std::string& name) {
  AlbumRecord& record = album(albumFolder);
  if (record.made.erase(toUpper(name)) > 0) record.changed = true;
  forget(albumFolder, name);
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
    const Expected<FileStamp> found = fs_.fileStamp(programFolder_ + "\\" + std::string(name));
    const FileStamp stamp = found.valueOr(FileStamp{});
    digest.add(name).add(found.ok() ? stamp.size : -1).add(stamp.modified).add(stamp.changed);
  }
  haveNavigation_ = true;
  navigation_ = digest.value();
  return navigation_;
}

const SlideshowTemplate& BuildRecord::slideshowTemplate() {
  if (slideshow_) return *slideshow_;
  slideshow_ = std::make_unique<SlideshowTemplate>();
  Digest digest;
  if (const Expected<std::unique_ptr<TextReader>> reader =
          fs_.openRead(programFolder_ + "\\MENU.HTM");
      reader.ok()) {
    slideshow_->read = true;
    std::string line;
    while ((*reader)->readLine(line)) {
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
  // A source whose last change is not settled may change again without a new stamp: its copy
  // is never recorded (0).
  if (!source.settled) return 0;
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
