#include "pagewriter/entry_folder.h"

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "pagewriter/copies.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/html_escape.h"
#include "pagewriter/output_names.h"
#include "pagewriter/web_copies.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

// The placeholders are plain ASCII, so an ASCII lower-casing finds them in any letter case and
// keeps every byte position of the line.
std::string asciiLower(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Rewrites every occurrence of `placeholder` (lower case) in `line`, in any letter case: the
// first `keep` characters of each stay as the template wrote them, the rest become
// `replacement`. Everything else in the line is kept.
std::string rewritePlaceholder(const std::string& line, const std::string& placeholder, size_t keep,
                               const std::string& replacement) {
  const std::string lowered = asciiLower(line);
  std::string out;
  size_t from = 0;
  for (size_t at = lowered.find(placeholder); at != std::string::npos;
       at = lowered.find(placeholder, from)) {
    out.append(line, from, at + keep - from);
    out += replacement;
    from = at + placeholder.size();
  }
  out.append(line, from, std::string::npos);
  return out;
}

// The album's index page seen from an entry folder: the page this build writes as its index.
std::string indexLink(const PassContext& pass) {
  const std::string& index = pass.job.indexPage.empty() ? pass.job.pageFile : pass.job.indexPage;
  return "../" + linkTarget(index);
}

std::string folderLink(long n, bool upper) {
  return upper ? "../DIR_" + zeroPad(n, 4) + "/MENU.HTM" : "../dir_" + zeroPad(n, 4) + "/menu.htm";
}

// The folder's own name as this build writes it ("dir_0001").
std::string folderName(const EntryFolders& folders) {
  return folders.path.substr(folders.path.rfind('\\') + 1);
}

// Makes the folder, or finds it there already; the first call for a folder tells whether it
// was made just now, with nothing of an earlier build in it.
void openFolder(const PassContext& pass, EntryFolders& folders) {
  const FsStatus made = pass.sys.fs.makeFolder(folders.path);
  // Otherwise already there from an earlier entry or an earlier build; a copy into a missing
  // folder reports itself.
  if (folders.current.opened) return;
  folders.current.opened = true;
  folders.current.isNew = made.ok();
  // What stands under the name now is the program's entry folder, to be removed by a later
  // build that needs fewer folders (album/leftover_outputs.h).
  folders.record.made(pass.job.outputFolder, folderName(folders));
}

// Whether the folder is still as the build record has it: under exactly its name, and no name
// made, removed or renamed in it since its last completion.
bool asRecorded(const PassContext& pass, EntryFolders& folders) {
  if (!folders.current.recorded) return false;
  const Expected<EntryStamp> now = pass.sys.fs.entryStamp(folders.path);
  return now.ok() && *now == folders.current.recorded->stamp;
}

// Copies an earlier build left in the folder that are not this build's (beyond the folder's
// count, or of another type) are removed, so that no deleted photo stays reachable from the
// album. Only names of the program's copy form, and the temporary files of a build killed
// outright, only in the folder being completed, which is listed now (a folder made by this
// build has none). Names are compared as the file system looks them up, letter case ignored:
// an earlier copy in the other case is this build's copy respelled, not another one.
void removeEarlierCopies(const PassContext& pass, EntryFolders& folders) {
  if (folders.current.isNew) return;
  const Expected<FolderListing> listing = pass.sys.fs.listFolder(folders.path);
  if (!listing.ok()) return;
  ignoreFailure(pass.sys.fs.removeStaleTemporaryFiles(folders.path),
                "a leftover is hidden and no page links it; the next build tries again");
  std::vector<std::string> current;
  for (size_t k = 1; k <= folders.copyTypes.size(); ++k)
    if (!folders.copyTypes[k - 1].empty())
      current.push_back(toUpper(
          numberedName(pass.upper(), kCopyPrefix, static_cast<long>(k), folders.copyTypes[k - 1])));
  for (size_t k = 1; k <= folders.thumbTypes.size(); ++k)
    if (!folders.thumbTypes[k - 1].empty())
      current.push_back(toUpper(numberedName(pass.upper(), kThumbPrefix, static_cast<long>(k),
                                             folders.thumbTypes[k - 1])));
  for (const DirEntry& entry : listing->entries) {
    if (entry.isFolder || !isCopyName(entry.name) ||
        std::find(current.begin(), current.end(), toUpper(entry.name)) != current.end())
      continue;
    // A copy that cannot be removed stays unlinked and the build goes on; the folder is then
    // not recorded, so the next build looks again.
    if (!pass.sys.fs.removeFile(folders.path + "\\" + entry.name).ok())
      folders.current.failed = true;
  }
}

// Records the folder just completed, or forgets it when something in it failed: the next build
// then looks at every file. `untouched`: nothing was written in it, so its stamp is the
// recorded one. Its copies may still be under way: the folder is looked at once they are made,
// and not recorded when one of them failed.
void recordFolder(const PassContext& pass, EntryFolders& folders, std::uint64_t navigation,
                  std::uint64_t slideshow, bool untouched) {
  EntryFolders::Current& folder = folders.current;
  const bool recordable =
      !pass.settings.web.on() && !folder.failed &&
      std::find(folder.entries.begin(), folder.entries.end(), 0) == folder.entries.end();
  if (untouched && recordable) return;
  // Run after the pass may have ended: it holds only what outlives the pass.
  pass.copies.then([&copies = pass.copies, &fs = pass.sys.fs, &record = folders.record,
                    album = pass.job.outputFolder, name = folderName(folders), path = folders.path,
                    recordable, navigation, slideshow,
                    entries = std::move(folder.entries)]() mutable {
    const bool copied = copies.takeFailures() == 0 && !copies.stopped();
    if (!recordable || !copied) {
      record.forget(album, name);
      return;
    }
    const Expected<EntryStamp> now = fs.entryStamp(path);
    if (!now.ok() || !now->isFolder || now->name != name) {
      record.forget(album, name);
      return;
    }
    record.putWhenSettled(album, name, {*now, navigation, slideshow, std::move(entries)});
  });
}

std::uint64_t slideshowDigest(const PassContext& pass, EntryFolders& folders);

void completeFolder(const PassContext& pass, EntryFolders& folders, bool lastFolder) {
  EntryFolders::Current& folder = folders.current;
  folders.lastFolderMarker = lastFolder ? kLastFolderMarker : 0;
  // Still as the last build left it, with the same copies from the same sources.
  const bool intact = folder.intact && folder.recorded->entries.size() == folder.entries.size();
  if (pass.settings.web.on()) writeWebPictures(pass, folders);
  if (!intact) removeEarlierCopies(pass, folders);
  const std::uint64_t navigation = folders.record.navigationDigest();
  const bool sameNavigation = intact && folder.recorded->navigation == navigation;
  if (!sameNavigation) copyNavigationPictures(pass, folders);
  const std::uint64_t slideshow = slideshowDigest(pass, folders);
  const bool sameSlideshow = intact && folder.recorded->slideshow == slideshow;
  if (!sameSlideshow) writeSlideshowPage(pass, folders);
  recordFolder(pass, folders, navigation, slideshow, intact && sameNavigation && sameSlideshow);
}

}  // namespace

