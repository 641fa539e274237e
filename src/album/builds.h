// The two build commands of the main window.
#pragma once

#include <string_view>

#include "album/album.h"

namespace vortena {

// How the question after a build that offers to open the page begins.
inline constexpr std::string_view kViewQuestionStart = "Visualizzo ";

// Command1, "Creazione INDEX.HTM": the whole media list as one album page.
void Command1_Click(Album& album);

// Command4, "Creazione vari ALBUM.HTM secondo massimo numero files": numbered pages of at most
// txtMAX_N_FILES entries, then the index of pages under the typed page name.
void Command4_Click(Album& album);

}  // namespace vortena
