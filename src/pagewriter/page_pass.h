// The page writer: one call of Crea_Pagina writes one album page and everything that hangs from
// it (header, grid of button cells, entry folders with their copies and slideshow pages,
// footer), reading the page's job fields and the window's option controls.
#pragma once

#include <string>

#include "core/controls.h"
#include "core/job_state.h"
#include "core/services.h"
#include "core/web_options.h"
#include "fs/file_system.h"

namespace vortena {

class BuildRecord;
class CopyQueue;

// The job fields of one page pass.
struct PageJob {
  // Where the page goes. The write recovery may move it; the new place stays for the build.
  std::string Dir_Album;
  std::string File_Pagina;
  // 1 once the user agreed to replace a page in this build; the pass may set it.
  int Elenco_Confermato = 0;
  // The 1-based list positions of the page's range, and the root folder cut off the labels.
  long Primo_File = 0;
  long Ultimo_File = 0;
  std::string Dir_Radice;
  // The index page of a paged build, named from the page's folder; empty in a single-page
  // build, whose page is its own index.
  std::string indexPage;
  // The pass numbers its folders from folders.firstFolder and sets folders.nextFolder.
  FolderNumbering folders;
  // The web pictures of the build; off, the copies are byte copies.
  WebOptions web;
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

// The window's controls that a pass reads. They stay live: the pass lets the window process
// events, and an edit made meanwhile applies from the next read (the list, the two maxima,
// the case option and the two filter boxes are each read where they are used).
struct PassControls {
  const ListBox* List1 = nullptr;
  const TextBox* txtMAX_N_FILES = nullptr;
  const TextBox* txtMAX_PER_RIGA = nullptr;
  const CheckBox* Check1 = nullptr;       // leave the background out
  const CheckBox* Check2 = nullptr;       // leave the title out
  const OptionButton* Option1 = nullptr;  // "Maiuscole": the build's case is upper
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

// One page pass. Reads the range, Dir_Radice and the folder numbering; may set
// Elenco_Confermato and, through the write recovery, Dir_Album and File_Pagina; sets
// folders.nextFolder. Always returns; reports its failures itself.
[[nodiscard]] PageOutcome Crea_Pagina(PageJob& job, const PassControls& controls,
                                      const PassServices& services);

}  // namespace vortena
