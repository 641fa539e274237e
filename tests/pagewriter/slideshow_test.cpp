// The entry folders' slideshow pages: the previous/next chain and the picture placeholders.
#include "page_writer_fixture.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

// Just the links of the chain, so that every folder's two links can be read at a glance.
const std::string kChainTemplate =
    "<a href=\"../dir_000p/menu.htm\">indietro</a>\n"
    "<A HREF=\"../DIR_000S/MENU.HTM\">AVANTI</A>\n";

std::string chainPage(const std::string& previous, const std::string& next) {
  return crlf("<a href=\"" + previous + "\">indietro</a>\n<A HREF=\"" + next + "\">AVANTI</A>\n");
}

struct ChainCase {
  int entries;
  std::vector<std::pair<std::string, std::string>> links;  // previous, next of each folder
};
void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.entries; }
class SlideshowChainTest : public PageWriterTest,
                           public ::testing::WithParamInterface<ChainCase> {};

TEST_P(SlideshowChainTest, FoldersLinkToTheirNeighboursAndBothEndsToTheIndex) {
  putProgramFile("MENU.HTM", kChainTemplate);
  addPictures(GetParam().entries);
  run();
  const auto& links = GetParam().links;
  for (size_t i = 0; i < links.size(); ++i) {
    const std::string folder = "album/dir_000" + std::to_string(i + 1);
    EXPECT_EQ(onC(folder + "/menu.htm"), chainPage(links[i].first, links[i].second)) << folder;
    EXPECT_EQ(onC(folder + "/sfondo_2.gif"), "picture sfondo_2.gif");
  }
  EXPECT_FALSE(existsOnC("album/dir_000" + std::to_string(links.size() + 1)));
  EXPECT_EQ(folders.nextFolder, static_cast<long>(links.size()) + 1);
}
INSTANTIATE_TEST_SUITE_P(Entries, SlideshowChainTest,
                         ::testing::Values(ChainCase{1, {{"../index.htm", "../index.htm"}}},
                                           ChainCase{18,
                                                     {{"../index.htm", "../dir_0002/menu.htm"},
                                                      {"../dir_0001/menu.htm", "../index.htm"}}},
                                           ChainCase{
                                               20,
                                               {{"../index.htm", "../dir_0002/menu.htm"},
                                                {"../dir_0001/menu.htm", "../dir_0003/menu.htm"},
                                                {"../dir_0002/menu.htm", "../index.htm"}}}),
                         ReadableName());

TEST_F(PageWriterTest, LastFolderIsTheOneBeforeTrailingBlankItems) {
  putProgramFile("MENU.HTM", kChainTemplate);
  form().entriesPerFolderBox->setText("1");
  addEntries({"C:\\foto\\a.jpg", "C:\\foto\\b.jpg", " ", ""});
  run();
  EXPECT_EQ(onC("album/dir_0002/menu.htm"), chainPage("../dir_0001/menu.htm", "../index.htm"));
}

TEST_F(PageWriterTest, UpperCaseChainAndPlaceholdersInCapitals) {
  upperCase();
  putProgramFile("MENU.HTM",
                 "<A HREF=\"../DIR_000P/MENU.HTM\">X</a> <a href=\"../Dir_000s/Menu.htm\">Y</a>\n");
  form().entriesPerFolderBox->setText("1");
  addPictures(3);
  run();
  EXPECT_EQ(
      onC("album/DIR_0002/MENU.HTM"),
      crlf("<A HREF=\"../DIR_0001/MENU.HTM\">X</a> <a href=\"../DIR_0003/MENU.HTM\">Y</a>\n"));
}

TEST_F(PageWriterTest, EachPicturePlaceholderTakesItsOwnCopysType) {
  addPictures(9);
  addEntries({"C:\\foto\\x.gif", "C:\\foto\\y.jpg", "C:\\foto\\z.GIF"});
  run();
  EXPECT_EQ(onC("album/dir_0002/img_001.gif"), "foto/x.gif");
  const std::string slideshow = onC("album/dir_0002/menu.htm");
  EXPECT_NE(slideshow.find("<img src=\"img_001.gif\"> <img src=\"img_002.jpg\">\r\n"),
            std::string::npos);
  EXPECT_NE(slideshow.find("<IMG SRC=\"img_003.gif\">\r\n"), std::string::npos);
  // A line naming only pictures the folder does not hold is left out: its link would lead
  // nowhere.
  EXPECT_EQ(slideshow.find("img_010"), std::string::npos);
  EXPECT_EQ(onC("album/dir_0001/menu.htm").find("img_010"), std::string::npos);
}

