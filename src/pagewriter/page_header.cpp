#include "pagewriter/page_header.h"

#include "core/text.h"
#include "pagewriter/html_escape.h"
#include "pagewriter/output_names.h"
#include "pagewriter/write_recovery.h"

namespace vortena {
namespace {

// True when the line is to be left out of the page.
bool filteredOut(const BuildSettings& settings, const std::string& line) {
  const std::string upper = toUpper(line);
  if (settings.leaveOutBackground && upper.find("BACKGROUND") != std::string::npos) return true;
  if (settings.leaveOutTitle && upper.find("MARQUEE") != std::string::npos) return true;
  return false;
}

}  // namespace

void copyHeader(const PassContext& pass, PageFile& page) {
  const BuildSettings& settings = pass.settings;
  const char* name =
      settings.leaveOutBackground && settings.leaveOutTitle ? "INTEST_2.HTM" : "INTESTAZ.HTM";
  const Expected<std::unique_ptr<TextReader>> header = pass.sys.fs.openRead(pass.programFile(name));
  if (!header.ok()) return;
  std::string line;
  while ((*header)->readLine(line))
    if (!filteredOut(settings, line)) page.writeUnguarded(siteNamesInCase(line, pass.upper()));
}

Flow writeBackLink(PassContext& pass, PageFile& page, WriteRecovery& recovery) {
  const bool upper = pass.upper();
  const std::string index = upper ? "INDEX.HTM" : "index.htm";
  if (pass.job.pageFile.find(index) != std::string::npos) return Flow::Next;
  if (pass.job.indexPage == pass.job.pageFile) return Flow::Next;  // the index of pages
  const std::string& q = pass.q;
  // A numbered page leads back to the index of pages this build writes; a single page to the
  // site's own index.htm.
  const std::string target = pass.job.indexPage.empty() ? index : linkTarget(pass.job.indexPage);
  // The closing tags stand in the order the page has always had (strong before em).
  return recoverFromWriteFailure(
      pass, page, recovery,
      page.write("<H2><a href=" + q + target + q + " target=" + q + "_top" + q + "><p align=" + q +
                 "center" + q + "><font color=" + q + "#FFFF80" + q +
                 "><strong><em>Ritorna alla pagina iniziale</strong></em></font></p>"
                 "</a></H2>"));
}

}  // namespace vortena
