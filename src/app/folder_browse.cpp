#include "app/folder_browse.h"

#include "core/text.h"

namespace vortena {

std::string folderPart(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNamePart(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string runDialogSequence(const Services& services, JobState& job,
                              const std::string& folderPart) {
  job.rootFolder = folderPart;
  std::string result = services.dialog->choose(
      "Ricerca cartelle/directory contenenti Foto/Film/Suoni", folderPart, "*.*");
  services.ui->processEvents();
  return trim(result);
}

void browseForSearchFolder(Session& session) {
  Form& form = session.form;
  JobState& job = session.job;
  session.services.ui->beep();
  std::string chosen =
      runDialogSequence(session.services, job, folderPart(form.searchFolderBox->text()));
  if (chosen.empty()) return;
  chosen = chosen.substr(0, chosen.find('/'));
  std::string folder = folderPart(chosen);
  if (!trim(folder).empty()) {
    form.searchFolderBox->setText(folder);
    job.rootFolder = folder;
  } else {
    form.searchFolderBox->setText(job.rootFolder);
  }
  form.pagePathBox->setText(job.rootFolder + fileNamePart(form.pagePathBox->text()));
}

}  // namespace vortena
