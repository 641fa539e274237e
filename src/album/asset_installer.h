// Copies the site's templates and pictures from the program folder beside the album page.
#pragma once

#include <string>
#include <vector>

#include "core/media_list.h"
#include "fs/file_system.h"
#include "fs/windows/drive_folders.h"

namespace vortena {

// Where a file is, as the installer compares places: its full path in upper case (names are
// looked up regardless of letter case).
std::string filePlace(const DriveFolders& folders, const std::string& path);

// The places of the listed sources whose name is that of a site file (a photo named
// pulsante.jpg beside the album page): the installer must not replace them.
std::vector<std::string> sourcesNamedLikeSiteFiles(const MediaList& entries,
                                                   const DriveFolders& folders);

// Copies each site file of `programFolder` to `outputFolder` + its name in the build's case,
// replacing what is there, except at the places in `keep` (listed sources, pages of this
// build); a file already there that is the earlier copy of its source is taken as `earlier`
// says (places compared as `folders` makes them full). Every failure is ignored.
void installSiteFiles(FileSystem& fs, const DriveFolders& folders, const std::string& programFolder,
                      const std::string& outputFolder, bool upperCase,
                      const std::vector<std::string>& keep,
                      EarlierCopy earlier = EarlierCopy::Keep);

}  // namespace vortena
