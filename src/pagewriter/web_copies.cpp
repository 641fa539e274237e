#include "pagewriter/web_copies.h"

#include <deque>
#include <future>
#include <optional>
#include <sstream>

#include "core/digest.h"
#include "core/text.h"
#include "imaging/picture_pool.h"
#include "pagewriter/copies.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/output_names.h"

namespace vortena {
namespace {

// A rebuild must know the web pictures of an unchanged photo without decoding it, and their
// bytes tell nothing about the photo they came from nor the sizes they were made for. So each
// entry folder keeps a record of what it holds, one line a picture: the copy and thumbnail
// names with their sizes, and the photo's size and modification time with the two sizes and
// the metadata choice they were made with. The photo's path is kept only as a hash: the record
// travels with the album to its server. The record is a hidden file written whole, so a listing
// of the folder never shows it and a build that ends midway leaves the earlier one. Each line
// begins with the version of the rules the pictures were made by (a picture made by earlier
// rules may hold what these leave out) and ends with its digest: any other line is made again.
constexpr std::string_view kRecordVersion = "w2 ";

// A photo replaced after its web picture was written gives itself a later change time than the
// copy's, as copyFile relies on too: the record then no longer stands.
struct Record {
  std::string copy, thumb;  // names as written, in the build's case
  std::uint64_t entryHash = 0;
  std::int64_t sourceSize = 0, sourceModified = 0;
  WebOptions options;
  std::int64_t copySize = 0, thumbSize = 0;
};

std::string recordLine(const Record& r) {
  std::ostringstream line;
  line << kRecordVersion << r.copy << ' ' << r.thumb << ' ' << r.entryHash << ' ' << r.sourceSize
       << ' ' << r.sourceModified << ' ' << r.options.webSize << ' ' << r.options.thumbSize << ' '
       << (r.options.keepMetadata ? 1 : 0) << ' ' << r.copySize << ' ' << r.thumbSize;
  return withDigest(line.str());
}

std::optional<Record> parseRecord(const std::string& stored) {
  std::string_view text;
  if (!checkedLine(stored, text) || !text.starts_with(kRecordVersion)) return std::nullopt;
  std::istringstream line(std::string(text.substr(kRecordVersion.size())));
  Record r;
  int keep = 0;
  if (!(line >> r.copy >> r.thumb >> r.entryHash >> r.sourceSize >> r.sourceModified >>
        r.options.webSize >> r.options.thumbSize >> keep >> r.copySize >> r.thumbSize))
    return std::nullopt;
  r.options.keepMetadata = keep != 0;
  return r;
}

// A digest: the record names its photo without giving its path away.
std::uint64_t entryHash(const std::string& entry) { return digestOf(entry); }

std::string typeOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// The types of picture made for the web. Any other entry (a sound, a film, a page, a WMF
// drawing) is copied as it is, as without web mode, and has no thumbnail.
bool madeForWeb(const std::string& entry) {
  const std::string type = toLower(copyType(entry));
  for (std::string_view picture :
       {"jpg", "jpeg", "jpe", "png", "gif", "bmp", "tif", "tiff", "heic", "heif", "webp"})
    if (type == picture) return true;
  return false;
}

// One entry of the open folder, in the order of the entries.
struct Pending {
  std::string entry;
  std::string sourcePath;
  long number = 0;
  bool asItIs = false;  // not a picture for the web: copied byte for byte
  FileStamp source;
  std::optional<Record> standing;  // the files an earlier build made of it, still good
  FsStatus readFailure;
  std::future<WebPicture> result;
};

}  // namespace

class WebCopies {
 public:
  // Started with the first picture to make: a rebuild of an unchanged album starts none.
  PicturePool& pool() {
    if (!pool_) pool_ = std::make_unique<PicturePool>();
    return *pool_;
  }
  size_t inFlightLimit() const {
    // Two pictures a worker: one being made, one waiting, so that no worker idles while the
    // pass writes; more would only hold more photos in memory.
    return 2 * static_cast<size_t>(pool_ ? pool_->workers() : 1);
  }

