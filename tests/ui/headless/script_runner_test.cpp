#include "ui/headless/script_runner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/album_fixture.h"
#include "support/program_folder.h"
#include "support/run_script.h"
#include "support/test_names.h"
#include "ui/headless/headless.h"

namespace vortena {
namespace {

using testing::runScriptText;

class ScriptRunnerTest : public ::testing::Test {
 protected:
  testing::ScriptRun run(const std::string& script, int width = 1024) {
    return runScriptText(script, driveC_.path(), program_.path(), width);
  }
  testing::TempFolder driveC_;
  testing::TempFolder program_;
};

// With Z: mapped elsewhere no drive covers the program folder: it is still reached, and a build
// finds its templates.
TEST_F(ScriptRunnerTest, ProgramFolderIsFoundWhateverTheDriveMap) {
  testing::writeProgramFolder(program_.path());
  testing::writeFile(driveC_.path() / "foto" / "a.jpg", "picture a");
  testing::TempFolder elsewhere;
  RunnerOptions options;
  options.drives.set('C', driveC_.path().string());
  options.drives.set('Z', elsewhere.path().string());
  options.programFolder = program_.path().string();
  std::istringstream in(
      "set txtPATH_RICERCA C:\\foto\nset txtNOME_FILE_HTM C:\\foto\\index.htm\n"
      "click cmdCONFERMA\nclick Command1\n");
  std::ostringstream out, err;
  EXPECT_EQ(runScript(in, out, err, options), 0) << err.str();
  EXPECT_EQ(out.str().find("Manca il file"), std::string::npos) << out.str();
  EXPECT_EQ(testing::readFile(driveC_.path() / "foto" / "dir_0001" / "menu.htm").empty(), false);
  EXPECT_EQ(testing::readFile(driveC_.path() / "foto" / "pulsante.jpg"), "bytes of pulsante.jpg");
}

const char* const kStartDump =
    "control txtPATH_RICERCA enabled \"C:\\\\VORTENA\\\\\"\n"
    "control txtESTENSIONE enabled \"*\"\n"
    "control txtNOME_FILE_HTM enabled \"C:\\\\VORTENA\\\\index.htm\"\n"
    "control List1 enabled 0 -1\n"
    "control cmdCONFERMA enabled\n"
    "control Command1 disabled\n"
    "control cmdFINE enabled\n"
    "control txtNUM_FILE enabled \"\"\n"
    "control Command2 enabled\n"
    "control Command3 enabled\n"
    "control cmdCONFERMA_Tutti enabled\n"
    "control cmdCANC_FILE enabled\n"
    "control cmdIns_File enabled\n"
    "control Command4 disabled\n"
    "control txtMAX_N_FILES enabled \"9\"\n"
    "control txtMAX_PER_RIGA enabled \"5\"\n"
    "control Check1 enabled 0\n"
    "control Command5 disabled\n"
    "control Check2 enabled 0\n"
    "control Option1 enabled 0\n"
    "control Option2 enabled 1\n"
    "field Dir_Album \"\"\n"
    "field Nome_Pagina \"\"\n"
    "field File_Pagina \"\"\n"
    "field Dir_Radice \"\"\n"
    "field N_Files 0\n"
    "field Primo_File 0\n"
    "field Ultimo_File 0\n"
    "field N_Pag 0\n"
    "field Elenco_Confermato 0\n";

TEST_F(ScriptRunnerTest, DumpAtStartShowsTheInitialWindow) {
  auto r = run("dump\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.transcript, kStartDump);
  EXPECT_EQ(r.errors, "");
}

TEST_F(ScriptRunnerTest, NarrowScreenProposesFourImagesPerRow) {
  auto r = run("dump\n", 640);
  EXPECT_NE(r.transcript.find("control txtMAX_PER_RIGA enabled \"4\"\n"), std::string::npos);
}

TEST_F(ScriptRunnerTest, SetKeepsBlanksAndDumpQuotesSpecialBytes) {
  auto r =
      run("set txtPATH_RICERCA  a\tb\"c\\d\x01\x7f \n"
          "set txtNUM_FILE\n"
          "check Check1 2\r\n"
          "option Option1\n"
          "# a comment\n"
          "   \n"
          "dump\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.transcript.find("control txtPATH_RICERCA enabled \" a\\tb\\\"c\\\\d\\x01\\x7F \"\n"),
            std::string::npos)
      << r.transcript;
  EXPECT_NE(r.transcript.find("control txtNUM_FILE enabled \"\"\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("control Check1 enabled 2\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("control Option1 enabled 1\ncontrol Option2 enabled 0\n"),
            std::string::npos);
}

TEST_F(ScriptRunnerTest, ClickOnADisabledButtonIsReported) {
  auto r = run("click Command1\nclick Command4\nclick Command5\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.transcript, "disabled Command1\ndisabled Command4\ndisabled Command5\n");
}

TEST_F(ScriptRunnerTest, EndButtonStopsTheRunBeforeLaterLines) {
  auto r = run("click cmdFINE\nunknown line that is never read\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.transcript, "end\n");
  EXPECT_EQ(r.errors, "");
}

TEST_F(ScriptRunnerTest, EndLineStopsTheRun) {
  auto r = run("end\ndump\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.transcript, "");
}

// The list keeps its items' texts packed one after the other: every item must come back whole
// after items before, at and after it are removed, an empty item and long ones included.
TEST(PlainListBoxTest, ItemsStayWholeAsOthersAreRemoved) {
  PlainListBox list("List1");
  const std::string longItem = "C:\\" + std::string(5000, 'x') + "\\perché.jpg";
  std::vector<std::string> kept{"C:\\a.jpg", "", longItem, "C:\\città\\c.jpg", "d", "C:\\e.jpg"};
  for (const std::string& item : kept) list.addItem(item);
  list.setSelectedIndex(4);
  // The first, one in the middle, the last, the selected one (then last), two out of range.
  for (int index : {0, 2, 3, 2, 9, -1}) {
    list.removeItem(index);
    if (index >= 0 && index < static_cast<int>(kept.size())) kept.erase(kept.begin() + index);
    ASSERT_EQ(list.count(), static_cast<int>(kept.size())) << "after removing " << index;
    for (size_t i = 0; i < kept.size(); ++i)
      EXPECT_EQ(list.item(static_cast<int>(i)), kept[i]) << "after removing " << index;
    EXPECT_EQ(list.item(static_cast<int>(kept.size())), "");
  }
  // "d", selected at 4, moved up with each removal before it and went with its own.
  EXPECT_EQ(list.selectedIndex(), -1);
  EXPECT_EQ(kept, (std::vector<std::string>{"", longItem}));
  list.clear();
  list.addItem("C:\\f.jpg");
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(list.item(0), "C:\\f.jpg");
}

TEST_F(ScriptRunnerTest, SelectionAndItemsAppearInTheDump) {
  auto r =
      run("dialog C:\\foto\\a.jpg\nclick cmdIns_File\nselect List1 0\ndump\n"
          "select List1 -1\ndump\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.transcript.find("control List1 enabled 1 0\nitem \"C:\\\\foto\\\\a.jpg\"\n"
                              "control cmdCONFERMA enabled\n"),
            std::string::npos)
      << r.transcript;
  EXPECT_NE(r.transcript.find("control List1 enabled 1 -1\nitem "), std::string::npos);
}

struct BadLine {
  std::string script;
  int lineNumber;
  std::string ranBefore;  // transcript of the lines before the bad one
};

// The line the runner refuses.
void PrintTo(const BadLine& b, std::ostream* os) {
  std::istringstream lines(b.script);
  std::string line;
  for (int n = 0; n < b.lineNumber; ++n) std::getline(lines, line);
  *os << testing::quotedText(line);
}

class ScriptRunnerBadLineTest : public ScriptRunnerTest,
                                public ::testing::WithParamInterface<BadLine> {};

TEST_P(ScriptRunnerBadLineTest, EndsWithStatusTwoAndNamesTheLine) {
  auto r = run(GetParam().script);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.errors.rfind("line " + std::to_string(GetParam().lineNumber) + ":", 0), 0u)
      << r.errors;
  EXPECT_EQ(r.transcript, GetParam().ranBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptRunnerBadLineTest,
    ::testing::Values(BadLine{"frobnicate\n", 1, ""},
                      BadLine{"click Command1\n\nclick NoSuchButton\n", 3, "disabled Command1\n"},
                      BadLine{"check Check1 3\n", 1, ""}, BadLine{"check Check1\n", 1, ""},
                      BadLine{"check txtNUM_FILE 1\n", 1, ""}, BadLine{"set Command1 x\n", 1, ""},
                      BadLine{"select List1 0\n", 1, ""}, BadLine{"select List1 -2\n", 1, ""},
                      BadLine{"answer maybe\n", 1, ""}, BadLine{"launch\n", 1, ""},
                      BadLine{"option Check1\n", 1, ""}, BadLine{"set\n", 1, ""}),
    testing::ReadableName());

}  // namespace
}  // namespace vortena
