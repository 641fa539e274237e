#include "album/asset_installer.h"

#include "core/text.h"

namespace vortena {

void Copia_Modelli(Album& album) {
  for (std::string_view name : kSiteAssets) {
    std::string source = album.sys.programFolder + "\\" + std::string(name);
    // The case option is read afresh for every file.
    std::string destination = toCase(album.job.Dir_Album + std::string(name), album.upperCase());
    ignoreFailure(album.sys.fs->copyFile(source, destination),
                  "a site file that cannot be copied leaves its picture or frame out");
  }
}

}  // namespace vortena
