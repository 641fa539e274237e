// The folders of src/ stand in layers, lowest first. A file includes only from its own folder or
// from a folder of a lower layer: never from a layer above, never from a sibling of its own
// layer. This table is the one place where the order is written down.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "support/album_fixture.h"

namespace vortena::testing {
namespace {

struct Layer {
  std::string_view folder;  // below src/; "" for the files at the top (main.cpp)
  int rank;                 // 0 is the lowest; folders of one rank are siblings
};

constexpr Layer kLayers[] = {
    {"core", 0},         // controls, services, Form, job state, control table, text helpers
    {"fs", 1},           // the file system with Windows semantics
    {"imaging", 1},      // the web pictures: bytes in, bytes out, through the image library
    {"medialist", 2},    // the folder scan and the list commands
    {"pagewriter", 2},   // the page pass and its stages
    {"album", 3},        // the two builds, the site files, the page launch
    {"app", 4},          // the window's handlers
    {"ui/headless", 5},  // the script runner and its plain controls
    {"ui/qt", 5},        // the window on screen
    {"", 6},             // main.cpp
};

std::optional<int> rankOf(const std::string& folder) {
  for (const Layer& layer : kLayers)
    if (layer.folder == folder) return layer.rank;
  return std::nullopt;
}

// Every include of a file under `srcRoot` that breaks the layering, as "FILE:LINE: why".
std::vector<std::string> layeringViolations(const std::filesystem::path& srcRoot) {
  static const std::regex kInclude(R"(^\s*#\s*include\s+"([^"]+)\")");
  std::vector<std::string> violations;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(srcRoot))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    const std::string name = std::filesystem::relative(file, srcRoot).generic_string();
    const std::string folder = std::filesystem::path(name).parent_path().generic_string();
    const std::optional<int> rank = rankOf(folder);
    if (!rank) {
      violations.push_back("src/" + name + ": folder \"" + folder + "\" has no layer");
      continue;
    }
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch match;
      if (!std::regex_search(line, match, kInclude)) continue;
      const std::string included = match[1];
      const std::string from = std::filesystem::path(included).parent_path().generic_string();
      if (from.empty() || from == folder) continue;  // its own folder
      const std::string where = "src/" + name + ":" + std::to_string(number) + ": ";
      const std::optional<int> fromRank = rankOf(from);
      if (!fromRank)
        violations.push_back(where + "includes \"" + included + "\" from a folder with no layer");
      else if (*fromRank == *rank)
        violations.push_back(where + "includes \"" + included + "\" from its sibling " + from);
      else if (*fromRank > *rank)
        violations.push_back(where + "includes \"" + included + "\" from " + from +
                             ", a layer above " + folder);
    }
  }
  return violations;
}

TEST(LayeringTest, EveryIncludeOfTheSourcesComesFromBelow) {
  const std::vector<std::string> violations = layeringViolations(VORTENA_SOURCE_DIR "/src");
  std::string all;
  for (const std::string& v : violations) all += v + "\n";
  EXPECT_TRUE(violations.empty()) << all;
}

// The check itself, on a small tree: each kind of wrong include is found with its file and line,
// and the allowed ones are not.
TEST(LayeringTest, UpwardSiblingAndUnknownIncludesAreNamedWithFileAndLine) {
  TempFolder src;
  writeFile(src.path() / "core" / "text.h", "#include <string>\n#include \"core/other.h\"\n");
  writeFile(src.path() / "fs" / "disk.h", "#include \"core/text.h\"\n\n#include \"album/album.h\"\n");
  writeFile(src.path() / "medialist" / "scan.h", "  #  include \"pagewriter/page.h\"\n");
  writeFile(src.path() / "album" / "album.h", "#include \"plugins/x.h\"\n#include \"fs/disk.h\"\n");
  writeFile(src.path() / "main.cpp", "#include \"ui/qt/window.h\"\n#include \"app/main.h\"\n");
  writeFile(src.path() / "extra" / "x.h", "\n");
  EXPECT_EQ(layeringViolations(src.path()),
            (std::vector<std::string>{
                "src/album/album.h:1: includes \"plugins/x.h\" from a folder with no layer",
                "src/extra/x.h: folder \"extra\" has no layer",
                "src/fs/disk.h:3: includes \"album/album.h\" from album, a layer above fs",
                "src/medialist/scan.h:1: includes \"pagewriter/page.h\" from its sibling "
                "pagewriter",
            }));
}

}  // namespace
}  // namespace vortena::testing
