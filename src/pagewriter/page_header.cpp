#include "pagewriter/page_header.h"

#include "core/text.h"
#include "pagewriter/copies.h"
#include "pagewriter/html_escape.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

// A check box counts as ticked only with the value 1; greyed (2) is off.
bool ticked(const CheckBox* box) { return box->value() == 1; }

// True when the line is to be left out of the page.
bool filteredOut(const PassControls& form, const std::string& line) {
  const std::string upper = toUpper(line);
  if (ticked(form.Check1) && upper.find("BACKGROUND") != std::string::npos) return true;
  if (ticked(form.Check2) && upper.find("MARQUEE") != std::string::npos) return true;
  return false;
}

}  // namespace

void Copia_Intestazione(PagePass& pass) {
  const PassControls& form = pass.controls;
  const char* name = ticked(form.Check1) && ticked(form.Check2) ? "INTEST_2.HTM" : "INTESTAZ.HTM";
  std::unique_ptr<TextReader> header;
  if (!pass.sys.fs.openRead(pass.programFile(name), header).ok() || !header) return;
  std::string line;
  while (header->readLine(line))
    if (!filteredOut(form, line)) pass.writeUnguarded(siteNamesInCase(line, pass.upper()));
}

Flow Scrivi_Ritorno(PagePass& pass) {
  const bool upper = pass.upper();
  const std::string index = upper ? "INDEX.HTM" : "index.htm";
  if (pass.job.File_Pagina.find(index) != std::string::npos) return Flow::Next;
  if (pass.job.indexPage == pass.job.File_Pagina) return Flow::Next;  // the index of pages
  const std::string& q = pass.q;
  // A numbered page leads back to the index of pages this build writes; a single page to the
  // site's own index.htm.
  const std::string target = pass.job.indexPage.empty() ? index : linkTarget(pass.job.indexPage);
  // The closing tags stand in the order the page has always had (strong before em).
  return Recupera_Errore(
      pass, pass.writePage("<H2><a href=" + q + target + q + " target=" + q + "_top" + q +
                           "><p align=" + q + "center" + q + "><font color=" + q + "#FFFF80" + q +
                           "><strong><em>Ritorna alla pagina iniziale</strong></em></font></p>"
                           "</a></H2>"));
}

}  // namespace vortena
