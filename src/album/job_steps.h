// The four derivation steps that fill the album job state from the main window before a page.
#pragma once

#include "album/album.h"

namespace vortena {

// Page path split: Dir_Album and Nome_Pagina from the trimmed text of txtNOME_FILE_HTM in the
// build's case. A relative folder is made full from the current folder.
void splitPagePath(Album& album);
// Change to the output folder: Dir_Album becomes the current folder of its drive and that drive
// the current drive. A change that cannot be made is ignored.
void changeToOutputFolder(Album& album);
// Whole-list range: N_Files := items of List1, Primo_File := 1, Ultimo_File := N_Files.
void wholeListRange(Album& album);
// Page file name rule: File_Pagina := Nome_Pagina up to its first dot, then ".HTM" / ".htm".
void pageFileNameRule(Album& album);

}  // namespace vortena
