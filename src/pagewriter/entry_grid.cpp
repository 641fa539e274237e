#include "pagewriter/entry_grid.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "pagewriter/button_cell.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/entry_folder.h"
#include "pagewriter/html_escape.h"
#include "pagewriter/output_names.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

constexpr std::array<std::string_view, 6> kDirectExtensions = {"HTM", "WAV", "MP3",
                                                               "MID", "WMA", "AVI"};

bool isBlank(std::string_view item) { return trim(item).empty(); }

// True when no position after p in the page's range holds a non-blank entry. The walk goes
// from the end of the range backwards, so it usually stops at once.
bool lastInRange(const PassContext& pass, long p) {
  const MediaList& entries = pass.settings.entries;
  const long last = std::min<long>(pass.job.lastEntry, static_cast<long>(entries.size()));
  for (long later = last; later > p; --later)
    if (!isBlank(entries[static_cast<size_t>(later - 1)])) return false;
  return true;
}

// Lines written while the recovery is in force; stops at the first line it does not let pass.
Flow writeGuarded(PassContext& pass, PageFile& page, WriteRecovery& recovery,
                  std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) {
    Flow flow = recoverFromWriteFailure(pass, page, recovery, page.write(line));
    if (flow != Flow::Next) return flow;
  }
  return Flow::Next;
}

void writeIgnoringFailures(PageFile& page, std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) page.writeUnguarded(line);
}

// The folders of a Windows path, drive first ("C:\\a\\b\\" gives C:, a, b).
std::vector<std::string> pathFolders(const std::string& folder) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at = folder.find_first_of("\\/"); at != std::string::npos;
       at = folder.find_first_of("\\/", from)) {
    if (at > from) parts.push_back(folder.substr(from, at - from));
    from = at + 1;
  }
  if (from < folder.size()) parts.push_back(folder.substr(from));
  return parts;
}

// The link of a direct button: the entry's file seen from the page's folder. An entry below
// the page's folder keeps the text below it (the label's text when the search folder is the
// page's); one beside it climbs with "..\\" as far as the folders differ. An entry without a
// folder, or on another drive, keeps the label's text.
// The entry's file is named as it is on the disk (`source`: its folders as listed, its name in
// the build's case once renamed).
std::string directLink(const PassContext& pass, const EntryParts& parts, const std::string& label,
                       const std::string& source) {
  const EntryParts onDisk = splitEntry(source);
  const std::vector<std::string> page = pathFolders(pass.job.outputFolder);
  const std::vector<std::string> entry = pathFolders(onDisk.folderPart);
  if (page.empty() || entry.empty() || toUpper(page[0]) != toUpper(entry[0]) ||
      page[0].size() != 2 || page[0][1] != ':')
    return label + parts.fileName;
  size_t common = 1;
  while (common < page.size() && common < entry.size() &&
         toUpper(page[common]) == toUpper(entry[common]))
    ++common;
  std::string link;
  for (size_t i = common; i < page.size(); ++i) link += "..\\";
  for (size_t i = common; i < entry.size(); ++i) link += entry[i] + "\\";
  return link + onDisk.fileName;
}

// The button cell of an entry that begins a folder, and the row break that may follow it.
// `cellsInRow` counts the cells of the grid's row so far.
void writeCell(const PassContext& pass, PageFile& page, long folderNumber, long& cellsInRow,
               const EntryParts& parts, const std::string& label, const std::string& source) {
  openButtonCell(pass, page);
  std::string text;
  if (isDirectEntry(entryExtension(parts.fileName))) {
    page.writeUnguarded("        <A HREF=" + pass.q +
                        linkTarget(directLink(pass, parts, label, source)) + pass.q + ">");
    text = htmlText(parts.fileName);
  } else {
    const std::string number = zeroPad(folderNumber, 4);
    const std::string target =
        pass.upper() ? "DIR_" + number + "\\MENU.HTM" : "dir_" + number + "\\menu.htm";
    page.writeUnguarded("        <A HREF=" + pass.q + target + pass.q + ">");
    text = "SCELTA " + signedNumber(folderNumber);
  }
  page.writeUnguarded(text + "</A>");
  closeButtonCell(page);
  writeIgnoringFailures(page, {"</table></td>", " "});

  ++cellsInRow;
  if (pass.settings.imagesPerRow <= static_cast<double>(cellsInRow)) {
    writeIgnoringFailures(page, {" ", "</tr>", "<tr>", " "});
    cellsInRow = 0;
  }
}

