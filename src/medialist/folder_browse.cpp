#include "medialist/folder_browse.h"

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

std::string runDialogSequence(const Services& sys, JobState& job, const std::string& folderPart) {
  job.Dir_Radice = folderPart;
  std::string result = sys.dialog->choose("Ricerca cartelle/directory contenenti Foto/Film/Suoni",
                                          folderPart, "*.*");
  sys.ui->processEvents();
  return trim(result);
}

void Sfoglia_Cartella(Form& form, const Services& sys, JobState& job) {
  sys.ui->beep();
  std::string chosen = runDialogSequence(sys, job, folderPart(form.txtPATH_RICERCA->text()));
  if (chosen.empty()) return;
  chosen = chosen.substr(0, chosen.find('/'));
  std::string folder = folderPart(chosen);
  if (!trim(folder).empty()) {
    form.txtPATH_RICERCA->setText(folder);
    job.Dir_Radice = folder;
  } else {
    form.txtPATH_RICERCA->setText(job.Dir_Radice);
  }
  form.txtNOME_FILE_HTM->setText(job.Dir_Radice + fileNamePart(form.txtNOME_FILE_HTM->text()));
}

}  // namespace vortena
