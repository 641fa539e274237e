#include "album/album.h"

namespace vortena {

PageOutcome Crea_Pagina(Album& album) {
  JobState& job = album.job;
  PageJob page{job.Dir_Album,  job.File_Pagina, job.Elenco_Confermato,
               job.Primo_File, job.Ultimo_File, job.Dir_Radice,
               job.indexPage,  album.folders,   album.web,
               album.record,   album.copies,  album.lastPage};
  const Form& f = album.form;
  const PassControls controls{f.List1,  f.txtMAX_N_FILES, f.txtMAX_PER_RIGA,
                              f.Check1, f.Check2,         f.Option1};
  const PassServices services{*album.sys.fs, *album.sys.ui, album.sys.programFolder};
  const PageOutcome outcome = Crea_Pagina(page, controls, services);
  job.Dir_Album = page.Dir_Album;
  job.File_Pagina = page.File_Pagina;
  job.Elenco_Confermato = page.Elenco_Confermato;
  album.folders = page.folders;
  return outcome;
}

}  // namespace vortena
