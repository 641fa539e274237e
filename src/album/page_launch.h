// Opening a generated page in the browser: the page launch and the view-result button.
#pragma once

#include <string>

#include "album/album.h"

namespace vortena {

// Apri_Pagina: starts `first`; when that fails and `fallback` is not empty, starts `fallback`.
// When neither starts, the user is told that `page` (the page's full path) could not be opened.
void Apri_Pagina(Album& album, const std::string& page, const std::string& first,
                 const std::string& fallback = {});

// Command5: opens Dir_Album + File_Pagina, nothing when File_Pagina is blank.
void Command5_Click(Album& album);

}  // namespace vortena
