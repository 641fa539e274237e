#include "support/program_folder.h"

#include "album/asset_installer.h"
#include "core/album_files.h"

namespace vortena::testing {

void writeProgramFolder(const std::filesystem::path& folder) {
  writeFile(folder / "MENU.HTM",
            "<html><body>\r\n<a href=\"../dir_000p/menu.htm\">prev</a>\r\n"
            "<a href=\"../dir_000s/menu.htm\">next</a>\r\n<img src=\"img_001.jpg\">\r\n"
            "<img src=\"img_002.jpg\">\r\n</body></html>\r\n");
  writeFile(folder / "INTESTAZ.HTM",
            "<head><title>Album</title></head>\r\n<body background=\"sfondo1g.jpg\">\r\n"
            "<marquee>Album</marquee>\r\n<div align=\"center\"><center>\r\n");
  writeFile(folder / "INTEST_2.HTM",
            "<head><title>Album 2</title></head>\r\n<body>\r\n"
            "<div align=\"center\"><center>\r\n");
  writeFile(folder / "PIEDE.HTM", "</body>\r\n</HTML>\r\n");
  for (std::string_view name : kSiteAssets) {
    if (name.ends_with(".HTM")) continue;
    writeFile(folder / std::string(name), "bytes of " + std::string(name));
  }
  for (std::string_view name : kNavigationPictures)
    writeFile(folder / std::string(name), "bytes of " + std::string(name));
}

}  // namespace vortena::testing
