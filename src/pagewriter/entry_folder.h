// The entry folders beside the album page (DIR_0001, DIR_0002, ... in the build's case): each
// receives numbered copies of consecutive entries, then the navigation pictures and its
// slideshow page, chained to the previous and next folder and, at both ends, to the index page.
// Every failure here is ignored, except the copy failures that the copies report.
#pragma once

#include <string>

#include "pagewriter/folder_state.h"
#include "pagewriter/page_types.h"

namespace vortena {

// Full path of entry folder n, without a trailing backslash: the output folder + "DIR_" + number
// in upper case, or the output folder + "dir_" + number in lower case.
std::string entryFolderPath(const PassContext& pass, long n);

// Places one non-blank entry: makes the current folder (an existing one is fine), lets the
// window process its pending events, copies the entry into it and counts it. A folder that is
// then full (the settings' entries a folder, or one entry a folder when job.folders.folderPerEntry)
// is completed: navigation pictures, slideshow page, and the next folder begins.
// `sourcePath`: the file copied, as found on disk; `lastEntry`: no non-blank entry follows in the
// page's range.
void placeEntry(const PassContext& pass, EntryFolders& folders, const std::string& folderPart,
                const std::string& fileName, const std::string& sourcePath, bool lastEntry);

// Completes the open folder, if any, as the page's last one.
void completeLastFolder(const PassContext& pass, EntryFolders& folders);

// Writes the slideshow page of the current folder from the program folder's MENU.HTM, with its
// previous-folder, next-folder and picture placeholders rewritten (found in any letter case,
// the rest of the line kept). Without the template the page is left empty. A page that cannot be
// written whole is reported (box C) and the earlier one of that name stays.
void writeSlideshowPage(const PassContext& pass, EntryFolders& folders);

}  // namespace vortena
