// The folders of src/ stand in layers, lowest first. A file includes only from its own folder or
// from a folder of a lower layer: never from a layer above, never from a sibling of its own
// layer; and it declares ahead (`class X;` at namespace scope) only types of those folders.
// This table is the one place where the order is written down.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
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
    {"core", 0},         // user services, job state, settings, media list, text, digests
    {"fs", 1},           // the file system's interface: operations, statuses, results
    {"imaging", 1},      // the web pictures: bytes in, bytes out, through the image library
    {"fs/host", 2},      // the POSIX calls: host paths, files written whole, interrupts, clock
    {"fs/cache", 3},     // the folder listings kept in memory and kept between scans
    {"fs/windows", 4},   // Windows semantics: drives, paths, current folders, the file system
    {"medialist", 5},    // the folder scan and the list commands
    {"pagewriter", 5},   // the page pass and its stages
    {"album", 6},        // the two builds, the site files, the page launch
    {"app", 7},          // the window's handlers, controls, Form and control table, services
    {"ui/headless", 8},  // the script runner and its plain controls
    {"ui/qt", 8},        // the window on screen
    {"", 9},             // main.cpp
};

std::optional<int> rankOf(const std::string& folder) {
  for (const Layer& layer : kLayers)
    if (layer.folder == folder) return layer.rank;
  return std::nullopt;
}

// Why `folder` (of `rank`) may not use what lies in `from`; empty when it may.
std::string wrongDirection(const std::string& folder, int rank, const std::string& from) {
  const std::optional<int> fromRank = rankOf(from);
  if (!fromRank || from == folder || *fromRank < rank) return {};
  if (*fromRank == rank) return "its sibling " + from;
  return from + ", a layer above " + folder;
}

// The folders below `srcRoot` that define each class or struct ("class X {", "struct X :",
// "class X final", "class [[nodiscard]] X"), by the type's name.
std::map<std::string, std::set<std::string>> typeDefinitions(
    const std::vector<std::filesystem::path>& files, const std::filesystem::path& srcRoot) {
  static const std::regex kDefinition(
      R"(^\s*(?:class|struct)\s+(?:\[\[\w+\]\]\s+)?(\w+)\s*(?:final\b|:[^:]|\{))");
  std::map<std::string, std::set<std::string>> definitions;
  for (const auto& file : files) {
    const std::string folder =
        std::filesystem::relative(file, srcRoot).parent_path().generic_string();
    std::ifstream in(file);
    std::string line;
    std::smatch match;
    while (std::getline(in, line))
      if (std::regex_search(line, match, kDefinition)) definitions[match[1]].insert(folder);
  }
  return definitions;
}

// Every include and forward declaration of a file under `srcRoot` that breaks the layering, as
// "FILE:LINE: why". A type declared ahead counts as of the folders that define it; one defined
// in the file's own folder or a lower one is fine whatever namesakes stand elsewhere, and one
// defined nowhere below `srcRoot` (a library's) is not looked at.
std::vector<std::string> layeringViolations(const std::filesystem::path& srcRoot) {
  static const std::regex kInclude(R"(^\s*#\s*include\s+"([^"]+)\")");
  // At namespace scope: not indented (a nested declaration is).
  static const std::regex kForward(R"(^(class|struct)\s+(\w+)\s*;)");
  std::vector<std::string> violations;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(srcRoot))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  const auto definitions = typeDefinitions(files, srcRoot);
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
      if (std::regex_search(line, match, kForward)) {
        const auto defined = definitions.find(match[2]);
        if (defined == definitions.end()) continue;
        std::string why;
        for (const std::string& from : defined->second) {
          why = wrongDirection(folder, *rank, from);
          if (why.empty()) break;
        }
        if (!why.empty())
          violations.push_back("src/" + name + ":" + std::to_string(number) + ": declares " +
                               std::string(match[1]) + " " + std::string(match[2]) + " of " + why);
        continue;
      }
      if (!std::regex_search(line, match, kInclude)) continue;
      const std::string included = match[1];
      const std::string from = std::filesystem::path(included).parent_path().generic_string();
      if (from.empty() || from == folder) continue;  // its own folder
      const std::string where = "src/" + name + ":" + std::to_string(number) + ": ";
      if (!rankOf(from))
        violations.push_back(where + "includes \"" + included + "\" from a folder with no layer");
      else if (const std::string why = wrongDirection(folder, *rank, from); !why.empty())
        violations.push_back(where + "includes \"" + included + "\" from " + why);
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

// The forward declarations, on a small tree: a type of a layer above and one of a sibling are
// named with file and line; one of the file's own folder, of a lower layer or of a library, and
// a nested one, are not.
TEST(LayeringTest, ForwardDeclarationsOfTypesFromAboveOrASiblingAreNamed) {
  TempFolder src;
  writeFile(src.path() / "core" / "ui.h",
            "struct Ui {\n  struct Inner;\n};\nclass Name final {};\n");
  writeFile(src.path() / "fs" / "disk.h", "class [[nodiscard]] Disk {};\nclass Build;\n");
  writeFile(
      src.path() / "medialist" / "scan.h",
      "class Disk;\nstruct Ui;\nclass QWidget;\nclass PagePass;\nclass Scan : public Base {};\n"
      "class Scan;\n");
  writeFile(src.path() / "pagewriter" / "pass.h", "class PagePass {\n  class Scan;\n};\n");
  writeFile(src.path() / "album" / "build.h",
            "class Build\n{};\nstruct Build {\n};\nclass Name;\n");
  EXPECT_EQ(layeringViolations(src.path()),
            (std::vector<std::string>{
                "src/fs/disk.h:2: declares class Build of album, a layer above fs",
                "src/medialist/scan.h:4: declares class PagePass of its sibling pagewriter",
            }));
}

}  // namespace
}  // namespace vortena::testing
