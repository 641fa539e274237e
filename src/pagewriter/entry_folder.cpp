#include "pagewriter/entry_folder.h"

#include "core/text.h"
#include "pagewriter/copies.h"
#include "pagewriter/html_escape.h"
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

std::string indexLink(bool upper) { return upper ? "../INDEX.HTM" : "../index.htm"; }

std::string folderLink(long n, bool upper) {
  return upper ? "../DIR_" + zeroPad(n, 4) + "/MENU.HTM" : "../dir_" + zeroPad(n, 4) + "/menu.htm";
}

void completeFolder(PagePass& pass, bool lastFolder) {
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
  ignoreFailure(pass.sys.fs.makeFolder(pass.folderPath),
                "already there from an earlier entry or an earlier build; a copy into a missing "
                "folder reports itself");
  pass.sys.ui.processEvents();
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
}

void Completa_Ultima_Cartella(PagePass& pass) {
  if (pass.folderCount > 0) completeFolder(pass, true);
}

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
  FsStatus lostLine;
  if (fs.openRead(pass.programFile("MENU.HTM"), menuTemplate).ok() && menuTemplate) {
    const long n = pass.folderNumber;
    const std::string previous =
        n == pass.job.folders.firstFolder ? indexLink(upper) : folderLink(n - 1, upper);
    const std::string next =
        pass.lastFolderMarker == kLastFolderMarker ? indexLink(upper) : folderLink(n + 1, upper);
    std::string line;
    while (lostLine.ok() && menuTemplate->readLine(line)) {
      // Each rewrite works on the result of the one before, so a line may hold any number of
      // placeholders and every one of them becomes a working link.
      line = rewritePlaceholder(line, "../dir_000p/menu.htm", 0, previous);
      line = rewritePlaceholder(line, "../dir_000s/menu.htm", 0, next);
      for (size_t k = 1; k <= pass.copyTypes.size(); ++k) {
        const std::string picture = "img_" + zeroPad(static_cast<long>(k), 3) + ".jpg";
        line = rewritePlaceholder(line, picture, picture.size() - 3,
                                  linkTarget(pass.copyTypes[k - 1]));
      }
      lostLine = menu->writeLine(line);
    }
  }
  // Only a slideshow page written whole replaces the earlier one: after a failed line the page
  // is dropped unclosed. A failure is told.
  const FsStatus written = lostLine.ok() ? menu->close() : lostLine;
  menu.reset();
  if (!written.ok()) reportPageFailure(pass, menuPath, written);
}

}  // namespace vortena
