#include "album/page_launch.h"

#include "core/text.h"

namespace vortena {

void Apri_Pagina(Album& album, const std::string& first, const std::string& fallback) {
  bool started = album.sys.launcher->start(first);
  if (!started && !fallback.empty()) album.sys.launcher->start(fallback);
}

void Command5_Click(Album& album) {
  const JobState& job = album.job;
  if (trim(job.File_Pagina).empty()) return;
  Apri_Pagina(album, "START /max /w " + job.Dir_Album + job.File_Pagina,
              "CMD /C" + job.Dir_Album + job.File_Pagina);
}

}  // namespace vortena
