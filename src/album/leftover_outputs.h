// What an earlier build left beside the album page beyond what this build writes: entry
// folders past this build's last one and numbered pages past its last page. Nothing links them
// any more, but they would be uploaded with the album, deleted photos and all, at addresses
// anyone can guess; a build that wrote every page removes them.
#pragma once

#include <string>

#include "fs/file_system.h"
#include "pagewriter/build_record.h"

namespace vortena {

// Removes from `albumFolder` (drive form, ending with "\") the entry folders numbered
// `firstUnusedFolder` and above and the numbered pages past `lastPage` (pag_N.htm; 0 for a
// single-page build, which writes none), in either letter case. Only what the program made
// goes: a folder or page that the build record knows as the program's, or that carries the
// program's mark (the folder's slideshow page, the page itself). In such a folder only the
// program's own files go (copies, thumbnails, navigation pictures, slideshow page, the web
// pictures' record); a file of the user's keeps the folder. Failures leave what could not be
// removed as it is.
void removeLeftoverOutputs(FileSystem& fs, BuildRecord& record, const std::string& albumFolder,
                           long firstUnusedFolder, long lastPage);

}  // namespace vortena
