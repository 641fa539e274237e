// Album pages compared byte for byte with pages written out by hand.
#include "page_writer_fixture.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

const std::string kHeader = kIntestaz;  // both filters off: the template as it is
// In an upper-case build the header's site picture is named as the build copies it.
const std::string kHeaderUpper = [] {
  std::string header = kIntestaz;
  return header.replace(header.find("sfondo1g.jpg"), 12, "SFONDO1G.JPG");
}();

TEST_F(PageWriterTest, LowerCaseIndexPageHasNoBackLinkAndOneCellPerFolder) {
  form().entriesPerFolderBox->setText("2");
  addEntries({"C:\\foto\\a.jpg", "C:\\foto\\b.jpg", "C:\\foto\\c.jpg"});
  run();
  EXPECT_EQ(onC("album/index.htm"),
            crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") +
                 cell("dir_0002\\menu.htm", "SCELTA  2") + kGridEnd + kPiede));
  EXPECT_EQ(fx.takeTranscript(), "pointer hourglass\npointer default\nbeep\n");
}

TEST_F(PageWriterTest, UpperCaseAlbumPageLinksBackToIndex) {
  upperCase();
  fx.session().job.pageFile = "ALBUM.HTM";
  form().entriesPerFolderBox->setText("2");
  addEntries({"C:\\foto\\a.jpg", "C:\\foto\\b.jpg", "C:\\foto\\c.jpg"});
  run();
  EXPECT_EQ(onC("album/ALBUM.HTM"),
            crlf("<HTML>\n" + kHeaderUpper + kBackLinkUpper + kGridStart +
                 cell("DIR_0001\\MENU.HTM", "SCELTA  1", true) +
                 cell("DIR_0002\\MENU.HTM", "SCELTA  2", true) +
                 kGridEnd + kPiede));
}

TEST_F(PageWriterTest, TwentyPicturesNinePerFolderMakeThreeButtons) {
  addPictures(20);
  run();
  EXPECT_EQ(onC("album/index.htm"),
            crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") +
                 cell("dir_0002\\menu.htm", "SCELTA  2") + cell("dir_0003\\menu.htm", "SCELTA  3") +
                 kGridEnd + kPiede));
  EXPECT_TRUE(existsOnC("album/dir_0001/img_009.jpg"));
  EXPECT_TRUE(existsOnC("album/dir_0003/img_002.jpg"));
  EXPECT_FALSE(existsOnC("album/dir_0003/img_003.jpg"));
  EXPECT_FALSE(existsOnC("album/dir_0004"));
}

TEST_F(PageWriterTest, MixedKindsLinkPicturesToFoldersAndTheRestToTheirFiles) {
  // One entry a folder, so every entry has a button; a direct button shows its file name and
  // links the file itself from the page's folder.
  form().entriesPerFolderBox->setText("1");
  addEntries({"C:\\foto\\musica\\Song.mp3", "C:\\foto\\a.jpg", "C:\\foto\\film.mpg",
              "C:\\foto\\pagina.htm", "C:\\foto\\b.jpg"});
  addEntry("<C:\\foto\\viaggio>", false);
  run();
  EXPECT_EQ(
      onC("album/index.htm"),
      crlf("<HTML>\n" + kHeader + kGridStart + cell("..\\foto\\musica\\song.mp3", "song.mp3") +
           cell("dir_0002\\menu.htm", "SCELTA  2") + cell("..\\foto\\film.mpg", "film.mpg") +
           cell("..\\foto\\pagina.htm", "pagina.htm") + kRowBreak + cell("dir_0005\\menu.htm", "SCELTA  5") +
           cell("dir_0006\\menu.htm", "SCELTA  6") + kGridEnd + kPiede));
  // The folder entry cannot be copied: one message, and its folder still gets its page.
  EXPECT_NE(fx.transcript().find("message \"Errore nella copia delle immagini ERR="),
            std::string::npos);
  EXPECT_TRUE(existsOnC("album/dir_0006/menu.htm"));
  EXPECT_TRUE(existsOnC("album/dir_0001/img_001.mp3"));
}

TEST_F(PageWriterTest, BlankItemsTakeNoPlaceInTheirFolder) {
  form().entriesPerFolderBox->setText("2");
  addEntries({"C:\\foto\\a.jpg", "", "   ", "C:\\foto\\b.jpg", "C:\\foto\\c.jpg"});
  run();
  EXPECT_EQ(onC("album/index.htm"),
            crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") +
                 cell("dir_0002\\menu.htm", "SCELTA  2") + kGridEnd + kPiede));
  EXPECT_EQ(onC("album/dir_0001/img_002.jpg"), "foto/b.jpg");
}

TEST_F(PageWriterTest, RangeOfBlankEntriesGivesAnEmptyGrid) {
  addEntries({"", "  "});
  fx.session().job.lastEntry = 40;  // beyond the list: read as blank
  run();
  EXPECT_EQ(onC("album/index.htm"), crlf("<HTML>\n" + kHeader + kGridStart + kGridEnd + kPiede));
  EXPECT_FALSE(existsOnC("album/dir_0001"));
}

