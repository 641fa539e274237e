#include "album/asset_installer.h"

#include <algorithm>

#include "core/album_files.h"
#include "core/text.h"

namespace vortena {
namespace {

bool isSiteFileName(const std::string& name) {
  const std::string upper = toUpper(name);
  return std::any_of(kSiteAssets.begin(), kSiteAssets.end(),
                     [&upper](std::string_view site) { return toUpper(site) == upper; });
}

}  // namespace

std::string filePlace(const DriveFolders& folders, const std::string& path) {
  return toUpper(folders.fullPath(path));
}

std::vector<std::string> sourcesNamedLikeSiteFiles(const MediaList& entries,
                                                   const DriveFolders& folders) {
  std::vector<std::string> places;
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string entry(entries[i]);
    const size_t slash = entry.rfind('\\');
    if (isSiteFileName(slash == std::string::npos ? entry : entry.substr(slash + 1)))
      places.push_back(filePlace(folders, entry));
  }
  return places;
}

void installSiteFiles(FileSystem& fs, const DriveFolders& folders, const std::string& programFolder,
                      const std::string& outputFolder, bool upperCase,
                      const std::vector<std::string>& keep, EarlierCopy earlier) {
  for (std::string_view name : kSiteAssets) {
    const std::string source = programFolder + "\\" + std::string(name);
    const std::string destination = toCase(outputFolder + std::string(name), upperCase);
    if (std::find(keep.begin(), keep.end(), filePlace(folders, destination)) != keep.end())
      continue;  // a photo of the album or a page of this build: never replaced
    ignoreFailure(fs.copyFile(source, destination, earlier),
                  "a site file that cannot be copied leaves its picture or frame out");
  }
}

}  // namespace vortena
