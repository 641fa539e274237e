// The single-page build driven through the script runner, as a user of the headless window
// would drive it.
#include <gtest/gtest.h>

#include <set>

#include "album/asset_installer.h"
#include "core/album_files.h"
#include "core/text.h"
#include "support/album_fixture.h"
#include "support/program_folder.h"
#include "support/run_script.h"
#include "support/test_names.h"

namespace vortena {
namespace {

using testing::readFile;
using testing::writeFile;

class SinglePageBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::writeProgramFolder(program_.path());
    writeFile(c() / "foto" / "a.jpg", "picture a");
    writeFile(c() / "foto" / "b.jpg", "picture b");
    std::filesystem::create_directories(c() / "album");
  }
  std::filesystem::path c() const { return driveC_.path(); }
  testing::ScriptRun run(const std::string& script) {
    return testing::runScriptText(script, c(), program_.path());
  }
  // Fills the list from C:\foto and points the page at C:\album\index.htm.
  static constexpr const char* kLoad =
      "set txtPATH_RICERCA C:\\foto\n"
      "set txtNOME_FILE_HTM C:\\album\\index.htm\n"
      "click cmdCONFERMA\n";
  static constexpr const char* kLoadTranscript = "pointer hourglass\nbeep\npointer default\n";
  // What a page pass that writes its page shows.
  static constexpr const char* kPass = "pointer hourglass\npointer default\nbeep\n";

  testing::TempFolder driveC_;
  testing::TempFolder program_;
};

