// The copies that fill an entry folder: each entry under a numbered name, and the five
// navigation pictures of its slideshow page. Every failed copy is reported in a message of its
// own; none ends the page pass.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/album_files.h"
#include "pagewriter/page_state.h"

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

// Picture `number` of an entry folder under `prefix` in the build's case: img_001.jpg.
std::string numberedName(const PagePass& pass, std::string_view prefix, long number,
                         const std::string& type);

// Tells a failed copy of `entry` to `copyPath`; nothing when `status` is ok.
void reportCopyFailure(PagePass& pass, FsStatus status, const std::string& entry,
                       const std::string& copyPath);

// Copies the file at `sourcePath` into pass.folderPath as picture number folderCount + 1:
// IMG_001.JPG / img_001.jpg, keeping the last three characters of the entry (in the build's
// case) as its type. Records that type in pass.copyTypes, whether or not the copy succeeds.
// The copy is queued on pass.copies; a failure is reported when its result comes back, naming
// the entry.
void queuePictureCopy(PagePass& pass, const std::string& entry, const std::string& sourcePath);

// Queues the copies of the five navigation pictures into pass.folderPath under their names in
// the build's case, each failure reported on its own.
void copyNavigationPictures(PagePass& pass);

}  // namespace vortena