  std::deque<Pending> pending;
  std::vector<Record> earlier;  // the open folder's record as an earlier build left it
  std::vector<Record> written;  // what this build made of the open folder, in order

 private:
  std::unique_ptr<PicturePool> pool_;
};

namespace {

std::string inFolder(const EntryFolders& folders, const std::string& name) {
  return folders.path + "\\" + name;
}

// The record an earlier build left for picture `p`, when its files still stand for the photo
// as it is now and for this build's sizes.
std::optional<Record> standingRecord(const PassContext& pass, EntryFolders& folders,
                                     const Pending& p) {
  for (const Record& r : folders.webCopies->earlier) {
    if (r.copy != numberedName(pass.upper(), kCopyPrefix, p.number, typeOf(r.copy))) continue;
    if (r.thumb != numberedName(pass.upper(), kThumbPrefix, p.number, typeOf(r.thumb)) ||
        r.entryHash != entryHash(p.entry) || r.sourceSize != p.source.size ||
        r.sourceModified != p.source.modified || r.options != pass.settings.web)
      return std::nullopt;
    const Expected<FileStamp> copy = pass.sys.fs.fileStamp(inFolder(folders, r.copy));
    if (!copy.ok() || copy->size != r.copySize || copy->changed <= p.source.changed)
      return std::nullopt;
    const Expected<FileStamp> thumb = pass.sys.fs.fileStamp(inFolder(folders, r.thumb));
    if (!thumb.ok() || thumb->size != r.thumbSize) return std::nullopt;
    return r;
  }
  return std::nullopt;
}

void readRecord(const PassContext& pass, EntryFolders& folders) {
  WebCopies& web = *folders.webCopies;
  web.earlier.clear();
  web.written.clear();
  const Expected<std::unique_ptr<TextReader>> reader =
      pass.sys.fs.openRead(inFolder(folders, std::string(kWebRecordName)));
  if (!reader.ok()) return;
  std::string line;
  while ((*reader)->readLine(line))
    if (std::optional<Record> r = parseRecord(line)) web.earlier.push_back(*r);
}

// Tells a photo the image library cannot read at all, named as it is on the disk; like a
// failed copy, the folder is then looked at again by the next build.
void reportUnreadablePicture(const PassContext& pass, EntryFolders& folders,
                             const std::string& sourcePath) {
  folders.current.failed = true;
  pass.sys.ui.message("Immagine non leggibile: " + sourcePath + "\r\r" +
                      "Il file non e' un'immagine valida e non e' stato copiato nell'album");
}

// Writes the oldest picture under way and records its types: an empty type for a copy or a
// thumbnail that was not written, which the slideshow then does not link. A thumbnail is
// written only beside its copy.
void writeOldest(const PassContext& pass, EntryFolders& folders) {
  WebCopies& web = *folders.webCopies;
  Pending p = std::move(web.pending.front());
  web.pending.pop_front();
  FileSystem& fs = pass.sys.fs;
  const bool upper = pass.upper();
  std::string copyName, thumbName;
  if (p.asItIs) {
    const std::string name =
        numberedName(pass.upper(), kCopyPrefix, p.number, toCase(copyType(p.entry), upper));
    const FsStatus copied =
        fs.copyFile(p.sourcePath, inFolder(folders, name), folders.current.earlier);
    reportCopyFailure(pass, folders, copied, p.entry, inFolder(folders, name));
    if (copied.ok()) copyName = name;
  } else if (p.standing) {
    copyName = p.standing->copy;
    thumbName = p.standing->thumb;
    web.written.push_back(*p.standing);
  } else if (!p.readFailure.ok()) {
    reportCopyFailure(pass, folders, p.readFailure, p.entry,
                      inFolder(folders, numberedName(pass.upper(), kCopyPrefix, p.number, "jpg")));
  } else if (WebPicture picture = p.result.get(); picture.unreadable) {
    reportUnreadablePicture(pass, folders, p.sourcePath);
  } else if (!picture.ok) {
    // The image library could not be used at all: told as a copy that failed.
    reportCopyFailure(pass, folders, FsStatus{kPathFileAccess}, p.entry,
                      inFolder(folders, numberedName(pass.upper(), kCopyPrefix, p.number, "jpg")));
  } else {
    const std::string copy =
        numberedName(pass.upper(), kCopyPrefix, p.number,
                     picture.copyIsSource ? toCase(copyType(p.entry), upper) : picture.copyType);
    const std::string thumb = numberedName(pass.upper(), kThumbPrefix, p.number, picture.thumbType);
    const std::string copyPath = inFolder(folders, copy), thumbPath = inFolder(folders, thumb);
    const FsStatus copied = picture.copyIsSource
                                ? fs.copyFile(p.sourcePath, copyPath, folders.current.earlier)
                                : fs.writeBytes(copyPath, picture.copy, p.source);
    reportCopyFailure(pass, folders, copied, p.entry, copyPath);
    if (copied.ok()) {
      copyName = copy;
      const FsStatus thumbed = fs.writeBytes(thumbPath, picture.thumb, p.source);
      reportCopyFailure(pass, folders, thumbed, p.entry, thumbPath);
      if (thumbed.ok()) thumbName = thumb;
    }
    if (!copyName.empty() && !thumbName.empty()) {
      if (const Expected<FileStamp> stamp = fs.fileStamp(copyPath); stamp.ok())
        web.written.push_back(Record{copyName, thumbName, entryHash(p.entry), p.source.size,
                                     p.source.modified, pass.settings.web, stamp->size,
                                     static_cast<std::int64_t>(picture.thumb.size())});
    }
  }
  folders.copyTypes.push_back(typeOf(copyName));
  folders.thumbTypes.push_back(typeOf(thumbName));
}

}  // namespace

void queueWebPicture(const PassContext& pass, EntryFolders& folders, const std::string& entry,
                     const std::string& sourcePath) {
  if (!folders.webCopies) folders.webCopies = std::make_shared<WebCopies>();
  WebCopies& web = *folders.webCopies;
  Pending p;
  p.entry = entry;
  p.sourcePath = sourcePath;
  p.number = folders.count + 1;
  if (p.number == 1) readRecord(pass, folders);
  p.asItIs = !madeForWeb(entry);
  // A full check (no build record beside the page) makes every picture again.
  if (!p.asItIs && folders.current.earlier == EarlierCopy::Keep) {
    if (const Expected<FileStamp> source = pass.sys.fs.fileStamp(sourcePath); source.ok()) {
      p.source = *source;
      p.standing = standingRecord(pass, folders, p);
    }
  }
  if (!p.asItIs && !p.standing) {
    Expected<FileBytes> read = pass.sys.fs.readBytes(sourcePath);
    p.readFailure = read.status();
    if (read.ok()) {
      p.source = read->stamp;
      p.result = web.pool().submit(std::move(read->bytes), pass.settings.web);
    }
  }
  web.pending.push_back(std::move(p));
  while (web.pending.size() > web.inFlightLimit()) writeOldest(pass, folders);
}

void writeWebPictures(const PassContext& pass, EntryFolders& folders) {
  if (!folders.webCopies) return;
  while (!folders.webCopies->pending.empty()) writeOldest(pass, folders);
  const Expected<std::unique_ptr<TextWriter>> record =
      pass.sys.fs.openWrite(inFolder(folders, std::string(kWebRecordName)));
  if (!record.ok()) return;
  FsStatus lines;
  for (const Record& r : folders.webCopies->written)
    if (lines.ok()) lines = (*record)->writeLine(recordLine(r));
  // A record that is not written only makes the next build make the pictures again.
  if (lines.ok()) ignoreFailure((*record)->close(), "the next build makes the pictures again");
  folders.webCopies->written.clear();
}

}  // namespace vortena
