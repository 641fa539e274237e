// The user's files through whole builds: a failed write keeps the earlier file and is told, one
// command runs at a time, sources are never replaced or moved, a case twin is never taken for
// an entry, and nothing outside the chosen place is replaced without a yes.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <utility>

#include "app/main_window.h"
#include "support/album_fixture.h"
#include "support/faulty_fs.h"
#include "support/program_folder.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

namespace fs = std::filesystem;

class DataSafetyTest : public ::testing::Test {
 protected:
  DataSafetyTest() : faulty(fx.relativeFs()), hookUi(fx.user()) {
    writeProgramFolder(program.path());
    fx.session().services.ui = &hookUi;
  }
  fs::path c() const { return fx.driveC(); }
  const Form& form() { return fx.form().form(); }
  // Lists C:\foto and points the page at `page`.
  void load(const std::string& page = "C:\\album\\index.htm") {
    form().searchFolderBox->setText("C:\\foto");
    form().pagePathBox->setText(page);
    ASSERT_TRUE(fx.window().click("cmdCONFERMA"));
  }
  // A single-page build, answering the questions in order (unqueued ones are No).
  void build(std::initializer_list<bool> answers = {}, const char* button = "Command1") {
    for (bool a : answers) fx.user().queueAnswer(a);
    ASSERT_TRUE(fx.window().click(button));
  }

  TempFolder program;
  AlbumFixture fx{program.path()};
  FaultyFileSystem faulty;
  EventHookUi hookUi;
};

struct WriteFault {
  const char* what;
  FsOperation op;
  const char* path;     // as the build writes it (lower-case build)
  const char* file;     // the file below C: that must keep its earlier bytes
  const char* message;  // text the transcript must hold; empty: no message at all
  bool pageWritten;     // whether the build still offers the page for viewing
};
void PrintTo(const WriteFault& f, std::ostream* os) { *os << f.what; }

class WriteFaultTest : public DataSafetyTest, public ::testing::WithParamInterface<WriteFault> {
 protected:
  // A first build of two pictures, then `files` (below C:) given other bytes by a rename, as
  // an editor saves, so that the rebuild sees their folders changed and writes them again.
  void buildThenReplace(std::initializer_list<fs::path> files) {
    writeFile(c() / "foto" / "a.jpg", "picture a");
    writeFile(c() / "foto" / "b.jpg", "picture b");
    fs::create_directories(c() / "album");
    load();
    build({false});
    for (const fs::path& file : files) {
      ASSERT_TRUE(fs::exists(c() / file)) << fx.transcript();
      writeFile(c() / "earlier", "earlier bytes of " + file.string());
      fs::rename(c() / "earlier", c() / file);
    }
    fx.takeTranscript();
  }
};

// Every write step of the page, a slideshow page, a copy and a site file, failing on a rebuild:
// the failure is told (or, for a site file, left out quietly) and the earlier file stays as it
// was, byte for byte.
TEST_P(WriteFaultTest, FailedStepIsToldAndTheEarlierFileStays) {
  const WriteFault& fault = GetParam();
  buildThenReplace({fault.file});

  fx.session().services.fs = &faulty;
  faulty.failOn(fault.op, fault.path, kDeviceIoError);
  build({true, false});
  const std::string transcript = fx.takeTranscript();
  EXPECT_EQ(readFile(c() / fault.file), "earlier bytes of " + std::string(fault.file))
      << transcript;
  if (*fault.message)
    EXPECT_NE(transcript.find(fault.message), std::string::npos) << transcript;
  else
    EXPECT_EQ(transcript.find("message"), std::string::npos) << transcript;
  EXPECT_EQ(transcript.find("Visualizzo") != std::string::npos, fault.pageWritten) << transcript;
}

// A failure nothing expects, in the page writer or on a copy thread: told in the program's words
// and on standard error, and the build and the window go on. The page it broke keeps its
// earlier bytes; a broken copy, like a failed one, leaves the page to be written.
TEST_F(DataSafetyTest, AnUnexpectedFailureIsToldAndTheWindowGoesOn) {
  writeFile(c() / "foto" / "a.jpg", "picture a");
  fs::create_directories(c() / "album");
  writeFile(c() / "album" / "index.htm", "earlier page");
  load();
  fx.session().services.fs = &faulty;
  const struct {
    FsOperation op;
    bool pageStays;
  } rows[] = {{FsOperation::OpenWrite, true}, {FsOperation::Copy, false}};
  for (const auto& row : rows) {
    faulty.clearFaults();
    faulty.failOn(row.op, "", kThrowsInstead);
    ::testing::internal::CaptureStderr();
    build({true});  // replace the page; any later question is answered no
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string transcript = fx.takeTranscript();
    EXPECT_NE(transcript.find("Errore imprevisto: injected failure at "), std::string::npos)
        << transcript;
    EXPECT_NE(err.find("unexpected failure: injected failure at "), std::string::npos) << err;
    EXPECT_EQ(readFile(c() / "album" / "index.htm") == "earlier page", row.pageStays);
    EXPECT_TRUE(fx.form().form().buildPageButton->enabled());
  }
}

