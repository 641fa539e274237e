// The page writer: one call of Crea_Pagina writes one album page and everything that hangs from
// it (header, grid of button cells, entry folders with their copies and slideshow pages,
// footer), reading the job state and the window's option controls.
#pragma once

#include "build/album.h"

namespace vortena {

// One page pass. Reads Dir_Album, File_Pagina, Primo_File, Ultimo_File, Dir_Radice,
// Elenco_Confermato and album.folders; may set Elenco_Confermato and, through the write
// recovery, Dir_Album and File_Pagina; sets album.folders.nextFolder. Always returns, also after
// a No answer; reports its failures itself.
void Crea_Pagina(Album& album);

}  // namespace vortena
