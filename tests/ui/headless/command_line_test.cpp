// `vortena build` and `vortena scan` in-process: the pages they make against the same build
// driven through the script runner, their refusals, their exit statuses and their help.
#include "ui/headless/command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "pagewriter/build_record.h"
#include "support/album_fixture.h"
#include "support/program_folder.h"
#include "support/run_script.h"
#include "ui/headless/console_user.h"

namespace vortena {
namespace {

using testing::readFile;
using testing::writeFile;

struct CommandRun {
  int status = -1;
  std::string out, err;
};

// Every file under `root` by its relative path, with its bytes. The build record is left out:
// it holds the stamps of this disk's files, and only the folders settled when the build ended.
std::map<std::string, std::string> treeOf(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() != kBuildRecordName)
      files[std::filesystem::relative(entry.path(), root).string()] = readFile(entry.path());
  return files;
}

// A photo tree with mixed letter case, a subfolder, a sound and a file of no known type.
void writePhotoTree(const std::filesystem::path& c) {
  writeFile(c / "foto" / "Uno.JPG", "picture one");
  writeFile(c / "foto" / "due.gif", "picture two");
  writeFile(c / "foto" / "mare" / "Tre.jpg", "picture three");
  writeFile(c / "foto" / "mare" / "onde.mp3", "sound");
  writeFile(c / "foto" / "note.txt", "notes");
  std::filesystem::create_directories(c / "album");
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::writeProgramFolder(program_.path());
    writePhotoTree(c());
  }
  std::filesystem::path c() const { return driveC_.path(); }
  CommandLineSetup setup() const {
    CommandLineSetup s;
    s.options.drives.set('C', c().string());
    s.options.drives.set('P', program_.path().string());
    s.options.programFolder = program_.path().string();
    return s;
  }
  CommandRun command(QStringList args, const CommandLineSetup& s) {
    args.prepend(QStringLiteral("vortena"));
    std::ostringstream out, err;
    CommandRun r;
    r.status = runCommand(args, out, err, s);
    r.out = out.str();
    r.err = err.str();
    return r;
  }
  CommandRun command(const QStringList& args) { return command(args, setup()); }
  // `vortena build OPTIONS C:\...\foto C:\album\index.htm`, the source given as a host path.
  CommandRun build(const QStringList& options) {
    return command(QStringList{QStringLiteral("build")}
                   << options << QString::fromStdString((c() / "foto").string())
                   << QStringLiteral("C:\\album\\index.htm"));
  }

  testing::TempFolder driveC_;
  testing::TempFolder program_;
};

struct SameBuildCase {
  const char* name;
  QStringList options;
  std::string beforeScan;  // script lines before button 3
  std::string afterScan;   // script lines between button 3 and the build
  const char* button;
  // A folder entry cannot be copied as a picture: the build reports it, as the window does.
  bool reported = false;
};

class SameAsScriptTest : public CommandLineTest,
                         public ::testing::WithParamInterface<SameBuildCase> {};