// The same steps failing on a full disk: the first failure ends the build with one message
// naming where it happened; the earlier page stays as it was, and nothing more is asked.
TEST_P(WriteFaultTest, FullDiskEndsTheBuildWithOneMessage) {
  const WriteFault& fault = GetParam();
  buildThenReplace({"album/index.htm", fault.file});

  fx.session().services.fs = &faulty;
  faulty.failOn(fault.op, fault.path, kDiskFull);
  load();
  build({true, false});
  const std::string transcript = fx.takeTranscript();
  EXPECT_EQ(readFile(c() / fault.file), "earlier bytes of " + std::string(fault.file))
      << transcript;
  const bool told = *fault.message != '\0';
  size_t messages = 0;
  for (size_t at = transcript.find("message "); at != std::string::npos;
       at = transcript.find("message ", at + 1))
    ++messages;
  EXPECT_EQ(messages, told ? 1u : 0u) << transcript;
  if (told) {
    const std::string where = quoteText(fault.path);
    EXPECT_NE(transcript.find("message \"Disco pieno: creazione dell'album interrotta in " +
                              where.substr(1, where.size() - 2)),
              std::string::npos)
        << transcript;
    EXPECT_EQ(readFile(c() / "album" / "index.htm"), "earlier bytes of album/index.htm")
        << transcript;
  }
  EXPECT_EQ(transcript.find("Visualizzo") != std::string::npos, !told) << transcript;
}

const char kPageBoxC[] =
    "message \"Errore in registrazione Elenco c:\\\\album\\\\index.htm\\r\\r ERR= 57";
const char kMenuBoxC[] =
    "message \"Errore in registrazione Elenco c:\\\\album\\\\dir_0001\\\\menu.htm\\r\\r ERR= 57";

INSTANTIATE_TEST_SUITE_P(
    Steps, WriteFaultTest,
    ::testing::Values(
        WriteFault{"page open", FsOperation::OpenWrite, "c:\\album\\index.htm", "album/index.htm",
                   kPageBoxC, false},
        WriteFault{"page line", FsOperation::WriteLine, "c:\\album\\index.htm", "album/index.htm",
                   kPageBoxC, false},
        WriteFault{"page close", FsOperation::Close, "c:\\album\\index.htm", "album/index.htm",
                   kPageBoxC, false},
        WriteFault{"slideshow open", FsOperation::OpenWrite, "c:\\album\\dir_0001\\menu.htm",
                   "album/dir_0001/menu.htm", kMenuBoxC, true},
        WriteFault{"slideshow line", FsOperation::WriteLine, "c:\\album\\dir_0001\\menu.htm",
                   "album/dir_0001/menu.htm", kMenuBoxC, true},
        WriteFault{"slideshow close", FsOperation::Close, "c:\\album\\dir_0001\\menu.htm",
                   "album/dir_0001/menu.htm", kMenuBoxC, true},
        WriteFault{"copy", FsOperation::Copy, "c:\\album\\dir_0001\\img_001.jpg",
                   "album/dir_0001/img_001.jpg",
                   "message \"Errore nella copia delle immagini ERR= 57 - Errore di I/O", true},
        WriteFault{"site file", FsOperation::Copy, "c:\\album\\pulsante.jpg", "album/pulsante.jpg",
                   "", true}),
    ReadableName());

