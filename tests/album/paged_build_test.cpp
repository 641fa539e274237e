// The paged build driven through the script runner: numbered pages of at most txtMAX_N_FILES
// entries and the index of pages.
#include <gtest/gtest.h>

#include <set>

#include "core/text.h"
#include "support/album_fixture.h"
#include "support/program_folder.h"
#include "support/run_script.h"
#include "support/test_names.h"

namespace vortena {
namespace {

using testing::readFile;
using testing::writeFile;

std::string pictureName(int i) { return "p" + zeroPad(i, 2) + ".jpg"; }

class PagedBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::writeProgramFolder(program_.path());
    std::filesystem::create_directories(c() / "album");
  }
  void makePictures(int count) {
    for (int i = 1; i <= count; ++i)
      writeFile(c() / "foto" / pictureName(i), "picture " + std::to_string(i));
  }
  std::filesystem::path c() const { return driveC_.path(); }
  std::filesystem::path album() const { return c() / "album"; }
  testing::ScriptRun run(const std::string& script) {
    return testing::runScriptText(script, c(), program_.path());
  }
  // Loads C:\foto, sets the page maximum and runs the paged build, answering the view question.
  testing::ScriptRun build(int maximum, const std::string& answer = "no",
                           const std::string& extra = "") {
    return run(
        "set txtPATH_RICERCA C:\\foto\nset txtNOME_FILE_HTM C:\\album\\index.htm\n"
        "click cmdCONFERMA\n" +
        extra + "set txtMAX_N_FILES " + std::to_string(maximum) + "\nanswer " + answer +
        "\nclick Command4\ndump\n");
  }
  std::set<std::string> pagesOnDisk() const {
    std::set<std::string> pages;
    for (const auto& e : std::filesystem::directory_iterator(album())) {
      std::string name = e.path().filename().string();
      if (name.rfind("pag_", 0) == 0 || name.rfind("PAG_", 0) == 0) pages.insert(name);
    }
    return pages;
  }

  testing::TempFolder driveC_;
  testing::TempFolder program_;
};

// Lines of the page that hold an anchor, in order.
std::vector<std::string> anchorLines(const std::string& page) {
  std::vector<std::string> anchors;
  for (const std::string& line : testing::crlfLines(page))
    if (line.find("<A HREF=") != std::string::npos) anchors.push_back(line);
  return anchors;
}

TEST_F(PagedBuildTest, TenEntriesByFourMakeThreePagesAndAnIndex) {
  makePictures(10);
  auto r = build(4, "yes");
  std::string passes;
  for (int i = 0; i < 4; ++i) passes += "pointer hourglass\npointer default\nbeep\n";
  EXPECT_EQ(r.transcript.substr(0, r.transcript.find("control ")),
            "pointer hourglass\nbeep\npointer default\n" + passes +
                R"~(question "Visualizzo la prima pagina creata c:\\album\\index.htm (S/N) " -> yes
launch "START /max /w c:\\album\\index.htm" -> ok
)~");
  EXPECT_EQ(pagesOnDisk(), (std::set<std::string>{"pag_1.htm", "pag_2.htm", "pag_3.htm"}));
  // The list now holds the page names; the counter keeps the count of media files.
  EXPECT_NE(r.transcript.find("control List1 enabled 3 -1\nitem \"pag_1.htm\"\nitem \"pag_2.htm\"\n"
                              "item \"pag_3.htm\"\n"),
            std::string::npos);
  EXPECT_NE(r.transcript.find("control txtNUM_FILE enabled \"10\"\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("control Command5 enabled\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field File_Pagina \"index.htm\"\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field N_Pag 3\n"), std::string::npos);

  // Each numbered page links back to the index and to its own entry folder.
  for (int page = 1; page <= 3; ++page) {
    std::string text = readFile(album() / ("pag_" + std::to_string(page) + ".htm"));
    EXPECT_NE(text.find("<H2><a href=\"index.htm\" target=\"_top\">"), std::string::npos);
    auto anchors = anchorLines(text);
    ASSERT_EQ(anchors.size(), 1u) << page;
    EXPECT_EQ(anchors[0], "        <A HREF=\"dir_000" + std::to_string(page) + "\\menu.htm\">");
  }
  // No page replaced the folders of another: every copy holds its own picture.
  for (int i = 1; i <= 10; ++i) {
    int folder = (i - 1) / 4 + 1, position = (i - 1) % 4 + 1;
    EXPECT_EQ(readFile(album() / ("dir_000" + std::to_string(folder)) /
                       ("img_" + zeroPad(position, 3) + ".jpg")),
              "picture " + std::to_string(i));
  }
  // The index of pages gives every numbered page a button of its own.
  auto index = anchorLines(readFile(album() / "index.htm"));
  EXPECT_EQ(index, (std::vector<std::string>{"        <A HREF=\"pag_1.htm\">",
                                             "        <A HREF=\"pag_2.htm\">",
                                             "        <A HREF=\"pag_3.htm\">"}));
  EXPECT_EQ(readFile(album() / "index.htm").find("Ritorna alla pagina iniziale"),
            std::string::npos);
}

