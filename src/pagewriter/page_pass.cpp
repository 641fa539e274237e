#include "pagewriter/page_pass.h"

#include <string_view>

#include "pagewriter/entry_grid.h"
#include "pagewriter/page_header.h"
#include "pagewriter/page_state.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

bool canOpen(FileSystem& fs, const std::string& path) {
  std::unique_ptr<TextReader> reader;
  return fs.openRead(path, reader).ok();
}

// A template of the program folder that cannot be opened: the user decides whether to go on
// without it.
bool templateAvailableOrAccepted(PagePass& pass, std::string_view name) {
  const std::string path = pass.programFile(name);
  if (canOpen(pass.sys.fs, path)) return true;
  pass.sys.ui.beep();
  return pass.sys.ui.question("Manca il file " + std::string(name) + ", continuo ?" + "\r\r" +
                              path);
}

// An existing page is replaced only with the user's consent, asked once per build.
bool newPageOrAccepted(PagePass& pass) {
  PageJob& job = pass.job;
  if (job.Elenco_Confermato == 1 || !canOpen(pass.sys.fs, pass.pagePath())) return true;
  pass.sys.ui.beep();
  if (!pass.sys.ui.question("Elenco  " + job.Dir_Album + job.File_Pagina +
                            "  gia' esistente, continuo (S/N)"))
    return false;
  job.Elenco_Confermato = 1;
  return true;
}

// The checks before anything is written; false when the user said No to one of them.
bool setUp(PagePass& pass) {
  return templateAvailableOrAccepted(pass, "MENU.HTM") && newPageOrAccepted(pass) &&
         templateAvailableOrAccepted(pass, "INTESTAZ.HTM") &&
         templateAvailableOrAccepted(pass, "PIEDE.HTM");
}

// Opens the album page afresh and writes it whole: first line, header, back link, grid,
// footer. Flow::Restart when the write recovery moved the page.
Flow writePage(PagePass& pass) {
  pass.closePage();
  std::unique_ptr<TextWriter> page;
  FsStatus opened = pass.sys.fs.openWrite(pass.pagePath(), page);
  if (opened.ok() && page) pass.page = std::move(page);
  Flow flow = Recupera_Errore(pass, opened);
  if (flow != Flow::Next) return flow;
  flow = Recupera_Errore(pass, pass.writePage("<HTML>"));
  if (flow != Flow::Next) return flow;
  Copia_Intestazione(pass);
  flow = Scrivi_Ritorno(pass);
  if (flow != Flow::Next) return flow;
  return Scrivi_Griglia(pass);
}

void endOfPass(Ui& ui) {
  ui.setPointer(Pointer::Default);
  ui.beep();
}

}  // namespace

void Crea_Pagina(PageJob& job, const PassControls& controls, const PassServices& services) {
  job.folders.nextFolder = job.folders.firstFolder;
  try {
    PagePass pass(job, controls, services);
    if (setUp(pass)) {
      services.ui.setPointer(Pointer::Hourglass);
      while (writePage(pass) == Flow::Restart) {
      }
      pass.closePage();
    }
  } catch (...) {
    // Nothing may end the program from here: what was written stays, the pass ends as usual.
  }
  endOfPass(services.ui);
}

}  // namespace vortena
