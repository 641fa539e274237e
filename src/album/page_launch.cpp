#include "album/page_launch.h"

#include "core/text.h"

namespace vortena {

void Apri_Pagina(Album& album, const std::string& page, const std::string& first,
                 const std::string& fallback) {
  if (album.sys.launcher->start(first)) return;
  if (!fallback.empty() && album.sys.launcher->start(fallback)) return;
  album.sys.ui->beep();
  album.sys.ui->message("Impossibile aprire la pagina " + page);
}

void Command5_Click(Album& album) {
  const JobState& job = album.job;
  if (trim(job.File_Pagina).empty()) return;
  const std::string page = job.Dir_Album + job.File_Pagina;
  Apri_Pagina(album, page, "START /max /w " + page, "CMD /C" + page);
}

}  // namespace vortena