TEST_F(PagedBuildTest, EachPagesSlideshowChainStartsAndEndsAtTheIndex) {
  makePictures(10);
  build(4);
  for (int folder = 1; folder <= 3; ++folder) {
    std::string menu = readFile(album() / ("dir_000" + std::to_string(folder)) / "menu.htm");
    EXPECT_NE(menu.find("<a href=\"../index.htm\">prev</a>"), std::string::npos) << folder;
    EXPECT_NE(menu.find("<a href=\"../index.htm\">next</a>"), std::string::npos) << folder;
  }
}

TEST_F(PagedBuildTest, ExactMultipleMakesNoEmptyTrailingPage) {
  makePictures(10);
  auto r = build(5);
  EXPECT_EQ(pagesOnDisk(), (std::set<std::string>{"pag_1.htm", "pag_2.htm"}));
  EXPECT_NE(r.transcript.find("field N_Pag 2\n"), std::string::npos);
}

TEST_F(PagedBuildTest, MaximumEqualToTheCountMakesOnePageAndAOneEntryIndex) {
  makePictures(6);
  auto r = build(6);
  EXPECT_EQ(pagesOnDisk(), (std::set<std::string>{"pag_1.htm"}));
  EXPECT_EQ(anchorLines(readFile(album() / "index.htm")),
            (std::vector<std::string>{"        <A HREF=\"pag_1.htm\">"}));
}

TEST_F(PagedBuildTest, NineByThreeStillLinksEveryPageFromTheIndex) {
  makePictures(25);
  build(9);
  EXPECT_EQ(
      anchorLines(readFile(album() / "index.htm")),
      (std::vector<std::string>{"        <A HREF=\"pag_1.htm\">", "        <A HREF=\"pag_2.htm\">",
                                "        <A HREF=\"pag_3.htm\">"}));
}

TEST_F(PagedBuildTest, EmptyListWithACounterMakesOneEmptyPageListedInTheIndex) {
  makePictures(3);
  auto r = build(4, "no", "click Command2\n");
  EXPECT_EQ(pagesOnDisk(), (std::set<std::string>{"pag_1.htm"}));
  EXPECT_TRUE(anchorLines(readFile(album() / "pag_1.htm")).empty());
  EXPECT_EQ(anchorLines(readFile(album() / "index.htm")),
            (std::vector<std::string>{"        <A HREF=\"pag_1.htm\">"}));
  EXPECT_NE(r.transcript.find("control txtNUM_FILE enabled \"3\"\n"), std::string::npos);
}

TEST_F(PagedBuildTest, UpperCaseNamesPagesAndIndexInCapitals) {
  makePictures(3);
  std::filesystem::create_directories(c() / "ALBUM");
  std::filesystem::remove(album());
  auto r = build(2, "no", "option Option1\n");
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(c() / "ALBUM"))
    names.insert(e.path().filename().string());
  EXPECT_TRUE(names.count("PAG_1.HTM") && names.count("PAG_2.HTM") && names.count("INDEX.HTM"));
  EXPECT_NE(r.transcript.find("item \"PAG_1.HTM\"\nitem \"PAG_2.HTM\"\n"), std::string::npos);
}

TEST_F(PagedBuildTest, FailedStartFallsBackWithTheFullPath) {
  makePictures(2);
  auto r = build(4, "yes", "launch fail\n");
  EXPECT_NE(r.transcript.find("launch \"START /max /w c:\\\\album\\\\index.htm\" -> failed\n"
                              "launch \"CMD /C c:\\\\album\\\\index.htm\" -> ok\n"),
            std::string::npos);
}

TEST_F(PagedBuildTest, ExistingPagesAreAskedAboutOnceAfterAYes) {
  makePictures(5);
  build(2);
  // Second build: the first existing page is asked about, then the rest are replaced silently.
  auto r = build(2, "yes");
  size_t first = r.transcript.find("gia' esistente");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(r.transcript.find("gia' esistente", first + 1), std::string::npos);
}

