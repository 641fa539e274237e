// The files the program itself puts into an album, named once for the page writer that makes
// them and for the folder scan that must not take them for the user's media.
#pragma once

#include <array>
#include <string_view>

namespace vortena {

// The thirteen files copied beside the pages, in order, with their names in the program folder.
inline constexpr std::array<std::string_view, 13> kSiteAssets{
    "INTESTAZ.HTM", "INTEST_2.HTM", "PIEDE.HTM",    "diaposit.jpg", "film-1a.jpg",
    "foto-1a.jpg",  "htm-1a.jpg",   "music-1a.jpg", "sfondo1g.jpg", "sfondo1p.jpg",
    "pulsante.jpg", "sfondo_1.gif", "sfondo_2.gif"};

// The page of an entry folder, as the templates name it (the build writes it in its own case).
inline constexpr std::string_view kSlideshowPage = "menu.htm";

// What the program's page templates carry in their head, and so every page written from them:
// a page holding it (any letter case) was written by this program.
inline constexpr std::string_view kProgramMark = "name=\"generator\" content=\"vortena\"";

// How many lines of a page's beginning are searched for the mark.
inline constexpr int kProgramMarkLines = 12;

}  // namespace vortena
