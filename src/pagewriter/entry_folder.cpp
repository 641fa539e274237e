#include "pagewriter/entry_folder.h"

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "pagewriter/copies.h"
#include "pagewriter/html_escape.h"
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
std::string indexLink(const PagePass& pass) {
  const std::string& index = pass.job.indexPage.empty() ? pass.job.File_Pagina : pass.job.indexPage;
  return "../" + linkTarget(index);
}

std::string folderLink(long n, bool upper) {
  return upper ? "../DIR_" + zeroPad(n, 4) + "/MENU.HTM" : "../dir_" + zeroPad(n, 4) + "/menu.htm";
}

// Whether a name has the form of the program's own copies or their thumbnails: img_ or min_
// (any case), three or more digits, a dot and a type.
bool isCopyName(const std::string& name) {
  if (name.size() < 9) return false;
  const std::string prefix = asciiLower(name.substr(0, 4));
  if (prefix != kCopyPrefix && prefix != kThumbPrefix) return false;
  size_t digits = 4;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  return digits - 4 >= 3 && digits + 1 < name.size() && name[digits] == '.';
}

// The copies an earlier build left in the folder: names of the program's copy form, read once
// when the folder's first entry comes (a folder made just now has none).
void noteEarlierCopies(PagePass& pass, bool folderIsNew) {
  pass.earlierCopies.clear();
  std::vector<DirEntry> entries;
  if (folderIsNew || !pass.sys.fs.listFolder(pass.folderPath, entries).ok()) return;
  for (const DirEntry& entry : entries)
    if (!entry.isFolder && isCopyName(entry.name)) pass.earlierCopies.push_back(entry.name);
}

// Copies an earlier build left in the folder that are not this build's (beyond the folder's
// count, or of another type) are removed, so that no deleted photo stays reachable from the
// album. Only names of the program's copy form, only in the folder being completed. Names are
// compared as the file system looks them up, letter case ignored: an earlier copy in the other
// case is this build's copy respelled, not another one.
void removeEarlierCopies(PagePass& pass) {
  std::vector<std::string> current;
  for (size_t k = 1; k <= pass.copyTypes.size(); ++k)
    current.push_back(
        toUpper(numberedName(pass, kCopyPrefix, static_cast<long>(k), pass.copyTypes[k - 1])));
  for (size_t k = 1; k <= pass.thumbTypes.size(); ++k)
    if (!pass.thumbTypes[k - 1].empty())
      current.push_back(toUpper(
          numberedName(pass, kThumbPrefix, static_cast<long>(k), pass.thumbTypes[k - 1])));
  for (const std::string& name : pass.earlierCopies) {
    if (std::find(current.begin(), current.end(), toUpper(name)) != current.end()) continue;
    ignoreFailure(pass.sys.fs.removeFile(pass.folderPath + "\\" + name),
                  "a copy that cannot be removed stays unlinked; the build goes on");
  }
  pass.earlierCopies.clear();
}

void completeFolder(PagePass& pass, bool lastFolder) {
  if (pass.job.web.on()) Completa_Immagini_Web(pass);
  removeEarlierCopies(pass);
  Copia_Pulsanti(pass);
  pass.lastFolderMarker = lastFolder ? kLastFolderMarker : 0;
  Scrivi_Menu(pass);
}

}  // namespace

std::string entryFolderPath(const PagePass& pass, long n) {
  const bool upper = pass.upper();
  return toCase(pass.job.Dir_Album + (upper ? "DIR_" : "dir_") + zeroPad(n, 4), upper);
}

void Passo_Cartella(PagePass& pass, const std::string& folderPart, const std::string& fileName,
                    const std::string& sourcePath, bool lastEntry) {
  pass.folderPath = entryFolderPath(pass, pass.folderNumber);
  const FsStatus made = pass.sys.fs.makeFolder(pass.folderPath);
  // Otherwise already there from an earlier entry or an earlier build; a copy into a missing
  // folder reports itself.
  if (pass.folderCount == 0) noteEarlierCopies(pass, made.ok());
  pass.sys.ui.processEvents();
  if (pass.job.web.on())
    Copia_Immagine_Web(pass, folderPart + fileName, sourcePath);
  else
    Copia_Immagine(pass, folderPart + fileName, sourcePath);
  ++pass.folderCount;
  const bool full =
      pass.job.folders.folderPerEntry ||
      numericValue(pass.controls.txtMAX_N_FILES->text()) <= static_cast<double>(pass.folderCount);
  if (!full) return;
  completeFolder(pass, lastEntry);
  ++pass.folderNumber;
  pass.folderCount = 0;
  pass.copyTypes.clear();
  pass.thumbTypes.clear();
}

