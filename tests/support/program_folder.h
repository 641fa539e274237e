// A program folder of the tests' own: small templates and pictures with known bytes, so that
// tests do not depend on the real templates of resources/.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/album_fixture.h"

namespace vortena::testing {

inline constexpr std::array<std::string_view, 5> kNavigationPictures{
    "puls_sx3.jpg", "puls_su3.jpg", "puls_dx3.jpg", "sfondo_1.gif", "sfondo_2.gif"};

// Writes MENU.HTM, INTESTAZ.HTM, INTEST_2.HTM, PIEDE.HTM, the site pictures and the navigation
// pictures into `folder`, each with a content of its own ("bytes of NAME" for pictures).
void writeProgramFolder(const std::filesystem::path& folder);

}  // namespace vortena::testing
