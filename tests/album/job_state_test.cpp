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
  fx.form().form().txtNOME_FILE_HTM->setText(c.pagePath);
  if (c.upper) fx.form().form().Option1->select();
  splitPagePath(fx.album());
  pageFileNameRule(fx.album());
  EXPECT_EQ(fx.album().job.Dir_Album, c.dirAlbum);
  EXPECT_EQ(fx.album().job.Nome_Pagina, c.nomePagina);
  EXPECT_EQ(fx.album().job.File_Pagina, c.filePagina);
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
  testing::AlbumFixture fx;
  ListBox* list = fx.form().form().List1;
  wholeListRange(fx.album());
  EXPECT_EQ(fx.album().job.N_Files, 0);
  EXPECT_EQ(fx.album().job.Primo_File, 1);
  EXPECT_EQ(fx.album().job.Ultimo_File, 0);
  list->addItem("C:\\a.jpg");
  list->addItem("");
  list->addItem("C:\\b.jpg");
  wholeListRange(fx.album());
  EXPECT_EQ(fx.album().job.N_Files, 3);
  EXPECT_EQ(fx.album().job.Primo_File, 1);
  EXPECT_EQ(fx.album().job.Ultimo_File, 3);
}

}  // namespace
}  // namespace vortena