std::string entryFolderPath(const PassContext& pass, long n) {
  const bool upper = pass.upper();
  return toCase(pass.job.outputFolder + (upper ? "DIR_" : "dir_") + zeroPad(n, 4), upper);
}

void placeEntry(const PassContext& pass, EntryFolders& folders, const std::string& folderPart,
                const std::string& fileName, const std::string& sourcePath, bool lastEntry) {
  folders.path = entryFolderPath(pass, folders.number);
  EntryFolders::Current& folder = folders.current;
  if (folders.count == 0) {
    folder = {};
    // Web pictures keep a record of their own in the folder (web_copies.h).
    if (!pass.settings.web.on())
      folder.recorded = folders.record.find(pass.job.outputFolder, folderName(folders));
    folder.intact = folder.recorded != nullptr;
    folder.earlier = folders.record.checkEveryCopy(pass.job.outputFolder) ? EarlierCopy::KeepIfSame
                                                                          : EarlierCopy::Keep;
  }
  if (!folder.intact) openFolder(pass, folders);
  pass.sys.ui.processEvents();
  // Looked at after the window's events, during which another program may have changed it.
  if (folder.intact && !asRecorded(pass, folders)) {
    folder.intact = false;
    openFolder(pass, folders);
  }
  if (pass.settings.web.on())
    queueWebPicture(pass, folders, folderPart + fileName, sourcePath);
  else
    queuePictureCopy(pass, folders, folderPart + fileName, sourcePath);
  ++folders.count;
  const bool full = pass.job.folders.folderPerEntry ||
                    pass.settings.entriesPerFolder <= static_cast<double>(folders.count);
  if (!full) return;
  completeFolder(pass, folders, lastEntry);
  ++folders.number;
  folders.count = 0;
  folders.copyTypes.clear();
  folders.thumbTypes.clear();
}

void completeLastFolder(const PassContext& pass, EntryFolders& folders) {
  if (folders.count > 0) completeFolder(pass, folders, true);
}

