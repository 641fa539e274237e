#include "pagewriter/write_recovery.h"

#include "core/text.h"
#include "pagewriter/copy_queue.h"

namespace vortena {

std::string pageErrorDescription(int number) {
  return number == kPageNotOpen ? kPageNotOpenDescription : errorDescription(number);
}

namespace {

std::string failureDetail(FsStatus status) {
  return " ERR=" + signedNumber(status.number) + " - " + pageErrorDescription(status.number);
}

}  // namespace

void reportPageFailure(const PassContext& pass, const std::string& path, FsStatus status) {
  if (!pass.copies.failureToTell(status, path)) return;
  pass.sys.ui.beep();
  pass.sys.ui.message("Errore in registrazione Elenco " + path + "\r\r" + failureDetail(status));
}

Flow recoverFromWriteFailure(PassContext& pass, PageFile& page, WriteRecovery& recovery,
                             FsStatus status) {
  if (status.ok()) return Flow::Next;
  PageJob& job = pass.job;
  Ui& ui = pass.sys.ui;
  const std::string path = pass.pagePath();
  const std::string detail = failureDetail(status);

  page.abandon();
  if (!pass.copies.failureToTell(status, path)) return Flow::EndPass;  // a full disk
  ui.beep();
  const bool pathFailure = status.number == kPathFileAccess || status.number == kPathNotFound;
  if (!pathFailure || recovery.fallbackCount >= 2) {
    ui.message("Errore in registrazione Elenco " + path + "\r\r" + detail);
    // C:\index.htm was the last place to try: without a page there is nothing to go on with.
    return pathFailure ? Flow::EndPass : Flow::Next;
  }
  if (recovery.fallbackCount == 0) {
    ui.message("Errore in registrazione Elenco (forse e' un CD-ROM) " + path + "\r\r" +
               "Tento di registrare sul disco C: " + "\r\r" + detail);
    job.outputFolder =
        "C:" + (job.outputFolder.size() > 2 ? job.outputFolder.substr(2) : std::string());
  } else {
    ui.message("Errore in registrazione Elenco (non esiste stessa cartella) " + path + "\r\r" +
               "Tento di registrare sul disco con il nome C:\\index.htm " + "\r\r" + detail);
    job.outputFolder = "C:\\";
    job.pageFile = "index.htm";
  }
  ++recovery.fallbackCount;
  return Flow::Restart;
}

}  // namespace vortena