// A click on any command while a build lets the window process its events starts nothing: the
// build goes on alone and its album is whole.
TEST_F(DataSafetyTest, NoCommandStartsInsideABuild) {
  for (const char* name : {"cmdCONFERMA", "cmdCONFERMA_Tutti", "cmdIns_File", "cmdCANC_FILE",
                           "Command2", "Command3", "Command1", "Command4", "Command5"}) {
    SCOPED_TRACE(name);
    fs::remove_all(c() / "album");
    fs::create_directories(c() / "album");
    writeFile(c() / "foto" / "a.jpg", "picture a");
    writeFile(c() / "foto" / "b.jpg", "picture b");
    ASSERT_TRUE(fx.window().click("Command2"));
    load();
    fx.takeTranscript();
    form().mediaListBox->setSelectedIndex(0);
    fx.user().queueDialogResult("C:\\foto\\a.jpg");
    fx.user().queueAnswer(true);  // for a delete question, were one asked
    hookUi.onEvents = [&] { fx.window().click(name); };
    build({}, "Command1");
    const std::string transcript = fx.takeTranscript();
    EXPECT_EQ(transcript.find("dialog"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("Confermi"), std::string::npos) << transcript;
    EXPECT_EQ(form().mediaListBox->count(), 2);
    EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_001.jpg"), "picture a");
    EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_002.jpg"), "picture b");
    EXPECT_NE(readFile(c() / "album" / "index.htm").find("dir_0001\\menu.htm"), std::string::npos);
    EXPECT_FALSE(fs::exists(c() / "album" / "dir_0002"));
    // The guard is let go when the build ends: the next command runs.
    EXPECT_TRUE(fx.window().click("Command2"));
    EXPECT_EQ(form().mediaListBox->count(), 0);
  }
}

// The build reads its settings once, as it starts: the controls they come from cannot be
// edited while it runs, and a change made to them meanwhile (the case, the folder size, the
// filters) does not turn the album half-way; each control is back as it was afterwards.
TEST_F(DataSafetyTest, TheBuildsControlsAreLockedWhileItRuns) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) writeFile(c() / "foto" / name, name);
  fs::create_directories(c() / "album");
  load();
  const Form& f = form();
  const std::vector<Control*> inputs{f.pagePathBox,       f.entriesPerFolderBox, f.imagesPerRowBox,
                                     f.noBackgroundCheck, f.noTitleCheck,        f.upperCaseOption,
                                     f.lowerCaseOption,   f.mediaListBox};
  bool locked = true;
  hookUi.onEvents = [&] {
    for (Control* input : inputs) locked = locked && !input->enabled();
    f.upperCaseOption->select();
    f.entriesPerFolderBox->setText("1");
  };
  build({}, "Command1");
  EXPECT_TRUE(locked);
  for (Control* input : inputs) EXPECT_TRUE(input->enabled()) << input->name();
  EXPECT_EQ(hostNames(c() / "album" / "dir_0001"),
            (std::vector<std::string>{"img_001.jpg", "img_002.jpg", "img_003.jpg", "menu.htm",
                                      "puls_dx3.jpg", "puls_su3.jpg", "puls_sx3.jpg",
                                      "sfondo_1.gif", "sfondo_2.gif"}));
}

// Case twins, files and folders: every entry's own file is copied once, each source stays in
// its own folder with its bytes, and only its last name takes the build's case.
TEST_F(DataSafetyTest, CaseTwinsAreEachCopiedFromTheirOwnFile) {
  writeFile(c() / "foto" / "A.jpg", "upper twin");
  writeFile(c() / "foto" / "a.JPG", "lower twin");
  writeFile(c() / "foto" / "Trip" / "Rome.JPG", "rome in Trip");
  writeFile(c() / "foto" / "TRIP" / "x.jpg", "x in TRIP");
  fs::create_directories(c() / "album");
  load();
  ASSERT_EQ(form().mediaListBox->count(), 4);
  build();

  std::multiset<std::string> copies,
      expected{"upper twin", "lower twin", "rome in Trip", "x in TRIP"};
  for (const auto& [name, bytes] : filesBelow(c() / "album" / "dir_0001"))
    if (name.rfind("img_", 0) == 0) copies.insert(bytes);
  EXPECT_EQ(copies, expected);
  EXPECT_EQ(readFile(c() / "foto" / "Trip" / "rome.jpg"), "rome in Trip");
  EXPECT_EQ(readFile(c() / "foto" / "TRIP" / "x.jpg"), "x in TRIP");
  EXPECT_FALSE(fs::exists(c() / "foto" / "TRIP" / "rome.jpg"));
  const auto foto = filesBelow(c() / "foto");
  std::multiset<std::string> sources;
  for (const auto& entry : foto) sources.insert(entry.second);
  EXPECT_EQ(sources, expected);
}

