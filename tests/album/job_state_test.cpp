#include <gtest/gtest.h>

#include "album/job_steps.h"
#include "support/album_fixture.h"
#include "support/test_names.h"

namespace vortena {
namespace {

struct DerivationCase {
  std::string pagePath;
  bool upper;
  std::string dirAlbum, nomePagina, filePagina;
};

void PrintTo(const DerivationCase& c, std::ostream* os) {
  *os << testing::quotedText(c.pagePath) << (c.upper ? " upper" : " lower");
}

class DerivationTest : public ::testing::TestWithParam<DerivationCase> {};

TEST_P(DerivationTest, SplitAndNameRuleGiveFolderAndPage) {
  testing::AlbumFixture fx;
  const DerivationCase& c = GetParam();
  BuildSettings settings;
  settings.pagePath = c.pagePath;
  settings.upperCase = c.upper;
  splitPagePath(settings, *fx.session().services.folders, fx.session().job);
  pageFileNameRule(settings, fx.session().job);
  EXPECT_EQ(fx.session().job.outputFolder, c.dirAlbum);
  EXPECT_EQ(fx.session().job.pageName, c.nomePagina);
  EXPECT_EQ(fx.session().job.pageFile, c.filePagina);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DerivationTest,
    ::testing::Values(
        DerivationCase{"C:\\VORTENA\\index.htm", false, "c:\\vortena\\", "index.htm", "index.htm"},
        DerivationCase{"C:\\VORTENA\\index.htm", true, "C:\\VORTENA\\", "INDEX.HTM", "INDEX.HTM"},
        DerivationCase{"D:\\Foto\\Mare\\album.html", true, "D:\\FOTO\\MARE\\", "ALBUM.HTML",
                       "ALBUM.HTM"},
        DerivationCase{"C:\\Web\\my.page.htm", false, "c:\\web\\", "my.page.htm", "my.htm"},
        DerivationCase{"C:\\Web\\album", false, "c:\\web\\", "album", "album.htm"},
        // Surrounding blanks are trimmed before the split.
        DerivationCase{"   C:\\Web\\Album.htm  ", false, "c:\\web\\", "album.htm", "album.htm"},
        // A path ending with a backslash has an empty page name.
        DerivationCase{"C:\\Web\\", false, "c:\\web\\", "", ".htm"},
        DerivationCase{"C:\\Web\\", true, "C:\\WEB\\", "", ".HTM"},
        // Without a backslash the whole text is the page name.
        DerivationCase{"Index.Htm", true, "", "INDEX.HTM", "INDEX.HTM"},
        DerivationCase{"a.b.c", false, "", "a.b.c", "a.htm"},
        // Accented letters follow the case option too.
        DerivationCase{"C:\\Città\\Perché.htm", true, "C:\\CITTÀ\\", "PERCHÉ.HTM", "PERCHÉ.HTM"}),
    testing::ReadableName());

TEST(WholeListRange, CoversTheWholeList) {
  BuildSettings settings;
  JobState job;
  wholeListRange(settings, job);
  EXPECT_EQ(job.entryCount, 0);
  EXPECT_EQ(job.firstEntry, 1);
  EXPECT_EQ(job.lastEntry, 0);
  settings.entries = MediaList{"C:\\a.jpg", "", "C:\\b.jpg"};
  wholeListRange(settings, job);
  EXPECT_EQ(job.entryCount, 3);
  EXPECT_EQ(job.firstEntry, 1);
  EXPECT_EQ(job.lastEntry, 3);
}

}  // namespace
}  // namespace vortena
