// A build clicked in the window under whatever locale the test runs in: a number with a
// decimal point and names in upper case, the two things a locale once changed. Run alone it
// checks the album; tests/scripts/locales.sh runs it under the C, Italian and Turkish locales
// with VORTENA_WINDOW_DUMP set and compares the dumps byte for byte.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "gui_support.h"
#include "pagewriter/build_record.h"

namespace vortena::testing {
namespace {

TEST(WindowLocaleTest, UpperCaseBuildWithAFractionalMaximumIsTheSameInEveryLocale) {
  WindowFixture fixture;
  const std::filesystem::path c = fixture.driveC.path();
  for (const char* name : {"uno.jpg", "due.jpg", "tre.gif", "quattro.jpg", "cinque.jpg",
                           "sub/sei.jpg", "sub/indice.jpg"})
    writeFile(c / "foto" / name, name);
  std::filesystem::create_directories(c / "album");

  setText(fixture.widget<QLineEdit>("txtPATH_RICERCA"), "C:\\foto");
  setText(fixture.widget<QLineEdit>("txtNOME_FILE_HTM"), "C:\\album\\index.htm");
  setText(fixture.widget<QLineEdit>("txtMAX_N_FILES"), "2.5");
  click(fixture.widget<QRadioButton>("Option1"));
  click(fixture.widget("cmdCONFERMA_Tutti"));
  click(fixture.widget("Command1"));

  // "2.5" is two and a half in every locale: three pictures a folder, seven in three folders;
  // the page's name in capitals is INDEX.HTM also where a dotless i exists.
  EXPECT_TRUE(std::filesystem::exists(c / "album" / "INDEX.HTM"));
  EXPECT_TRUE(std::filesystem::exists(c / "album" / "DIR_0001" / "IMG_003.JPG"));
  EXPECT_TRUE(std::filesystem::exists(c / "album" / "DIR_0003" / "IMG_001.JPG"));
  EXPECT_FALSE(std::filesystem::exists(c / "album" / "DIR_0003" / "IMG_002.JPG"));

  const char* dump = std::getenv("VORTENA_WINDOW_DUMP");
  if (!dump) return;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(c))
    // The build record holds the stamps of this disk's files, and only the folders settled
    // when the build ended: it is left out.
    if (entry.is_regular_file() && entry.path().filename() != kBuildRecordName)
      files.push_back(std::filesystem::relative(entry.path(), c).string());
  std::sort(files.begin(), files.end());
  std::ofstream out(dump, std::ios::binary);
  for (const std::string& event : fixture.ui.events) out << event << "\n";
  for (const std::string& file : files) out << "== " << file << "\n" << readFile(c / file) << "\n";
  EXPECT_TRUE(out.good());
}

}  // namespace
}  // namespace vortena::testing
