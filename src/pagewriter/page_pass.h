// The page writer: one call of writeAlbumPage writes one album page and everything that hangs
// from it (header, grid of button cells, entry folders with their copies and slideshow pages,
// footer), from the page's job fields and the build's settings.
#pragma once

#include <string>

#include "core/build_settings.h"
#include "core/job_state.h"
#include "core/services.h"
#include "fs/file_system.h"

namespace vortena {

class BuildRecord;
class CopyQueue;

// The job fields of one page pass.
struct PageJob {
  // Where the page goes. The write recovery may move it; the new place stays for the build.
  std::string outputFolder;
  std::string pageFile;
  // The user agreed to replace a page in this build; the pass may set it.
  bool replaceConfirmed = false;
  // The 1-based positions in the settings' entries of the page's range, and the root folder
  // cut off the labels.
  long firstEntry = 0;
  long lastEntry = 0;
  std::string rootFolder;
  // The index page of a paged build, named from the page's folder; empty in a single-page
  // build, whose page is its own index.
  std::string indexPage;
  // The pass numbers its folders from folders.firstFolder and sets folders.nextFolder.
  FolderNumbering folders;
  // The build's record of its entry folders (build_record.h), kept across the passes of a
  // build; null for a pass on its own, which then keeps one for itself.
  BuildRecord* record = nullptr;
  // The build's copies (copy_queue.h), made on across its passes; null for a pass on its own,
  // which then makes its copies itself and delivers them before it ends. Whoever owns the queue
  // tells the user everything through its ui() while it lives.
  CopyQueue* copies = nullptr;
  // The build's last page (its only one, or its index of pages): the page takes its name only
  // once every copy of the build is made, so that a disk that fills up meanwhile stops the
  // build before it and the earlier page stays. The numbered pages of a paged build do not
  // wait: their copies go on beside the next page.
  bool lastPage = true;
};

// What a pass reaches outside itself: the disk, the user, and the templates' folder (drive
// form, without a trailing backslash).
struct PassServices {
  FileSystem& fs;
  Ui& ui;
  std::string programFolder;
};

// How a page pass ended.
enum class PageOutcome {
  Written,          // the album page was written whole
  Refused,          // the user said No before anything was written (missing template, old page)
  NotWritten,       // the page could not be written; the failure was reported
  RecoveryRefused,  // the page was to move elsewhere and the user refused to replace the
                    // files there: the build ends, nothing was written at that place
  Stopped,          // the disk is full (told once): the build ends, the page stays as it was
};

// One page pass, of the entries of `settings` in the job's range. Reads the range, the root
// folder and the folder numbering; may set replaceConfirmed and, through the write recovery,
// the output folder and the page file; sets folders.nextFolder. Always returns; reports its
// failures itself.
[[nodiscard]] PageOutcome writeAlbumPage(PageJob& job, const BuildSettings& settings,
                                         const PassServices& services);

}  // namespace vortena