namespace {

// Template lines for one of the two kinds of copies: a line that begins with kWebOnly is
// written (without the marker) only in web mode, one that begins with kCopiesOnly only when the
// copies are the files themselves. Through them the slideshow's strip shows the thumbnails and
// its stage the web copies, while a build without web pictures writes every byte it always
// wrote.
constexpr std::string_view kWebOnly = "<!--web-->";
constexpr std::string_view kCopiesOnly = "<!--copie-->";

// A template line that the writer repeats for the pictures of a folder beyond the ninth: the
// marker is dropped and the line's placeholder img_010.jpg names picture 10, 11, ... in turn.
constexpr std::string_view kRepeatMarker = "<!--altre-->";
constexpr std::string_view kRepeatPlaceholder = "img_010.jpg";
constexpr std::string_view kRepeatThumbPlaceholder = "min_010.jpg";
constexpr long kFirstRepeated = 10;

// Whether a lower-cased template line may hold a placeholder of the slideshow page: a link up
// to the album ("../"), a picture of the folder ("img_") or a navigation picture.
bool mayHoldPlaceholder(std::string_view lowered) {
  for (std::string_view part : {"../", "img_", "min_"})
    if (lowered.find(part) != std::string::npos) return true;
  for (std::string_view picture : kNavigationPictures)
    if (lowered.find(picture) != std::string::npos) return true;
  return false;
}

// Whether copy k of the folder was written (in web mode a picture may not be): a copy that was
// not written is linked nowhere.
bool written(const EntryFolders& folders, long k) {
  return !folders.copyTypes[static_cast<size_t>(k - 1)].empty();
}

// The name of copy k of the folder (img_) or of its thumbnail (min_), as the slideshow page
// links it. An entry without a thumbnail (not a picture, or one whose thumbnail was not
// written) stands for itself in the strip too.
std::string pictureLink(const PassContext& pass, const EntryFolders& folders, long k,
                        std::string_view prefix = kCopyPrefix) {
  const bool upper = pass.upper();
  if (prefix == kThumbPrefix && folders.thumbTypes[static_cast<size_t>(k - 1)].empty())
    prefix = kCopyPrefix;
  const std::vector<std::string>& types =
      prefix == kCopyPrefix ? folders.copyTypes : folders.thumbTypes;
  return toCase(prefix, upper) + zeroPad(k, 3) + "." +
         linkTarget(toCase(types[static_cast<size_t>(k - 1)], upper));
}

// Rewrites the placeholders `prefix`NNN.jpg of the line (see rewritePictures); `held` is set
// when one names a picture of the folder, `missing` when one names a picture beyond them or
// one whose copy was not written.
void rewriteNumbered(const PassContext& pass, const EntryFolders& folders, std::string& line,
                     std::string_view prefix, bool& held, bool& missing) {
  const std::string lowered = asciiLower(line);
  const long count = static_cast<long>(folders.copyTypes.size());
  std::string out;
  size_t from = 0;
  for (size_t at = lowered.find(prefix); at != std::string::npos;
       at = lowered.find(prefix, at + 1)) {
    if (at + 11 > lowered.size() || lowered.compare(at + 7, 4, ".jpg") != 0) continue;
    long k = 0;
    bool digits = true;
    for (size_t i = at + 4; i < at + 7; ++i) {
      if (lowered[i] < '0' || lowered[i] > '9') digits = false;
      k = k * 10 + (lowered[i] - '0');
    }
    if (!digits || k == 0) continue;
    if (k > count || !written(folders, k)) {
      missing = true;
      continue;
    }
    held = true;
    out.append(line, from, at - from);
    out += pictureLink(pass, folders, k, prefix);
    from = at + 11;
  }
  out.append(line, from, std::string::npos);
  line = std::move(out);
}

// Every picture placeholder img_NNN.jpg (any letter case) of the line whose number is one of
// the folder's written copies becomes that copy's name; in web mode every min_NNN.jpg becomes
// the name of the copy's thumbnail. Returns false when the line names only pictures the folder
// does not hold: such a line is left out, so no link leads nowhere. (The slideshow's script
// walks the pictures of the strip that are there, so a line left out leaves no gap.)
bool rewritePictures(const PassContext& pass, const EntryFolders& folders, std::string& line) {
  bool held = false, missing = false;
  rewriteNumbered(pass, folders, line, kCopyPrefix, held, missing);
  if (pass.settings.web.on()) rewriteNumbered(pass, folders, line, kThumbPrefix, held, missing);
  return held || !missing;
}

// The slideshow page of the folder and the links that chain it to the album.
std::string menuPathOf(const PassContext& pass, const EntryFolders& folders) {
  const bool upper = pass.upper();
  return toCase(folders.path + (upper ? "\\MENU.HTM" : "\\menu.htm"), upper);
}

struct SlideshowLinks {
  std::string index, previous, next;
};

SlideshowLinks slideshowLinks(const PassContext& pass, const EntryFolders& folders) {
  const long n = folders.number;
  const bool upper = pass.upper();
  std::string index = indexLink(pass);
  std::string previous = n == pass.job.folders.firstFolder ? index : folderLink(n - 1, upper);
  std::string next =
      folders.lastFolderMarker == kLastFolderMarker ? index : folderLink(n + 1, upper);
  return {std::move(index), std::move(previous), std::move(next)};
}

// Digest of everything writeSlideshowPage makes the slideshow page from: the template, the page's
// name, the links up, back and on, the case, the kind of copies and the type of every copy and
// thumbnail. A value writeSlideshowPage comes to read must join it here, or a rebuild would keep a
// page made from the value before.
std::uint64_t slideshowDigest(const PassContext& pass, EntryFolders& folders) {
  const SlideshowLinks links = slideshowLinks(pass, folders);
  Digest digest;
  digest.add(static_cast<std::int64_t>(folders.record.slideshowTemplate().digest))
      .add(menuPathOf(pass, folders))
      .add(links.index)
      .add(links.previous)
      .add(links.next)
      .add(static_cast<std::int64_t>(pass.upper()))
      .add(static_cast<std::int64_t>(pass.settings.web.on()));
  for (const std::vector<std::string>* types : {&folders.copyTypes, &folders.thumbTypes}) {
    digest.add(static_cast<std::int64_t>(types->size()));
    for (const std::string& type : *types) digest.add(type);
  }
  return digest.value();
}

}  // namespace