TEST_F(PageWriterTest, UpperCaseCopiesGiveUpperCaseTypes) {
  upperCase();
  addEntries({"C:\\foto\\a.gif", "C:\\foto\\b.jpg"});
  run();
  EXPECT_EQ(onC("album/DIR_0001/MENU.HTM"),
            crlf("<HTML><BODY>\n"
                 "<a href=\"../INDEX.HTM\"><img src=\"PULS_SX3.JPG\"></a>\n"
                 "<A HREF=\"../INDEX.HTM\"><IMG SRC=\"PULS_DX3.JPG\"></A>\n"
                 "<img src=\"IMG_001.GIF\"> <img src=\"IMG_002.JPG\">\n"
                 "</BODY></HTML>\n"));
}

TEST_F(PageWriterTest, MissingSlideshowTemplateLeavesEmptySlideshowPages) {
  removeProgramFile("MENU.HTM");
  fx.user().queueAnswer(true);
  form().entriesPerFolderBox->setText("1");
  addPictures(2);
  run();
  EXPECT_TRUE(existsOnC("album/dir_0001/menu.htm"));
  EXPECT_EQ(onC("album/dir_0001/menu.htm"), "");
  EXPECT_EQ(onC("album/dir_0002/menu.htm"), "");
  EXPECT_EQ(onC("album/dir_0002/img_001.jpg"), "foto/p02.jpg");
}

TEST_F(PageWriterTest, PassNumbersFoldersFromTheFirstItIsGiven) {
  // As a page of a paged build: folders go on from an earlier page, one entry each.
  putProgramFile("MENU.HTM", kChainTemplate);
  folders.firstFolder = 9999;
  folders.folderPerEntry = true;
  addPictures(2);
  run();
  EXPECT_EQ(onC("album/dir_9999/menu.htm"), chainPage("../index.htm", "../dir_10000/menu.htm"));
  EXPECT_EQ(onC("album/dir_10000/menu.htm"), chainPage("../dir_9999/menu.htm", "../index.htm"));
  EXPECT_NE(onC("album/index.htm").find("<A HREF=\"dir_10000\\menu.htm\">\r\nSCELTA  10000</A>"),
            std::string::npos);
  EXPECT_EQ(folders.nextFolder, 10001);
}

}  // namespace
}  // namespace vortena::testing

namespace vortena::testing {
namespace {

// The program's own slideshow template lists every copy of its folder, whatever the folder's
// size: each picture link names a copy of that folder, and every copy is named once.
struct FolderSizeCase {
  int perFolder;
  bool upper;
};
void PrintTo(const FolderSizeCase& c, std::ostream* os) {
  *os << c.perFolder << (c.upper ? "_upper" : "_lower");
}
class SlideshowFolderSizeTest : public PageWriterTest,
                                public ::testing::WithParamInterface<FolderSizeCase> {};

TEST_P(SlideshowFolderSizeTest, SlideshowNamesEveryCopyOfItsFolder) {
  const auto [perFolder, upper] = GetParam();
  putProgramFile("MENU.HTM", readFile(std::filesystem::path(VORTENA_RESOURCES_DIR) / "MENU.HTM"));
  if (upper) upperCase();
  form().entriesPerFolderBox->setText(std::to_string(perFolder));
  const int pictures = perFolder + 1;  // a full folder and one of a single picture
  addPictures(pictures);
  run();
  for (int folder = 1; folder <= 2; ++folder) {
    const std::filesystem::path dir =
        fx.driveC() / "album" / ((upper ? "DIR_000" : "dir_000") + std::to_string(folder));
    const std::string page = readFile(dir / (upper ? "MENU.HTM" : "menu.htm"));
    std::vector<std::string> linked;
    for (size_t at = page.find("<img src=\""); at != std::string::npos;
         at = page.find("<img src=\"", at + 1)) {
      const size_t start = at + 10;
      const std::string name = page.substr(start, page.find('"', start) - start);
      if (name.starts_with(upper ? "IMG_" : "img_")) linked.push_back(name);
    }
    std::vector<std::string> copies;
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
      const std::string name = file.path().filename().string();
      if (name.starts_with(upper ? "IMG_" : "img_")) copies.push_back(name);
    }
    std::sort(copies.begin(), copies.end());
    EXPECT_EQ(linked, copies) << "folder " << folder;
    EXPECT_EQ(copies.size(), static_cast<size_t>(folder == 1 ? perFolder : 1));
  }
}
INSTANTIATE_TEST_SUITE_P(Sizes, SlideshowFolderSizeTest,
                         ::testing::Values(FolderSizeCase{1, false}, FolderSizeCase{9, false},
                                           FolderSizeCase{10, true}, FolderSizeCase{20, false},
                                           FolderSizeCase{20, true}, FolderSizeCase{100, true}),
                         ReadableName());

}  // namespace
}  // namespace vortena::testing
