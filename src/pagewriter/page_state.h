// The state of one page pass, shared by its stages: the open album page, the grid and entry
// folder counters, and the fallback counter of the write recovery. It lives for one call of
// writeAlbumPage and starts afresh at each call.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fs/file_system.h"
#include "pagewriter/build_record.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/page_pass.h"

namespace vortena {

// Error number of a write to an album page that is not open (the open failed, or the write
// recovery closed it): reported like any other failure of the guarded stretch.
inline constexpr int kPageNotOpen = 52;
inline constexpr const char* kPageNotOpenDescription = "Nome o numero di file non valido";

class WebCopies;

// Marker of the last entry folder of a page: its next link leads back to the index page.
inline constexpr int kLastFolderMarker = 9898;

// What the pass does after a step of the guarded stretch.
enum class Flow {
  Next,     // go on with the next step
  Restart,  // the page moved: open it again under its new path and write it from the start
  EndPass,  // give up on this page: straight to the end of pass
};

struct PagePass {
  // `s.ui` is q.ui(): everything the pass tells comes after the copies queued before it. The
  // record and the copies outlive the pass.
  PagePass(PageJob& j, const BuildSettings& b, const PassServices& s, CopyQueue& q, BuildRecord& r)
      : job(j), settings(b), sys(s), copies(q), record(r) {}

  PageJob& job;
  const BuildSettings& settings;
  const PassServices& sys;
  // The byte copies of the entry folders, made beside the pass (copy_queue.h).
  CopyQueue& copies;
  BuildRecord& record;
  const std::string q = "\"";  // the quote character around every attribute value

  std::unique_ptr<TextWriter> page;  // the album page; empty while it is not open
  int fallbackCount = 0;             // fallbacks taken by the write recovery in this pass
  int checkedFallback = 0;           // the fallback whose location was checked for old files
  PageOutcome outcome = PageOutcome::NotWritten;
  FsStatus lostLine;  // the first failed line of the open page outside the guarded stretch

  // Grid.
  long cellsInRow = 0;
  std::string choiceLabel;  // text of the last picture button

  // Entry folders.
  long folderNumber = 1;  // n: the folder being filled
  long folderCount = 0;   // c: entries already copied into folder n; 0 means none is open
  std::string folderPath;
  int lastFolderMarker = 0;
  // File type given to each copy of folder n, in order, and to each thumbnail in web mode; in
  // web mode an empty type for a copy or thumbnail that was not written.
  std::vector<std::string> copyTypes;
  std::vector<std::string> thumbTypes;
  // The web pictures under way, made when the first one is asked for (web_copies.h).
  std::shared_ptr<WebCopies> webCopies;
  // Folder n against the build record: what the last build left there, whether the folder is
  // still as it was left (no name made, removed or renamed in it since) and its copies made from
  // the same sources so far, and this build's record of it.
  struct FolderState {
    const BuildRecord::Folder* recorded = nullptr;
    bool intact = false;   // as recorded, and every copy so far recorded as it is
    bool opened = false;   // made, or found there already, by makeFolder
    bool isNew = false;    // made by this build just now: nothing of an earlier build in it
    bool failed = false;   // something in it failed: it is not recorded
    // How a copy found there already is taken: by its size and times, or, where the album
    // has no build record (a first build, or the user asks for every file to be checked),
    // only when it holds its source's bytes.
    EarlierCopy earlier = EarlierCopy::Keep;
    std::vector<std::uint64_t> entries;  // the digest of each copy (BuildRecord::entryDigest)
  } folder;

  bool upper() const { return settings.upperCase; }
  // The program folder's file `name`.
  std::string programFile(std::string_view name) const {
    return sys.programFolder + "\\" + std::string(name);
  }
  // Dir_Album followed directly by File_Pagina.
  std::string pagePath() const { return job.outputFolder + job.pageFile; }

  // Writes one line to the album page; kPageNotOpen when the page is not open.
  FsStatus writePage(std::string_view line) {
    if (!page) return FsStatus{kPageNotOpen};
    return page->writeLine(line);
  }
  // A line written outside the guarded stretch (a header line, the grid, the footer): its failure
  // is not told at once; the first one is kept, and the page is then not kept at its end.
  void writeUnguarded(std::string_view line) {
    FsStatus written = writePage(line);
    if (lostLine.ok() && page) lostLine = written;
  }
  // Gives up on the page being written: the file of that name keeps what it held before.
  void abandonPage() {
    page.reset();
    lostLine = FsStatus{};
  }
  // Ends the page being written: only a page closed without any failure replaces the file of
  // that name. The failure of any line, of the flush or of the close is returned.
  FsStatus finishPage() {
    if (!page) return FsStatus{kPageNotOpen};
    const FsStatus closed = lostLine.ok() ? page->close() : lostLine;
    abandonPage();
    return closed;
  }
};

}  // namespace vortena