TEST_P(SameAsScriptTest, BuildGivesTheScriptRunnersFilesByteForByte) {
  const SameBuildCase& t = GetParam();
  CommandRun r = build(t.options);
  EXPECT_EQ(r.status, t.reported ? 1 : 0) << r.err;
  EXPECT_EQ(r.err.empty(), !t.reported) << r.err;

  testing::TempFolder scriptC;
  writePhotoTree(scriptC.path());
  auto s = testing::runScriptText(
      "set txtPATH_RICERCA C:\\foto\n"
      "set txtNOME_FILE_HTM C:\\album\\index.htm\n" +
          t.beforeScan + "click cmdCONFERMA\n" + t.afterScan + "click " + t.button + "\n",
      scriptC.path(), program_.path());
  ASSERT_EQ(s.status, 0) << s.errors;
  const auto expected = treeOf(scriptC.path());
  EXPECT_GT(expected.size(), 10u);  // the album was written
  EXPECT_EQ(treeOf(c()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EachOption, SameAsScriptTest,
    ::testing::Values(
        SameBuildCase{"Defaults", {}, "", "", "Command1"},
        SameBuildCase{"Upper", {"--upper"}, "option Option1\n", "", "Command1"},
        SameBuildCase{"NoBackgroundNoTitle",
                      {"--no-background", "--no-title"},
                      "check Check1 1\ncheck Check2 1\n",
                      "",
                      "Command1"},
        SameBuildCase{"Extension", {"--ext", "mp3"}, "set txtESTENSIONE mp3\n", "", "Command1"},
        SameBuildCase{"Folders", {"--ext="}, "set txtESTENSIONE\n", "", "Command1", true},
        SameBuildCase{"PagedPerFolderPerRow",
                      {"--paged", "--per-folder", "2", "--per-row", "3"},
                      "set txtMAX_N_FILES 2\n",
                      "set txtMAX_PER_RIGA 3\n",
                      "Command4"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandLineTest, RefusedWorkGivesStatusOneAndTheMessage) {
  struct Case {
    QStringList options;
    std::string message;
  };
  const Case cases[] = {
      {{"--ext", "xyz"}, "vortena: Nessun files da elaborare !!!\n"},
      {{"--paged", "--per-folder", "0"},
       "vortena: Indicare numero massimo files per pagina .HTM da elaborare !!!\n"},
      {{"--paged", "--per-row", "x"},
       "vortena: Indicare quante immagini si voglio per ogni riga !!!\n"},
      {{"--ext", "a.b"}, "vortena: Indicare solo l'estensione dei files da cercare !!!\n"},
  };
  for (const Case& t : cases) {
    CommandRun r = build(t.options);
    EXPECT_EQ(r.status, 1) << t.message;
    EXPECT_EQ(r.err, t.message);
  }
  EXPECT_FALSE(std::filesystem::exists(c() / "album" / "index.htm"));
}

TEST_F(CommandLineTest, ExistingPageIsReplacedOnlyWithYes) {
  ASSERT_EQ(build({}).status, 0);
  writeFile(c() / "album" / "index.htm", "kept");

  // The user who typed a host path hears of host paths; one who typed drive paths, of drive
  // paths.
  CommandRun no = build({});
  EXPECT_EQ(no.status, 1);
  EXPECT_EQ(no.err, "vortena: Elenco  " + c().string() +
                        "/album/index.htm  gia' esistente, continuo (S/N) -> no\n");
  no = command({"build", "C:\\foto", "c:\\album\\index.htm"});
  EXPECT_EQ(no.err,
            "vortena: Elenco  c:\\album\\index.htm  gia' esistente, continuo (S/N) -> no\n");
  EXPECT_EQ(readFile(c() / "album" / "index.htm"), "kept");

  CommandRun yes = build({"--yes"});
  EXPECT_EQ(yes.status, 0) << yes.err;
  EXPECT_EQ(yes.err, "");
  EXPECT_NE(readFile(c() / "album" / "index.htm"), "kept");
}

TEST_F(CommandLineTest, OpenHandsTheBuiltPageToTheOpener) {
  struct Recorder : Launcher {
    explicit Recorder(std::vector<std::string>& seen) : seen_(seen) {}
    bool open(const PageLaunch& launch) override {
      seen_.push_back(launch.page + " | " + launch.commandLine);
      return true;
    }
    std::vector<std::string>& seen_;
  };
  std::vector<std::string> seen;
  CommandLineSetup s = setup();
  s.opener = [&seen](WindowsFileSystem&) { return std::make_unique<Recorder>(seen); };

  const QStringList args{"build", "C:\\foto", "C:\\album\\index.htm"};
  EXPECT_EQ(command(args, s).status, 0);
  EXPECT_TRUE(seen.empty());  // no --open: the view question is answered no
  CommandRun r = command(QStringList(args) << "--open"
                                           << "--yes",
                         s);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(seen, std::vector<std::string>{"index.htm | START /max /w index.htm"});
}

TEST_F(CommandLineTest, ScanPrintsTheListOneEntryALine) {
  CommandRun r = command({"scan", QString::fromStdString((c() / "foto").string())});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "C:\\foto\\due.gif\nC:\\foto\\Uno.JPG\nC:\\foto\\mare\\Tre.jpg\n");
  EXPECT_EQ(r.err, "");  // nothing left out, nothing told
  r = command(
      {"scan", "--ext", "", "--drive", "F=" + QString::fromStdString(c().string()), "F:\\foto"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "<F:\\foto\\mare>\n");
  // Several extensions at once, separated by commas; a dot in any of them is refused.
  const QString foto = QString::fromStdString((c() / "foto").string());
  r = command({"scan", "--ext", "gif,jpg", foto});
  EXPECT_EQ(r.out, "C:\\foto\\due.gif\nC:\\foto\\Uno.JPG\nC:\\foto\\mare\\Tre.jpg\n");
  EXPECT_EQ(command({"scan", "--ext", "gif", foto}).out, "C:\\foto\\due.gif\n");
  r = command({"scan", "--ext", "gif,.jpg", foto});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vortena: Indicare solo l'estensione dei files da cercare !!!\n");
}

TEST_F(CommandLineTest, WhatTheScanLeavesOutIsOneWarningAndNoFailure) {
  const QString foto = QString::fromStdString((c() / "foto").string());
  const CommandRun clean = command({"scan", foto});
  for (const char* name : {"back\\1.jpg", "back\\2.jpg", "back\\3.jpg", "x\\y/in.jpg"})
    writeFile(c() / "foto" / name, "x");
  // Told in host paths, as the folder was given; a backslash in a name stays as it is.
  const std::string f = c().string() + "/foto/";
  const std::string warning = "vortena: warning: 4 files or folders left out of the list: " + f +
                              "back\\1.jpg (name holds a backslash); " + f +
                              "back\\2.jpg (name holds a backslash); " + f +
                              "back\\3.jpg (name holds a backslash); and 1 more\n";
  const CommandRun scan = command({"scan", foto});
  EXPECT_EQ(scan.out, clean.out);
  for (const CommandRun& r : {scan, build({})}) {
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, warning);
  }
}

TEST(HostPathsInTest, DrivePathsOfMappedDrivesBecomeHostPathsToTheEndOfTheirLine) {
  DriveTable drives;
  drives.set('C', "/home/me");
  drives.set('Z', "/");
  const struct {
    std::string text, told;
  } rows[] = {
      {"Elenco  c:\\trip 3\\index.htm  gia' esistente",
       "Elenco  /home/me/trip 3/index.htm  gia' esistente"},
      {"Copia C:\\a.jpg Z:\\srv\\dir_0001\\img_001.jpg",
       "Copia /home/me/a.jpg /srv/dir_0001/img_001.jpg"},
      // An unmapped drive, a letter inside a word and a line break end the translation.
      {"D:\\x ABC:\\y", "D:\\x ABC:\\y"},
      {"C:\\x\\y\r\rnot\\a path", "/home/me/x/y\r\rnot\\a path"},
  };
  for (const auto& row : rows) EXPECT_EQ(hostPathsIn(row.text, drives), row.told) << row.text;
}

TEST_F(CommandLineTest, BadCommandLinesGiveStatusTwoAndTheUsageLine) {
  struct Case {
    QStringList args;
    std::string firstLine;
  };
  const Case cases[] = {
      {{"build", "--frobnicate", "a", "b"}, "vortena: Unknown option 'frobnicate'."},
      {{"build", "C:\\foto"}, "vortena: missing SOURCE_FOLDER or PAGE"},
      {{"build", "a", "b", "c"}, "vortena: too many arguments"},
      {{"build", "--drive", "CC=/x", "a", "b"}, "vortena: --drive needs L=DIR, not 'CC=/x'"},
      {{"build", "--per-row"}, "vortena: Missing value after '--per-row'."},
      {{"scan"}, "vortena: missing SOURCE_FOLDER"},
      {{"build", "--web-size", "0", "a", "b"},
       "vortena: --web-size needs a number of pixels above 0, not '0'"},
      {{"build", "--web-size", "-800", "a", "b"},
       "vortena: --web-size needs a number of pixels above 0, not '-800'"},
      {{"build", "--web-size", "1.5k", "a", "b"},
       "vortena: --web-size needs a number of pixels above 0, not '1.5k'"},
      {{"build", "--web-size", "800", "--thumbs", "", "a", "b"},
       "vortena: --thumbs needs a number of pixels above 0, not ''"},
      {{"build", "--thumbs", "100", "a", "b"},
       "vortena: --thumbs is for web mode: give --web-size too"},
      {{"build", "--keep-metadata", "a", "b"},
       "vortena: --keep-metadata is for web mode: give --web-size too"},
  };
  for (const Case& t : cases) {
    CommandRun r = command(t.args);
    EXPECT_EQ(r.status, 2) << t.firstLine;
    const std::string usage = "Usage: vortena " + t.args[0].toStdString() + " [OPTION]...";
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), t.firstLine);
    EXPECT_NE(r.err.find("\n" + usage), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(treeOf(c() / "album").empty());
}

// Every form answers --help and --version on standard output with status 0, before any check
// of the rest of the line.
TEST_F(CommandLineTest, EveryFormAnswersHelpAndVersion) {
  for (const char* form : {"", "build", "scan", "check"}) {
    for (const char* option : {"--help", "-h", "--version"}) {
      QStringList args{QStringLiteral("vortena")};
      if (*form) args << form;
      args << option;
      std::ostringstream out, err;
      int status;
      if (*form) {
        status = runCommand(args, out, err, setup());
      } else {
        WindowForm parsed;
        status = parseWindowForm(args, setup().options, out, err, parsed).value_or(-1);
      }
      SCOPED_TRACE(std::string(form) + " " + option);
      EXPECT_EQ(status, 0);
      EXPECT_EQ(err.str(), "");
      if (std::string(option) == "--version") {
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "vortena " VORTENA_VERSION);
      } else {
        EXPECT_EQ(out.str().rfind("Usage: vortena " + std::string(form), 0), 0u) << out.str();
        EXPECT_NE(out.str().find("--drive L=DIR"), std::string::npos);
        EXPECT_NE(out.str().find("Exit status:"), std::string::npos);
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
      }
    }
  }
}

TEST_F(CommandLineTest, WindowFormReadsTheScriptOptions) {
  WindowForm form;
  std::ostringstream out, err;
  auto status = parseWindowForm({"vortena", "--script", "-", "--screen-width", "640", "--drive",
                                 "D=/media/usb", "--program-dir", "/opt/v/"},
                                setup().options, out, err, form);
  EXPECT_FALSE(status.has_value()) << err.str();
  EXPECT_EQ(form.script, "-");
  EXPECT_EQ(form.options.screenWidth, 640);
  EXPECT_EQ(form.options.drives.hostFolder('D'), "/media/usb");
  EXPECT_EQ(form.options.programFolder, "/opt/v");

  for (QStringList bad : {QStringList{"vortena", "--screen-width", "0"},
                          QStringList{"vortena", "stray"}, QStringList{"vortena", "--script"}}) {
    std::ostringstream badErr;
    EXPECT_EQ(parseWindowForm(bad, setup().options, out, badErr, form), 2)
        << bad.join(' ').toStdString();
    EXPECT_NE(badErr.str().find("Try 'vortena --help'"), std::string::npos);
  }
}

TEST(ProgressLineTest, ShowsBarCountsAndTimeLeft) {
  struct Case {
    long done, total;
    double elapsed;
    const char* line;
  };
  const Case cases[] = {
      {0, 10, 0, "[--------------------] 0/10"},
      {5, 10, 7, "[##########----------] 5/10 0:07 left"},
      {1, 40, 2.5, "[--------------------] 1/40 1:38 left"},
      {40, 40, 90, "[####################] 40/40 0:00 left"},
      {17, 0, 3, "17 found"},
  };
  for (const Case& t : cases) EXPECT_EQ(progressLine(t.done, t.total, t.elapsed), t.line);
}

}  // namespace
}  // namespace vortena