void writeSlideshowPage(const PassContext& pass, EntryFolders& folders) {
  const bool upper = pass.upper();
  const std::string menuPath = menuPathOf(pass, folders);
  const auto failed = [&pass, &folders, &menuPath](FsStatus status) {
    folders.current.failed = true;
    reportPageFailure(pass, menuPath, status);
  };
  Expected<std::unique_ptr<TextWriter>> opened = pass.sys.fs.openWrite(menuPath);
  if (!opened.ok()) {
    failed(opened.status());
    return;
  }
  std::unique_ptr<TextWriter> menu = std::move(*opened);
  FsStatus lostLine;  // the first failed line: the page is then not kept
  const auto write = [&menu, &lostLine](std::string_view line) {
    if (lostLine.ok()) lostLine = menu->writeLine(line);
  };
  // Without the template the page is left empty.
  const SlideshowTemplate& menuTemplate = folders.record.slideshowTemplate();
  const SlideshowLinks links = slideshowLinks(pass, folders);
  const long count = static_cast<long>(folders.copyTypes.size());
  const bool web = pass.settings.web.on();
  for (size_t i = 0; lostLine.ok() && i < menuTemplate.lines.size(); ++i) {
    std::string_view line = menuTemplate.lines[i];
    std::string_view lowered = menuTemplate.lowered[i];
    if (line.starts_with(kWebOnly) || line.starts_with(kCopiesOnly)) {
      const std::string_view marker = line.starts_with(kWebOnly) ? kWebOnly : kCopiesOnly;
      if ((marker == kWebOnly) != web) continue;
      line.remove_prefix(marker.size());
      lowered.remove_prefix(marker.size());
    }
    if (!mayHoldPlaceholder(lowered)) {  // most of the page: written as it stands
      write(line);
      continue;
    }
    if (lowered.starts_with(kRepeatMarker)) {
      const std::string repeated(line.substr(kRepeatMarker.size()));
      for (long k = kFirstRepeated; k <= count; ++k) {
        if (!written(folders, k)) continue;
        std::string copy = rewritePlaceholder(repeated, std::string(kRepeatPlaceholder), 0,
                                              pictureLink(pass, folders, k));
        if (web)
          copy = rewritePlaceholder(copy, std::string(kRepeatThumbPlaceholder), 0,
                                    pictureLink(pass, folders, k, kThumbPrefix));
        write(copy);
      }
      continue;
    }
    // Each rewrite works on the result of the one before, so a line may hold any number of
    // placeholders and every one of them becomes a working link. The up link and the
    // navigation pictures are named as this build wrote them.
    std::string rewritten = rewritePlaceholder(std::string(line), "../index.htm", 0, links.index);
    rewritten = rewritePlaceholder(rewritten, "../dir_000p/menu.htm", 0, links.previous);
    rewritten = rewritePlaceholder(rewritten, "../dir_000s/menu.htm", 0, links.next);
    for (std::string_view picture : kNavigationPictures)
      rewritten = rewritePlaceholder(rewritten, asciiLower(std::string(picture)), 0,
                                     toCase(picture, upper));
    if (rewritePictures(pass, folders, rewritten)) write(rewritten);
  }
  // Only a slideshow page written whole replaces the earlier one: after a failed line the page
  // is dropped unclosed. A failure is told.
  const FsStatus written = lostLine.ok() ? menu->close() : lostLine;
  menu.reset();
  if (!written.ok()) failed(written);
}

}  // namespace vortena
