// Everything a command of the main window works in: the window's controls, the services, the
// job state and the folder numbering of the build. The window's handlers and the two builds take
// it whole; the stages below take only the parts they read or change.
#pragma once

#include "core/form.h"
#include "core/job_state.h"
#include "core/services.h"
#include "fs/file_system.h"
#include "pagewriter/page_pass.h"

namespace vortena {

struct Album {
  Form form;
  Services sys;
  JobState job;
  FolderNumbering folders;
  WebOptions web;  // the web pictures of the builds; off unless the user asks for them
  // The record of the entry folders while a build runs (pagewriter/build_record.h); null
  // between builds.
  BuildRecord* record = nullptr;
  // The copies of the build that runs (pagewriter/copy_queue.h); null between builds.
  CopyQueue* copies = nullptr;
  // The page pass writes the build's last page (see PageJob::lastPage).
  bool lastPage = true;

  // The case option: "Maiuscole" selected means upper case.
  bool upperCase() const { return form.Option1->selected(); }
};

// One page pass over the album: the page writer gets the job fields, the option controls and
// the services it uses, and the fields it may change (the page's place after a recovery, the
// consent to replace, the next folder number) are written back to the job state.
[[nodiscard]] PageOutcome Crea_Pagina(Album& album);

}  // namespace vortena
