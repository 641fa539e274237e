// The names of what a build writes into an album: the site pictures named in a page's lines,
// the navigation pictures of an entry folder, and the numbered copies and thumbnails.
#pragma once

#include <string>
#include <string_view>

#include "core/album_files.h"

namespace vortena {

// The line with every site picture it names (pulsante.jpg, diaposit.jpg, ...; any letter case)
// written as the build copies it beside the pages, in the build's case, so that the link
// reaches the copy also on a disk that tells cases apart. The rest of the line is kept.
std::string siteNamesInCase(const std::string& line, bool upper);

// The navigation pictures of the program folder, in the order they are copied.
inline constexpr std::string_view kNavigationPictures[] = {
    "puls_sx3.jpg", "puls_su3.jpg", "puls_dx3.jpg", "sfondo_1.gif", "sfondo_2.gif"};

// The name prefixes of the copies and, in web mode, of their thumbnails.
inline constexpr std::string_view kCopyPrefix = "img_";
inline constexpr std::string_view kThumbPrefix = "min_";

// Whether a name has the form of the program's own copies or their thumbnails: img_ or min_
// (any case), three or more digits, a dot and a type.
bool isCopyName(const std::string& name);

// The entry's own file type: its extension, or its last three characters without one.
std::string copyType(const std::string& entry);

// Picture `number` of an entry folder under `prefix`, in upper case or not: img_001.jpg.
std::string numberedName(bool upper, std::string_view prefix, long number, const std::string& type);

}  // namespace vortena