TEST_F(PagedBuildTest, AfterANoTheNextPageAsksAgain) {
  makePictures(4);
  build(2);
  auto r = build(2);  // every question answered no
  size_t count = 0;
  for (size_t at = r.transcript.find("gia' esistente"); at != std::string::npos;
       at = r.transcript.find("gia' esistente", at + 1))
    ++count;
  EXPECT_EQ(count, 3u);  // pag_1, pag_2 and the index
}

struct RefusedCase {
  std::string counter, maximum, perRow, message;
};

const std::string kNoFiles = "Nessun files da elaborare !!!";
const std::string kNoMaximum = "Indicare numero massimo files per pagina .HTM da elaborare !!!";
const std::string kNoPerRow = "Indicare quante immagini si voglio per ogni riga !!!";

// The box whose refusal the case expects, and what it holds.
void PrintTo(const RefusedCase& r, std::ostream* os) {
  if (r.message == kNoFiles) {
    *os << "files " << testing::quotedText(r.counter);
  } else if (r.message == kNoMaximum) {
    *os << "max " << testing::quotedText(r.maximum);
  } else {
    *os << "per row " << testing::quotedText(r.perRow);
  }
}

class PagedBuildRefusalTest : public PagedBuildTest,
                              public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(PagedBuildRefusalTest, RefusesWithItsMessageAndChangesNothing) {
  makePictures(2);
  const RefusedCase& p = GetParam();
  auto r =
      run("set txtPATH_RICERCA C:\\foto\nset txtNOME_FILE_HTM C:\\album\\index.htm\n"
          "click cmdCONFERMA\nset txtNUM_FILE " +
          p.counter + "\nset txtMAX_N_FILES " + p.maximum + "\nset txtMAX_PER_RIGA " + p.perRow +
          "\nclick Command4\ndump\n");
  EXPECT_EQ(r.transcript.substr(0, r.transcript.find("control ")),
            "pointer hourglass\nbeep\npointer default\nbeep\nmessage \"" + p.message + "\"\n");
  EXPECT_NE(r.transcript.find("control Command5 disabled\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field File_Pagina \"\"\n"), std::string::npos);
  EXPECT_TRUE(pagesOnDisk().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, PagedBuildRefusalTest,
    ::testing::Values(RefusedCase{"0", "4", "5", kNoFiles}, RefusedCase{"", "4", "5", kNoFiles},
                      RefusedCase{"x1", "0", "0", kNoFiles},
                      RefusedCase{"2", "", "5", kNoMaximum}, RefusedCase{"2", "0", "5", kNoMaximum},
                      RefusedCase{"2", "-3", "5", kNoMaximum},
                      RefusedCase{"2", "0.5", "5", kNoMaximum},
                      RefusedCase{"2", "abc", "5", kNoMaximum},
                      RefusedCase{"2", "4", "", kNoPerRow}, RefusedCase{"2", "4", "0", kNoPerRow},
                      RefusedCase{"2", "4", "-1", kNoPerRow},
                      RefusedCase{"2", "4", "0.5", kNoPerRow},
                      RefusedCase{"2", "4", "abc", kNoPerRow}),
    testing::ReadableName());

TEST_F(PagedBuildTest, FractionalMaximumIsTakenWhole) {
  makePictures(5);
  run("set txtPATH_RICERCA C:\\foto\nset txtNOME_FILE_HTM C:\\album\\index.htm\n"
      "click cmdCONFERMA\nset txtMAX_N_FILES 2.7\nclick Command4\n");
  EXPECT_EQ(pagesOnDisk(), (std::set<std::string>{"pag_1.htm", "pag_2.htm", "pag_3.htm"}));
}

TEST_F(PagedBuildTest, ElevenHundredPagesAreAllListedInTheIndex) {
  makePictures(0);
  for (int i = 1; i <= 1100; ++i) writeFile(c() / "foto" / ("f" + zeroPad(i, 4) + ".gif"), "g");
  auto r = build(1);
  EXPECT_NE(r.transcript.find("field N_Pag 1100\n"), std::string::npos);
  auto index = anchorLines(readFile(album() / "index.htm"));
  ASSERT_EQ(index.size(), 1100u);
  EXPECT_EQ(index[1099], "        <A HREF=\"pag_1100.htm\">");
  EXPECT_TRUE(std::filesystem::exists(album() / "pag_1100.htm"));
}

}  // namespace
}  // namespace vortena