void Completa_Ultima_Cartella(PagePass& pass) {
  if (pass.folderCount > 0) completeFolder(pass, true);
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
bool mayHoldPlaceholder(const std::string& lowered) {
  for (std::string_view part : {"../", "img_", "min_"})
    if (lowered.find(part) != std::string::npos) return true;
  for (std::string_view picture : kNavigationPictures)
    if (lowered.find(picture) != std::string::npos) return true;
  return false;
}

// The name of copy k of the folder (img_) or of its thumbnail (min_), as the slideshow page
// links it. An entry without a thumbnail (not a picture) stands for itself in the strip too.
std::string pictureLink(const PagePass& pass, long k, std::string_view prefix = kCopyPrefix) {
  const bool upper = pass.upper();
  if (prefix == kThumbPrefix && pass.thumbTypes[static_cast<size_t>(k - 1)].empty())
    prefix = kCopyPrefix;
  const std::vector<std::string>& types = prefix == kCopyPrefix ? pass.copyTypes : pass.thumbTypes;
  return toCase(prefix, upper) + zeroPad(k, 3) + "." +
         linkTarget(toCase(types[static_cast<size_t>(k - 1)], upper));
}

// Rewrites the placeholders `prefix`NNN.jpg of the line (see rewritePictures); `held` is set
// when one names a picture of the folder, `missing` when one names a picture beyond them.
void rewriteNumbered(const PagePass& pass, std::string& line, std::string_view prefix, bool& held,
                     bool& missing) {
  const std::string lowered = asciiLower(line);
  const long count = static_cast<long>(pass.copyTypes.size());
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
    if (k > count) {
      missing = true;
      continue;
    }
    held = true;
    out.append(line, from, at - from);
    out += pictureLink(pass, k, prefix);
    from = at + 11;
  }
  out.append(line, from, std::string::npos);
  line = std::move(out);
}

// Every picture placeholder img_NNN.jpg (any letter case) of the line whose number is one of
// the folder's copies becomes that copy's name; in web mode every min_NNN.jpg becomes the name
// of the copy's thumbnail. Returns false when the line names only pictures the folder does not
// hold: such a line is left out, so no link leads nowhere.
bool rewritePictures(const PagePass& pass, std::string& line) {
  bool held = false, missing = false;
  rewriteNumbered(pass, line, kCopyPrefix, held, missing);
  if (pass.job.web.on()) rewriteNumbered(pass, line, kThumbPrefix, held, missing);
  return held || !missing;
}

}  // namespace

void Scrivi_Menu(PagePass& pass) {
  FileSystem& fs = pass.sys.fs;
  const bool upper = pass.upper();
  const std::string menuPath =
      toCase(pass.folderPath + (upper ? "\\MENU.HTM" : "\\menu.htm"), upper);
  std::unique_ptr<TextWriter> menu;
  if (FsStatus opened = fs.openWrite(menuPath, menu); !opened.ok() || !menu) {
    reportPageFailure(pass, menuPath, opened);
    return;
  }
  std::unique_ptr<TextReader> menuTemplate;
  FsStatus lostLine;  // the first failed line: the page is then not kept
  const auto write = [&menu, &lostLine](const std::string& line) {
    if (lostLine.ok()) lostLine = menu->writeLine(line);
  };
  if (fs.openRead(pass.programFile("MENU.HTM"), menuTemplate).ok() && menuTemplate) {
    const long n = pass.folderNumber;
    const std::string index = indexLink(pass);
    const std::string previous =
        n == pass.job.folders.firstFolder ? index : folderLink(n - 1, upper);
    const std::string next =
        pass.lastFolderMarker == kLastFolderMarker ? index : folderLink(n + 1, upper);
    const long count = static_cast<long>(pass.copyTypes.size());
    std::string line;
    const bool web = pass.job.web.on();
    while (lostLine.ok() && menuTemplate->readLine(line)) {
      if (line.starts_with(kWebOnly) || line.starts_with(kCopiesOnly)) {
        const std::string_view marker = line.starts_with(kWebOnly) ? kWebOnly : kCopiesOnly;
        if ((marker == kWebOnly) != web) continue;
        line.erase(0, marker.size());
      }
      const std::string lowered = asciiLower(line);
      if (!mayHoldPlaceholder(lowered)) {  // most of the page: written as it stands
        write(line);
        continue;
      }
      if (lowered.starts_with(kRepeatMarker)) {
        const std::string repeated = line.substr(kRepeatMarker.size());
        for (long k = kFirstRepeated; k <= count; ++k) {
          std::string copy = rewritePlaceholder(repeated, std::string(kRepeatPlaceholder), 0,
                                                pictureLink(pass, k));
          if (web)
            copy = rewritePlaceholder(copy, std::string(kRepeatThumbPlaceholder), 0,
                                      pictureLink(pass, k, kThumbPrefix));
          write(copy);
        }
        continue;
      }
      // Each rewrite works on the result of the one before, so a line may hold any number of
      // placeholders and every one of them becomes a working link. The up link and the
      // navigation pictures are named as this build wrote them.
      line = rewritePlaceholder(line, "../index.htm", 0, index);
      line = rewritePlaceholder(line, "../dir_000p/menu.htm", 0, previous);
      line = rewritePlaceholder(line, "../dir_000s/menu.htm", 0, next);
      for (std::string_view picture : kNavigationPictures)
        line = rewritePlaceholder(line, asciiLower(std::string(picture)), 0,
                                  toCase(picture, upper));
      if (rewritePictures(pass, line)) write(line);
    }
  }
  // Only a slideshow page written whole replaces the earlier one: after a failed line the page
  // is dropped unclosed. A failure is told.
  const FsStatus written = lostLine.ok() ? menu->close() : lostLine;
  menu.reset();
  if (!written.ok()) reportPageFailure(pass, menuPath, written);
}

}  // namespace vortena