// The source file of an entry takes the build's letter case in its own last name, in place: its
// folders are written as the list holds them, so that a case twin of a folder (Trip beside
// TRIP) is never taken for it. Returns the path the entry is copied from: the new name, or the
// name as listed when the rename failed (a folder entry, a file that is gone, a case twin
// already holding that name), so that the entry's own file is copied and never its twin.
std::string takeBuildCase(const PassContext& pass, const std::string& stored,
                          const std::string& casedName) {
  const EntryParts listed = splitEntry(stored);
  if (listed.fileName == casedName) return stored;
  const std::string renamed = listed.folderPart + casedName;
  return pass.sys.fs.rename(stored, renamed).ok() ? renamed : stored;
}

void copyFooter(const PassContext& pass, PageFile& page) {
  const Expected<std::unique_ptr<TextReader>> footer =
      pass.sys.fs.openRead(pass.programFile("PIEDE.HTM"));
  if (!footer.ok()) {
    page.writeUnguarded("</HTML>");
    return;
  }
  std::string line;
  while ((*footer)->readLine(line)) page.writeUnguarded(siteNamesInCase(line, pass.upper()));
}

}  // namespace

EntryParts splitEntry(const std::string& entryText) {
  const size_t slash = entryText.rfind('\\');
  if (slash == std::string::npos) return {"", entryText};
  return {entryText.substr(0, slash + 1), entryText.substr(slash + 1)};
}

std::string entryLabel(const std::string& folderPart, const std::string& dirRadice) {
  if (dirRadice.empty() || folderPart.size() <= dirRadice.size()) return {};
  return folderPart.substr(dirRadice.size());
}

std::string entryExtension(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return {};
  return toUpper(fileName.substr(dot + 1));
}

bool isDirectEntry(const std::string& extension) {
  for (std::string_view direct : kDirectExtensions)
    if (extension == direct) return true;
  return extension.starts_with("MP");
}

Flow writeGrid(PassContext& pass, PageFile& page, WriteRecovery& recovery, EntryFolders& folders) {
  long cellsInRow = 0;
  folders.count = 0;
  folders.number = pass.job.folders.firstFolder;
  folders.copyTypes.clear();
  folders.thumbTypes.clear();
  const std::string& q = pass.q;
  Flow flow = writeGuarded(pass, page, recovery,
                           {"<table border=" + q + "0" + q + " cellpadding=" + q + "0" + q +
                                " cellspacing=" + q + "10" + q + " width=" + q + "130" + q + ">",
                            "<tr>", " "});
  if (flow != Flow::Next) return flow;

  bool anyEntry = false;
  // The walk stops at the end of the list.
  const MediaList& entries = pass.settings.entries;
  const long count = static_cast<long>(entries.size());
  for (long p = pass.job.firstEntry; p <= pass.job.lastEntry && p <= count; ++p) {
    if (pass.copies.stopped()) return Flow::EndPass;  // the disk is full: the page is given up
    const std::string stored = p >= 1 ? std::string(entries[static_cast<size_t>(p - 1)]) : "";
    const std::string entry = toCase(stored, pass.upper());
    if (isBlank(entry)) continue;
    anyEntry = true;
    // The positions run over the whole list, also across the pages of a paged build.
    pass.sys.ui.progress(p, count);
    const EntryParts parts = splitEntry(entry);
    const std::string source = takeBuildCase(pass, stored, parts.fileName);
    const std::string label = entryLabel(parts.folderPart, pass.job.rootFolder);
    if (folders.count == 0) writeCell(pass, page, folders.number, cellsInRow, parts, label, source);
    placeEntry(pass, folders, parts.folderPart, parts.fileName, source, lastInRange(pass, p));
  }
  completeLastFolder(pass, folders);
  if (pass.copies.stopped()) return Flow::EndPass;
  pass.job.folders.nextFolder = folders.number + (folders.count > 0 ? 1 : 0);

  const std::initializer_list<std::string> closing = {" </tr>", "</table>", "</center></div>"};
  if (anyEntry) {
    writeIgnoringFailures(page, closing);
  } else {
    flow = writeGuarded(pass, page, recovery, closing);
    if (flow != Flow::Next) return flow;
  }
  copyFooter(pass, page);
  // The last page takes its name only once the copies are made (see PageJob::lastPage).
  if (pass.job.lastPage) pass.copies.deliver();
  if (pass.copies.stopped()) return Flow::EndPass;
  const std::string path = pass.pagePath();
  if (FsStatus written = page.finish(); written.ok()) {
    page.outcome = PageOutcome::Written;
    folders.record.made(pass.job.outputFolder, pass.job.pageFile);
  } else if (written.number != kPageNotOpen) {  // a page never opened was reported already
    reportPageFailure(pass, path, written);
  }
  return Flow::Next;
}

}  // namespace vortena