// A source removed between the load and the build: its copy is reported, the rest is built.
TEST_F(DataSafetyTest, SourceGoneBeforeTheBuildIsReportedAndTheRestBuilt) {
  writeFile(c() / "foto" / "a.jpg", "picture a");
  writeFile(c() / "foto" / "b.jpg", "picture b");
  fs::create_directories(c() / "album");
  load();
  fs::remove(c() / "foto" / "a.jpg");
  build();
  const std::string transcript = fx.takeTranscript();
  EXPECT_NE(transcript.find("Errore nella copia delle immagini ERR= 53"), std::string::npos)
      << transcript;
  EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_002.jpg"), "picture b");
  EXPECT_NE(transcript.find("Visualizzo"), std::string::npos);
}

// Another program changes the picture folder while the build is under way, after the first
// picture is copied and before the others: the build sees the folder as it is now, not as it
// was listed before. A picture respelled in another letter case, one renamed away and another
// file put under its name: each is copied from the file that stands there at its turn.
TEST_F(DataSafetyTest, ChangesByAnotherProgramDuringTheBuildAreSeenAtTheNextEntry) {
  writeFile(c() / "foto" / "a.jpg", "picture a");
  writeFile(c() / "foto" / "b.jpg", "picture b");
  writeFile(c() / "foto" / "c.jpg", "picture c");
  fs::create_directories(c() / "album");
  load();
  int calls = 0;
  std::function<void()> hook = [&] {
    if (++calls == 3) {  // entry 1 copied: the window's events after its folder is complete
      fs::rename(c() / "foto" / "b.jpg", c() / "foto" / "B.JPG");
      fs::rename(c() / "foto" / "c.jpg", c() / "foto" / "old-c.jpg");
      writeFile(c() / "foto" / "c.jpg", "another c");
    }
    if (calls < 3) hookUi.onEvents = hook;
  };
  hookUi.onEvents = hook;
  build();
  const std::string transcript = fx.takeTranscript();
  EXPECT_EQ(transcript.find("Errore"), std::string::npos) << transcript;
  EXPECT_GE(calls, 3);
  EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_001.jpg"), "picture a");
  EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_002.jpg"), "picture b");
  EXPECT_EQ(readFile(c() / "album" / "dir_0001" / "img_003.jpg"), "another c");
  // The list already names b.jpg in the build's case: the respelled file keeps its new name.
  EXPECT_EQ(hostNames(c() / "foto"),
            (std::vector<std::string>{"B.JPG", "a.jpg", "c.jpg", "old-c.jpg"}));
}

// The write recovery's new place holds files of the user's: they are replaced only after a yes.
TEST_F(DataSafetyTest, RecoveryAsksBeforeReplacingFilesAtItsNewPlace) {
  writeFile(c() / "foto" / "a.jpg", "picture a");
  writeFile(c() / "index.htm", "the user's home page");
  writeFile(c() / "piede.htm", "the user's footer");
  load("E:\\nowhere\\index.htm");  // drive E: is not mapped: the page moves to C:\index.htm
  const auto before = filesBelow(c());
  fx.takeTranscript();
  build();
  std::string transcript = fx.takeTranscript();
  EXPECT_NE(transcript.find("question \"Elenco  C:\\\\index.htm  gia' esistente, continuo (S/N)\" "
                            "-> no"),
            std::string::npos)
      << transcript;
  EXPECT_EQ(transcript.find("Visualizzo"), std::string::npos);
  EXPECT_EQ(filesBelow(c()), before);
  EXPECT_FALSE(fs::exists(c() / "dir_0001"));

  fx.user().queueLaunchOutcome(true);
  build({true, true});
  transcript = fx.takeTranscript();
  EXPECT_EQ(readFile(c() / "dir_0001" / "img_001.jpg"), "picture a");
  EXPECT_EQ(readFile(c() / "index.htm").rfind("<HTML>", 0), 0u);
  // The view step opens the page where it was written, by its full path.
  EXPECT_NE(transcript.find("launch \"START /max /w C:\\\\index.htm\" -> ok"), std::string::npos)
      << transcript;
}

// After a browse the album page sits among the photos: a photo named like a site file is a
// source of the build and is never replaced by the installer.
TEST_F(DataSafetyTest, InstallerKeepsAPhotoNamedLikeASiteFile) {
  writeFile(c() / "foto" / "pulsante.jpg", "my photo of a button");
  writeFile(c() / "foto" / "b.jpg", "picture b");
  load("C:\\foto\\index.htm");
  build();
  EXPECT_EQ(readFile(c() / "foto" / "pulsante.jpg"), "my photo of a button");
  EXPECT_EQ(readFile(c() / "foto" / "dir_0001" / "img_002.jpg"), "my photo of a button");
  EXPECT_EQ(readFile(c() / "foto" / "foto-1a.jpg"), "bytes of foto-1a.jpg");
}

