// The types every stage of a page pass shares: the job of one page, what the pass reaches
// outside itself, how a pass ends, and the context each stage reads. The stages take these and
// the parts of the pass they use (page_file.h, folder_state.h, write_recovery.h); only
// page_pass.cpp holds them all and drives the stages.
#pragma once

#include <string>
#include <string_view>

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

// What the pass does after a step of the guarded stretch.
enum class Flow {
  Next,     // go on with the next step
  Restart,  // the page moved: open it again under its new path and write it from the start
  EndPass,  // give up on this page: straight to the end of pass
};

// Marker of the last entry folder of a page: its next link leads back to the index page.
inline constexpr int kLastFolderMarker = 9898;

// What every stage of one pass reads: the job (which the write recovery and the grid change),
// the build's settings, the services, and the build's copies, which tell the user everything
// in the order it happened (`sys.ui` is copies.ui()). It lives for one call of writeAlbumPage.
struct PassContext {
  PageJob& job;
  const BuildSettings& settings;
  const PassServices& sys;
  // The byte copies of the entry folders, made beside the pass (copy_queue.h).
  CopyQueue& copies;
  const std::string q = "\"";  // the quote character around every attribute value

  bool upper() const { return settings.upperCase; }
  // The program folder's file `name`.
  std::string programFile(std::string_view name) const {
    return sys.programFolder + "\\" + std::string(name);
  }
  // The output folder followed directly by the page file.
  std::string pagePath() const { return job.outputFolder + job.pageFile; }
};

}  // namespace vortena
