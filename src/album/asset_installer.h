// Copies the site's templates and pictures from the program folder beside the album page.
#pragma once

#include <array>
#include <string_view>

#include "album/album.h"

namespace vortena {

// The thirteen files copied beside the pages, in order, with their names in the program folder.
inline constexpr std::array<std::string_view, 13> kSiteAssets{
    "INTESTAZ.HTM", "INTEST_2.HTM", "PIEDE.HTM",    "diaposit.jpg", "film-1a.jpg",
    "foto-1a.jpg",  "htm-1a.jpg",   "music-1a.jpg", "sfondo1g.jpg", "sfondo1p.jpg",
    "pulsante.jpg", "sfondo_1.gif", "sfondo_2.gif"};

// Copia_Modelli: copies each file to Dir_Album + name in the build's case, replacing what is
// there. Every failure is ignored.
void Copia_Modelli(Album& album);

}  // namespace vortena
