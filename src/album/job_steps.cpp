#include "album/job_steps.h"


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
  // A folder typed without its drive and root ("album\") is taken from the current folder now,
  // once: the build then makes it current, and a relative name would point one level deeper.
  const bool rooted = job.Dir_Album.size() >= 3 && job.Dir_Album[1] == ':' &&
                      (job.Dir_Album[2] == '\\' || job.Dir_Album[2] == '/');
  if (!job.Dir_Album.empty() && !rooted) {
    std::string full = album.sys.fs->fullPath(job.Dir_Album);
    if (full.back() != '\\') full += '\\';
    job.Dir_Album = toCase(full, album.upperCase());
  }
}

void changeToOutputFolder(Album& album) {
  const std::string& folder = album.job.Dir_Album;
  // A folder that cannot be made current is ignored: the page then goes to the write recovery
  // if it cannot be opened where the current folder lies.
  if (folder.empty()) return;
  if (!album.sys.fs->changeFolder(folder).ok()) return;
  if (folder.size() >= 2 && folder[1] == ':' && ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z'))
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
