#include "album/job_steps.h"

#include <cctype>

#include "core/text.h"

namespace vortena {

void splitPagePath(Album& album) {
  JobState& job = album.job;
  std::string path = toCase(trim(album.form.txtNOME_FILE_HTM->text()), album.upperCase());
  size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    job.Dir_Album.clear();
    job.Nome_Pagina = path;
  } else {
    job.Dir_Album = path.substr(0, slash + 1);
    job.Nome_Pagina = path.substr(slash + 1);
  }
}

void changeToOutputFolder(Album& album) {
  const std::string& folder = album.job.Dir_Album;
  // A folder that cannot be made current is ignored: the page then goes to the write recovery
  // if it cannot be opened where the current folder lies.
  if (folder.empty()) return;
  if (!album.sys.fs->changeFolder(folder).ok()) return;
  if (folder.size() >= 2 && folder[1] == ':' && std::isalpha(static_cast<unsigned char>(folder[0])))
    ignoreFailure(album.sys.fs->changeDrive(folder[0]),
                  "the folder change just made the drive known");
}

void wholeListRange(Album& album) {
  album.job.N_Files = album.form.List1->count();
  album.job.Primo_File = 1;
  album.job.Ultimo_File = album.job.N_Files;
}

void pageFileNameRule(Album& album) {
  const std::string& name = album.job.Nome_Pagina;
  std::string base = name.substr(0, name.find('.'));
  album.job.File_Pagina = base + (album.upperCase() ? ".HTM" : ".htm");
}

}  // namespace vortena