TEST_F(SinglePageBuildTest, EmptyCounterIsRefusedWithoutWritingAnything) {
  for (const char* counter : {"0", "", "abc", "  0  "}) {
    auto r = run(std::string(kLoad) + "set txtNUM_FILE " + counter + "\nclick Command1\ndump\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.transcript.substr(0, r.transcript.find("control ")),
              std::string(kLoadTranscript) + "beep\nmessage \"Nessun files da elaborare !!!\"\n")
        << "counter " << counter;
    EXPECT_NE(r.transcript.find("control Command5 disabled"), std::string::npos);
    EXPECT_NE(r.transcript.find("field File_Pagina \"\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(c() / "album" / "index.htm"));
  }
}

TEST_F(SinglePageBuildTest, YesOpensThePageByItsNameAndEnablesTheViewButton) {
  auto r = run(std::string(kLoad) + "answer yes\nclick Command1\ndump\n");
  EXPECT_EQ(r.transcript.substr(0, r.transcript.find("control ")),
            std::string(kLoadTranscript) + kPass +
                R"~(question "Visualizzo la pagina creata c:\\album\\index.htm (S/N) " -> yes
launch "START /max /w index.htm" -> ok
)~");
  EXPECT_NE(r.transcript.find("control Command1 enabled\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("control Command5 enabled\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field Dir_Album \"c:\\\\album\\\\\"\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field File_Pagina \"index.htm\"\n"), std::string::npos);
  EXPECT_NE(r.transcript.find("field N_Files 2\nfield Primo_File 1\nfield Ultimo_File 2\n"),
            std::string::npos);
  EXPECT_EQ(readFile(c() / "album" / "index.htm").rfind("<HTML>\r\n", 0), 0u);
}

TEST_F(SinglePageBuildTest, FailedStartFallsBackToTheCommandInterpreter) {
  auto r = run(std::string(kLoad) + "answer yes\nlaunch fail\nclick Command1\n");
  EXPECT_EQ(r.transcript,
            std::string(kLoadTranscript) + kPass +
                R"~(question "Visualizzo la pagina creata c:\\album\\index.htm (S/N) " -> yes
launch "START /max /w index.htm" -> failed
launch "CMD /C index.htm" -> ok
)~");
}

// A page that neither launch can open is told, once, by its full path; one that opens is not.
TEST_F(SinglePageBuildTest, PageThatCannotBeOpenedIsTold) {
  auto r = run(std::string(kLoad) + "answer yes\nlaunch fail\nlaunch fail\nclick Command1\n" +
               "launch fail\nlaunch ok\nclick Command5\n");
  EXPECT_NE(r.transcript.find("launch \"START /max /w index.htm\" -> failed\n"
                              "launch \"CMD /C index.htm\" -> failed\n"
                              "beep\nmessage \"Impossibile aprire la pagina c:\\\\album\\\\index.htm\"\n"),
            std::string::npos)
      << r.transcript;
  EXPECT_EQ(r.transcript.find("message", r.transcript.find("-> ok")), std::string::npos)
      << r.transcript;
}

TEST_F(SinglePageBuildTest, NoLaunchesNothingButEnablesTheViewButton) {
  auto r = run(std::string(kLoad) + "click Command1\ndump\n");
  EXPECT_EQ(r.transcript.find("launch"), std::string::npos);
  EXPECT_NE(r.transcript.find("control Command5 enabled\n"), std::string::npos);
}

TEST_F(SinglePageBuildTest, ExistingPageIsKeptOnNoAndReplacedOnYes) {
  writeFile(c() / "album" / "index.htm", "the user's own page");
  writeFile(c() / "album" / "pulsante.jpg", "the user's own button");
  auto no = run(std::string(kLoad) + "click Command1\ndump\n");
  // After a No nothing more is written and no page is offered for viewing.
  EXPECT_NE(no.transcript.find(R"~(beep
question "Elenco  c:\\album\\index.htm  gia' esistente, continuo (S/N)" -> no
pointer default
beep
control txtPATH_RICERCA)~"),
            std::string::npos)
      << no.transcript;
  EXPECT_EQ(no.transcript.find("Visualizzo"), std::string::npos);
  EXPECT_EQ(readFile(c() / "album" / "index.htm"), "the user's own page");
  EXPECT_EQ(readFile(c() / "album" / "pulsante.jpg"), "the user's own button");
  EXPECT_FALSE(std::filesystem::exists(c() / "album" / "dir_0001"));
  EXPECT_NE(no.transcript.find("field Elenco_Confermato 0\n"), std::string::npos);

  auto yes = run(std::string(kLoad) + "answer yes\nclick Command1\ndump\n");
  EXPECT_NE(yes.transcript.find("gia' esistente, continuo (S/N)\" -> yes\npointer hourglass\n"),
            std::string::npos);
  EXPECT_EQ(readFile(c() / "album" / "index.htm").rfind("<HTML>\r\n", 0), 0u);
  EXPECT_NE(yes.transcript.find("field Elenco_Confermato 1\n"), std::string::npos);
}

struct MissingTemplate {
  std::string name;
};

class MissingTemplateTest : public SinglePageBuildTest,
                            public ::testing::WithParamInterface<std::string> {};

TEST_P(MissingTemplateTest, NoEndsThePassAndYesWritesThePage) {
  const std::string name = GetParam();
  std::filesystem::remove(program_.path() / name);
  const std::string question =
      "beep\nquestion \"Manca il file " + name + ", continuo ?\\r\\rP:\\\\" + name + "\" -> ";
  auto no = run(std::string(kLoad) + "click Command1\n");
  EXPECT_EQ(no.transcript, std::string(kLoadTranscript) + question + "no\npointer default\nbeep\n");
  EXPECT_FALSE(std::filesystem::exists(c() / "album" / "index.htm"));

  auto yes = run(std::string(kLoad) + "answer yes\nclick Command1\n");
  EXPECT_EQ(yes.transcript.rfind(std::string(kLoadTranscript) + question + "yes\n" + kPass, 0), 0u)
      << yes.transcript;
  EXPECT_EQ(readFile(c() / "album" / "index.htm").rfind("<HTML>\r\n", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Templates, MissingTemplateTest,
                         ::testing::Values("MENU.HTM", "INTESTAZ.HTM", "PIEDE.HTM"),
                         testing::ReadableName());

TEST_F(SinglePageBuildTest, AssetsAreCopiedBesideThePageInTheBuildsCase) {
  writeFile(c() / "album" / "pulsante.jpg", "an older copy");
  run(std::string(kLoad) + "click Command1\n");
  for (std::string_view name : kSiteAssets) {
    std::string lower = toLower(std::string(name));
    std::string expected = readFile(program_.path() / std::string(name));
    EXPECT_EQ(readFile(c() / "album" / lower), expected) << lower;
  }

  std::filesystem::create_directories(c() / "upper");
  run(std::string(kLoad) +
      "set txtNOME_FILE_HTM C:\\upper\\index.htm\noption Option1\n"
      "click Command1\n");
  std::set<std::string> names;
  // The folder keeps its spelling on disk; the files take the build's.
  for (const auto& entry : std::filesystem::directory_iterator(c() / "upper"))
    names.insert(entry.path().filename().string());
  for (std::string_view name : kSiteAssets) {
    std::string upper = toUpper(std::string(name));
    EXPECT_TRUE(names.count(upper)) << upper;
    EXPECT_EQ(readFile(c() / "upper" / upper), readFile(program_.path() / std::string(name)));
  }
}

TEST_F(SinglePageBuildTest, MissingProgramFolderAsksForEachTemplateAndStillFinishes) {
  auto r = testing::runScriptText(
      std::string(kLoad) + "answer yes\nanswer yes\nanswer yes\nclick Command1\n", c(),
      program_.path() / "missing");
  EXPECT_NE(r.transcript.find("Manca il file MENU.HTM"), std::string::npos);
  EXPECT_NE(r.transcript.find("Manca il file INTESTAZ.HTM"), std::string::npos);
  EXPECT_NE(r.transcript.find("Manca il file PIEDE.HTM"), std::string::npos);
  EXPECT_NE(r.transcript.find("question \"Visualizzo la pagina creata"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(c() / "album" / "index.htm"));
  EXPECT_FALSE(std::filesystem::exists(c() / "album" / "pulsante.jpg"));
}

}  // namespace
}  // namespace vortena
