// Helpers of the media list tests: small picture trees under the fixture's drive C: and the
// list read back as plain texts.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/album_fixture.h"

namespace vortena::testing {

// Creates each relative path under `root` as a small file (its folders as needed).
inline void makeFiles(const std::filesystem::path& root, std::initializer_list<std::string> files) {
  for (const std::string& file : files) writeFile(root / file, "x");
}

inline std::vector<std::string> listItems(AlbumFixture& fx) {
  std::vector<std::string> items;
  const ListBox& list = *fx.form().form().mediaListBox;
  for (int i = 0; i < list.count(); ++i) items.push_back(list.item(i));
  return items;
}

}  // namespace vortena::testing