TEST_F(PageWriterTest, RangeStartingAfterItsEndWritesNoEntry) {
  addPictures(2);
  fx.session().job.firstEntry = 2;
  fx.session().job.lastEntry = 1;
  run();
  EXPECT_EQ(onC("album/index.htm"), crlf("<HTML>\n" + kHeader + kGridStart + kGridEnd + kPiede));
}

class GridRowMaximumTest : public PageWriterTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(GridRowMaximumTest, WithoutAUsableMaximumEveryCellHasARowOfItsOwn) {
  form().imagesPerRowBox->setText(GetParam());
  form().entriesPerFolderBox->setText("");  // no number: one entry a folder
  addPictures(2);
  run();
  EXPECT_EQ(
      onC("album/index.htm"),
      crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") + kRowBreak +
           cell("dir_0002\\menu.htm", "SCELTA  2") + kRowBreak + kGridEnd + kPiede));
}
INSTANTIATE_TEST_SUITE_P(Maxima, GridRowMaximumTest, ::testing::Values("0", "abc", "", "1"),
                         ReadableName());

TEST_F(PageWriterTest, FullRowsBreakRightAfterTheirLastCell) {
  form().imagesPerRowBox->setText(" 2 ");
  form().entriesPerFolderBox->setText("0");
  addPictures(3);
  run();
  EXPECT_EQ(onC("album/index.htm"),
            crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") +
                 cell("dir_0002\\menu.htm", "SCELTA  2") + kRowBreak +
                 cell("dir_0003\\menu.htm", "SCELTA  3") + kGridEnd + kPiede));
}

struct FilterCase {
  int check1, check2;
  bool intest2Present;
  std::string header;
};
void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << "ticks " << c.check1 << " " << c.check2 << (c.intest2Present ? "" : " no INTEST_2");
}
class HeaderFilterTest : public PageWriterTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(HeaderFilterTest, DropsWholeLinesNamedByTheTickedFilters) {
  const FilterCase& c = GetParam();
  if (!c.intest2Present) removeProgramFile("INTEST_2.HTM");
  form().noBackgroundCheck->setValue(c.check1);
  form().noTitleCheck->setValue(c.check2);
  run();
  EXPECT_EQ(onC("album/index.htm"), crlf("<HTML>\n" + c.header + kGridStart + kGridEnd + kPiede));
  EXPECT_EQ(fx.transcript().find("question"), std::string::npos);
}
INSTANTIATE_TEST_SUITE_P(
    Filters, HeaderFilterTest,
    ::testing::Values(
        FilterCase{0, 0, true, kIntestaz},
        // Greyed counts as off.
        FilterCase{2, 2, true, kIntestaz},
        FilterCase{1, 0, true,
                   "<HEAD><TITLE>Album</TITLE></HEAD>\n<marquee>Le mie foto</marquee>\n"
                   "<div align=\"center\"><center>\n"},
        FilterCase{0, 1, true,
                   "<HEAD><TITLE>Album</TITLE></HEAD>\n"
                   "<BODY BACKGROUND=\"sfondo1g.jpg\" text=\"#FFFFFF\">\n"
                   "<div align=\"center\"><center>\n"},
        FilterCase{1, 1, true,
                   "<HEAD><TITLE>Album due</TITLE></HEAD>\n<div align=\"center\"><center>\n"},
        FilterCase{1, 1, false, ""}),
    ReadableName());

TEST_F(PageWriterTest, BackgroundOnTheLastHeaderLineIsDroppedAndNothingElse) {
  putProgramFile("INTESTAZ.HTM", "<HEAD>\r\n<body background=\"x.gif\">");
  form().noBackgroundCheck->setValue(1);
  run();
  EXPECT_EQ(onC("album/index.htm"), crlf("<HTML>\n<HEAD>\n" + kGridStart + kGridEnd + kPiede));
}

TEST_F(PageWriterTest, MissingFooterEndsThePageWithHtmlClosingTag) {
  removeProgramFile("PIEDE.HTM");
  fx.user().queueAnswer(true);
  addPictures(1);
  run();
  EXPECT_EQ(onC("album/index.htm"),
            crlf("<HTML>\n" + kHeader + kGridStart + cell("dir_0001\\menu.htm", "SCELTA  1") +
                 kGridEnd + "</HTML>\n"));
}

TEST_F(PageWriterTest, PageWhoseNameContainsIndexGetsNoBackLink) {
  upperCase();
  fx.session().job.pageFile = "MYINDEX.HTM";
  run();
  EXPECT_EQ(onC("album/MYINDEX.HTM"), crlf("<HTML>\n" + kHeaderUpper + kGridStart + kGridEnd + kPiede));
}

TEST_F(PageWriterTest, LowerCasePageNamedInUpperCaseStillGetsTheBackLink) {
  // The containment test is exact: in lower-case mode only "index.htm" counts.
  fx.session().job.pageFile = "PAG_2.HTM";
  run();
  EXPECT_EQ(onC("album/PAG_2.HTM"),
            crlf("<HTML>\n" + kHeader + kBackLinkLower + kGridStart + kGridEnd + kPiede));
}

}  // namespace
}  // namespace vortena::testing
