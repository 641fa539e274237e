#include "pagewriter/page_pass.h"

#include <string_view>

#include "core/album_files.h"
#include "core/text.h"
#include "pagewriter/copies.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/entry_folder.h"
#include "pagewriter/entry_grid.h"
#include "pagewriter/folder_state.h"
#include "pagewriter/page_file.h"
#include "pagewriter/page_header.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

// One page pass: what its stages read, and the parts of its state, each handed to the stages
// that use it.
struct PagePass {
  PagePass(PageJob& job, const BuildSettings& settings, const PassServices& sys, CopyQueue& copies,
           BuildRecord& record)
      : context{job, settings, sys, copies}, folders(record) {}

  PassContext context;
  PageFile page;
  WriteRecovery recovery;
  EntryFolders folders;
};

bool canOpen(FileSystem& fs, const std::string& path) { return fs.openRead(path).ok(); }

// A template of the program folder that cannot be opened: the user decides whether to go on
// without it.
bool templateAvailableOrAccepted(const PassContext& pass, std::string_view name) {
  const std::string path = pass.programFile(name);
  if (canOpen(pass.sys.fs, path)) return true;
  pass.sys.ui.beep();
  return pass.sys.ui.question("Manca il file " + std::string(name) + ", continuo ?" + "\r\r" +
                              path);
}

// An existing page is replaced only with the user's consent, asked once per build.
bool newPageOrAccepted(const PassContext& pass) {
  PageJob& job = pass.job;
  if (job.replaceConfirmed || !canOpen(pass.sys.fs, pass.pagePath())) return true;
  pass.sys.ui.beep();
  if (!pass.sys.ui.question("Elenco  " + job.outputFolder + job.pageFile +
                            "  gia' esistente, continuo (S/N)"))
    return false;
  job.replaceConfirmed = true;
  return true;
}

// Whether anything the pass would write at the page's current place is there already: the page,
// a site file, or the pass's first entry folder.
bool oldFilesAtPagePlace(const PassContext& pass) {
  FileSystem& fs = pass.sys.fs;
  if (fs.fileIdentity(pass.pagePath()).ok()) return true;
  for (std::string_view name : kSiteAssets)
    if (fs.fileIdentity(toCase(pass.job.outputFolder + std::string(name), pass.upper())).ok())
      return true;
  return fs.fileIdentity(entryFolderPath(pass, pass.job.folders.firstFolder)).ok();
}

// The write recovery moved the page to a place the user did not choose. Files already there are
// replaced only with the user's consent, asked once for each such place; false after a No.
bool recoveryPlaceAccepted(const PassContext& pass, WriteRecovery& recovery) {
  if (recovery.fallbackCount == recovery.checkedFallback) return true;
  recovery.checkedFallback = recovery.fallbackCount;
  // A build killed outright in this place left its pending files (the place the user chose is
  // cleared by the build, once).
  ignoreFailure(pass.sys.fs.removeStaleTemporaryFiles(pass.job.outputFolder),
                "a leftover costs room, not a page; the next build tries again");
  if (!oldFilesAtPagePlace(pass)) return true;
  pass.sys.ui.beep();
  return pass.sys.ui.question("Elenco  " + pass.pagePath() + "  gia' esistente, continuo (S/N)");
}

// The checks before anything is written; false when the user said No to one of them.
bool setUp(const PassContext& pass) {
  return templateAvailableOrAccepted(pass, "MENU.HTM") && newPageOrAccepted(pass) &&
         templateAvailableOrAccepted(pass, "INTESTAZ.HTM") &&
         templateAvailableOrAccepted(pass, "PIEDE.HTM");
}

// Opens the album page afresh and writes it whole: first line, header, back link, grid,
// footer. Flow::Restart when the write recovery moved the page.
Flow writePage(PagePass& pass) {
  PassContext& context = pass.context;
  PageFile& page = pass.page;
  WriteRecovery& recovery = pass.recovery;
  page.abandon();
  if (!recoveryPlaceAccepted(context, recovery)) {
    page.outcome = PageOutcome::RecoveryRefused;
    return Flow::EndPass;
  }
  Expected<std::unique_ptr<TextWriter>> opened = context.sys.fs.openWrite(context.pagePath());
  if (opened.ok()) page.open(std::move(*opened));
  Flow flow = recoverFromWriteFailure(context, page, recovery, opened.status());
  if (flow != Flow::Next) return flow;
  flow = recoverFromWriteFailure(context, page, recovery, page.write("<HTML>"));
  if (flow != Flow::Next) return flow;
  copyHeader(context, page);
  flow = writeBackLink(context, page, recovery);
  if (flow != Flow::Next) return flow;
  return writeGrid(context, page, recovery, pass.folders);
}

void endOfPass(Ui& ui) {
  ui.setPointer(Pointer::Default);
  ui.beep();
}

}  // namespace

PageOutcome writeAlbumPage(PageJob& job, const BuildSettings& settings,
                           const PassServices& services) {
  job.folders.nextFolder = job.folders.firstFolder;
  PageOutcome outcome = PageOutcome::NotWritten;
  // A pass on its own keeps a record and copies of its own, which never touches the disk; the
  // record outlives the copies, whose last actions write to it.
  BuildRecord ownRecord(services.fs, services.programFolder, false);
  CopyQueue ownCopies(services.fs, services.ui);
  CopyQueue& copies = job.copies ? *job.copies : ownCopies;
  const PassServices ordered{services.fs, copies.ui(), services.programFolder};
  try {
    PagePass pass(job, settings, ordered, copies, job.record ? *job.record : ownRecord);
    if (setUp(pass.context)) {
      ordered.ui.setPointer(Pointer::Hourglass);
      while (writePage(pass) == Flow::Restart) {
      }
      pass.page.abandon();
      outcome = copies.stopped() ? PageOutcome::Stopped : pass.page.outcome;
    } else {
      outcome = PageOutcome::Refused;
    }
  } catch (...) {
    // Nothing may end the program from here: the failure is told, the page is given up (the
    // file of that name keeps what it held), the pass ends as usual.
    tellUnexpected(ordered.ui, "page pass", std::current_exception());
  }
  endOfPass(ordered.ui);
  // A pass on its own tells the last copies' failures, records their folders and ends with
  // its beep before it returns, also after a failure above; a build's copies go on into its
  // next pass.
  if (&copies == &ownCopies) {
    try {
      copies.deliver();
    } catch (...) {
      tellUnexpected(ordered.ui, "page pass", std::current_exception());
    }
    if (copies.stopped()) outcome = PageOutcome::Stopped;
  }
  return outcome;
}

}  // namespace vortena
