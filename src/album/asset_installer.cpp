#include "album/asset_installer.h"

#include <algorithm>

#include "core/text.h"

namespace vortena {
namespace {

bool isSiteFileName(const std::string& name) {
  const std::string upper = toUpper(name);
  return std::any_of(kSiteAssets.begin(), kSiteAssets.end(),
                     [&upper](std::string_view site) { return toUpper(site) == upper; });
}

}  // namespace

std::string filePlace(const FileSystem& fs, const std::string& path) {
  return toUpper(fs.fullPath(path));
}

std::vector<std::string> sourcesNamedLikeSiteFiles(const Album& album) {
  std::vector<std::string> places;
  const ListBox& list = *album.form.List1;
  for (int i = 0; i < list.count(); ++i) {
    const std::string entry = list.item(i);
    const size_t slash = entry.rfind('\\');
    if (isSiteFileName(slash == std::string::npos ? entry : entry.substr(slash + 1)))
      places.push_back(filePlace(*album.sys.fs, entry));
  }
  return places;
}

void Copia_Modelli(Album& album, const std::vector<std::string>& keep, EarlierCopy earlier) {
  for (std::string_view name : kSiteAssets) {
    std::string source = album.sys.programFolder + "\\" + std::string(name);
    // The case option is read afresh for every file.
    std::string destination = toCase(album.job.Dir_Album + std::string(name), album.upperCase());
    if (std::find(keep.begin(), keep.end(), filePlace(*album.sys.fs, destination)) != keep.end())
      continue;  // a photo of the album or a page of this build: never replaced
    ignoreFailure(album.sys.fs->copyFile(source, destination, earlier),
                  "a site file that cannot be copied leaves its picture or frame out");
  }
}

}  // namespace vortena