// A page path typed without a drive is taken from the current folder once, for both builds.
TEST_F(DataSafetyTest, RelativePagePathIsResolvedOnce) {
  writeFile(c() / "foto" / "a.jpg", "picture a");
  writeFile(c() / "foto" / "b.jpg", "picture b");
  fs::create_directories(c() / "album");
  for (const char* button : {"Command1", "Command4"}) {
    SCOPED_TRACE(button);
    fs::remove_all(c() / "album");
    fs::create_directories(c() / "album");
    ASSERT_TRUE(fx.folders().changeFolder("C:\\").ok());
    ASSERT_TRUE(fx.window().click("Command2"));
    load("album\\index.htm");
    form().entriesPerFolderBox->setText("1");
    build({false}, button);
    EXPECT_EQ(readFile(c() / "album" / "index.htm").rfind("<HTML>", 0), 0u);
    EXPECT_FALSE(fs::exists(c() / "album" / "album"));
  }
}

// The default folder of the page path is there from the start, so a first build with the
// default path lands in it; a folder of that name in another spelling is left as it is.
TEST_F(DataSafetyTest, DefaultFolderIsMadeAtStart) {
  EXPECT_TRUE(fs::is_directory(c() / "VORTENA"));
  fs::remove(c() / "VORTENA");
  fs::create_directories(c() / "Vortena");
  makeDefaultFolder(fx.fs());
  EXPECT_TRUE(fs::is_directory(c() / "Vortena"));
  EXPECT_FALSE(fs::exists(c() / "VORTENA"));
}

// Random small trees and random sequences of list commands, builds and answers: afterwards every
// source's bytes are still in its own folder, and nothing outside the album folder changed.
TEST_F(DataSafetyTest, RandomSessionsKeepEverySource) {
  std::mt19937 random(20261207);
  const char* names[] = {"a.jpg",    "A.JPG",       "b.Jpg", "pulsante.jpg", "x y.jpg",
                         "menu.htm", "img_001.jpg", "c.gif", "index.htm"};
  const char* folders[] = {"foto", "foto/Sub", "foto/SUB", "foto/deep/er"};
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    fs::remove_all(c() / "foto");
    fs::remove_all(c() / "album");
    fs::create_directories(c() / "album");
    std::map<std::string, std::multiset<std::string>> sources;  // folder -> bytes
    const int count = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
      const std::string folder = folders[random() % 4];
      const fs::path file = c() / folder / names[random() % 9];
      if (fs::exists(file)) continue;
      const std::string bytes = "source " + std::to_string(round) + "." + std::to_string(i);
      writeFile(file, bytes);
    }
    // The pictures are the sources; the pages among them are not listed and may be replaced
    // after a yes.
    for (const auto& [name, bytes] : filesBelow(c() / "foto"))
      if (fs::path(name).extension() != ".htm")
        sources[fs::path(name).parent_path().generic_string()].insert(bytes);
    const auto outside = filesBelow(c());

    ASSERT_TRUE(fx.window().click("Command2"));
    load(random() % 2 ? "C:\\album\\index.htm" : "C:\\foto\\index.htm");
    for (int step = 0; step < 4; ++step) {
      form().upperCaseOption->select();
      if (random() % 2) form().lowerCaseOption->select();
      form().entriesPerFolderBox->setText(std::to_string(1 + random() % 3));
      switch (random() % 4) {
        case 0:
          form().mediaListBox->setSelectedIndex(0);
          fx.user().queueAnswer(true);
          fx.window().click("cmdCANC_FILE");
          break;
        case 1:
          load(form().pagePathBox->text());
          break;
        default:
          fx.user().queueAnswer(random() % 2 == 0);
          fx.user().queueAnswer(random() % 2 == 0);
          fx.window().click(random() % 2 ? "Command1" : "Command4");
      }
    }
    std::map<std::string, std::multiset<std::string>> after;
    for (const auto& [name, bytes] : filesBelow(c() / "foto"))
      after[fs::path(name).parent_path().generic_string()].insert(bytes);
    for (const auto& [folder, bytes] : sources)
      for (const std::string& b : bytes)
        EXPECT_EQ(after[folder].count(b), bytes.count(b)) << folder << " lost " << b;
    for (const auto& [name, bytes] : outside) {
      if (name.rfind("foto/", 0) == 0 || name.rfind("album/", 0) == 0) continue;
      EXPECT_EQ(readFile(c() / name), bytes) << name;
    }
    fx.takeTranscript();
  }
}

}  // namespace
}  // namespace vortena::testing
