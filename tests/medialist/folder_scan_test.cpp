#include "medialist/folder_scan.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "medialist/scan_tree.h"
#include "support/faulty_fs.h"
#include "core/text.h"
#include "support/test_names.h"

namespace vortena {
namespace {

using testing::AlbumFixture;
using testing::listItems;
using testing::makeFiles;
using Items = std::vector<std::string>;

// The window's list as the scan's results.
class ListResults : public ScanResults {
 public:
  explicit ListResults(ListBox& list) : list_(list) {}
  void add(std::string entry) override { list_.addItem(std::move(entry)); }
  long count() const override { return list_.count(); }

 private:
  ListBox& list_;
};

// Scans `start` for the extension `filter` into the window's list and returns the list.
Items scan(AlbumFixture& fx, const std::string& filter, const std::string& start) {
  const Session& session = fx.session();
  ListResults results(*session.form.mediaListBox);
  fx.window().scan().scanFolder(
      {start, {filter}}, {*session.services.fs, *session.services.ui, session.services.programFolder},
      results);
  return listItems(fx);
}

// Three levels; the first subfolder has more subfolders than the start folder, and every
// level has files of its own.
void makeThreeLevelTree(AlbumFixture& fx) {
  makeFiles(fx.driveC() / "t", {"a.jpg", "b.jpg", "x/c.jpg", "x/p/d.jpg", "x/q/e.jpg", "x/r/f.jpg",
                                "x/r/deep/g.jpg", "y/h.jpg", "y/s/i.jpg"});
}

TEST(FolderScan, WalksDepthFirstWithEachFolderFilesBeforeItsSubfolders) {
  AlbumFixture fx;
  makeThreeLevelTree(fx);
  EXPECT_EQ(scan(fx, "jpg", "C:\\t"),
            (Items{"C:\\t\\a.jpg", "C:\\t\\b.jpg", "C:\\t\\x\\c.jpg", "C:\\t\\x\\p\\d.jpg",
                   "C:\\t\\x\\q\\e.jpg", "C:\\t\\x\\r\\f.jpg", "C:\\t\\x\\r\\deep\\g.jpg",
                   "C:\\t\\y\\h.jpg", "C:\\t\\y\\s\\i.jpg"}));
  EXPECT_EQ(fx.window().scan().depth(), 0);
}

TEST(FolderScan, FolderModeListsEveryFolderBelowTheStartParentsFirst) {
  AlbumFixture fx;
  makeThreeLevelTree(fx);
  EXPECT_EQ(scan(fx, "  ", "C:\\t\\"),
            (Items{"<C:\\t\\x>", "<C:\\t\\x\\p>", "<C:\\t\\x\\q>", "<C:\\t\\x\\r>",
                   "<C:\\t\\x\\r\\deep>", "<C:\\t\\y>", "<C:\\t\\y\\s>"}));
}

TEST(FolderScan, EntriesKeepTheStartFolderAsTypedAndTheNamesAsOnDisk) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "Foto", {"Mare.JPG"});
  EXPECT_EQ(scan(fx, "jpg", "c:\\foto\\"), Items{"c:\\foto\\Mare.JPG"});
}

// One folder full of awkward names, scanned with each kind of extension box.
struct ModeCase {
  std::string filter;
  Items expected;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << testing::quotedText(c.filter); }

class ScanModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ScanModes, ListsExactlyTheMatchingNames) {
  AlbumFixture fx;
  makeFiles(
      fx.driveC() / "m",
      {"a.jpg", "b.JPG",   "c.Jpg", "d.bmp",       "e.tif",         "f.gif",     "foto.2004.jpg",
       "g.wmf", "h.jpeg",  "i.png", "j.mp3",       "k.MP3",         "l.tiff",    "noext",
       "jpg",   "x. jpg ", ".jpg",  ".hidden.jpg", ".secret/s.jpg", "sub/z.Mp3", "sub/z.Wmf",
       "2023.05.12 beach.jpg", "photo.edited.JPG", "IMG_1234.JPG.jpg", "song.jpg.mp3",
       "trail.jpg."});
  std::filesystem::create_directories(fx.driveC() / "m" / "empty");
  EXPECT_EQ(scan(fx, GetParam().filter, "C:\\m"), GetParam().expected);
  EXPECT_TRUE(fx.window().scan().leftOut().empty());  // hidden names are left out on purpose
}

INSTANTIATE_TEST_SUITE_P(
    ExtensionBox, ScanModes,
    ::testing::Values(
        // The extension begins after the last dot, so dates and edits in a name do not hide it.
        ModeCase{"jpg",
                 {"C:\\m\\2023.05.12 beach.jpg", "C:\\m\\a.jpg", "C:\\m\\b.JPG", "C:\\m\\c.Jpg",
                  "C:\\m\\foto.2004.jpg", "C:\\m\\IMG_1234.JPG.jpg", "C:\\m\\photo.edited.JPG",
                  "C:\\m\\x. jpg "}},
        ModeCase{" Mp3 ",
                 {"C:\\m\\j.mp3", "C:\\m\\k.MP3", "C:\\m\\song.jpg.mp3", "C:\\m\\sub\\z.Mp3"}},
        // The known picture types in any case; not JPEG, TIFF, PNG or MP3.
        ModeCase{"*",
                 {"C:\\m\\2023.05.12 beach.jpg", "C:\\m\\a.jpg", "C:\\m\\b.JPG", "C:\\m\\c.Jpg",
                  "C:\\m\\d.bmp", "C:\\m\\e.tif", "C:\\m\\f.gif", "C:\\m\\foto.2004.jpg",
                  "C:\\m\\g.wmf", "C:\\m\\IMG_1234.JPG.jpg", "C:\\m\\photo.edited.JPG",
                  "C:\\m\\x. jpg ", "C:\\m\\sub\\z.Wmf"}},
        ModeCase{"2004.jpg", {}}, ModeCase{"doc", {}},
        ModeCase{"", {"<C:\\m\\empty>", "<C:\\m\\sub>"}}),
    testing::ReadableName());

TEST(FolderScan, ListsAllOfSixHundredFilesInOneFolder) {
  AlbumFixture fx;
  Items expected;
  for (int i = 0; i < 600; ++i) {
    std::string name = "f" + zeroPad(i, 3) + ".jpg";
    testing::writeFile(fx.driveC() / "many" / name, "x");
    expected.push_back("C:\\many\\" + name);
  }
  EXPECT_EQ(scan(fx, "jpg", "C:\\many"), expected);
}

TEST(FolderScan, EntersAllOfSixHundredSubfolders) {
  AlbumFixture fx;
  Items files, folders;
  for (int i = 0; i < 600; ++i) {
    std::string name = "d" + zeroPad(i, 3);
    testing::writeFile(fx.driveC() / "many" / name / "a.jpg", "x");
    files.push_back("C:\\many\\" + name + "\\a.jpg");
    folders.push_back("<C:\\many\\" + name + ">");
  }
  EXPECT_EQ(scan(fx, "jpg", "C:\\many"), files);
  fx.form().form().mediaListBox->clear();
  EXPECT_EQ(scan(fx, "", "C:\\many"), folders);
}

class DeepTree : public ::testing::Test {
 protected:
  // Folders l1 to l55 nested under C:\deep (level 0), each with a picture.
  void SetUp() override {
    std::filesystem::path folder = fx.driveC() / "deep";
    std::string path = "C:\\deep";
    for (int level = 0; level <= 55; ++level) {
      if (level > 0) {
        folder /= "l" + std::to_string(level);
        path += "\\l" + std::to_string(level);
      }
      testing::writeFile(folder / "p.jpg", "x");
      pictures.push_back(path + "\\p.jpg");
      if (level > 0) folders.push_back("<" + path + ">");
    }
  }
  AlbumFixture fx;
  Items pictures;  // level n at index n
  Items folders;   // level n at index n - 1
};

TEST_F(DeepTree, ListsLevelsDownToFiftyOnly) {
  EXPECT_EQ(scan(fx, "*", "C:\\deep"), Items(pictures.begin(), pictures.begin() + 51));
  EXPECT_EQ(fx.window().scan().depth(), 0);
}

TEST_F(DeepTree, FolderModeGivesLevelFiftyOneItsEntryButGoesNoDeeper) {
  EXPECT_EQ(scan(fx, "", "C:\\deep"), Items(folders.begin(), folders.begin() + 51));
}

TEST(FolderScan, DoesNotFollowALinkBackUpTheTree) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "t", {"a.jpg", "sub/b.jpg", "other/c.jpg"});
  std::filesystem::create_directory_symlink(fx.driveC() / "t", fx.driveC() / "t/sub/loop");
  // A link to a folder beside the path is no loop and is followed.
  std::filesystem::create_directory_symlink(fx.driveC() / "t/other", fx.driveC() / "t/sub/side");
  EXPECT_EQ(scan(fx, "jpg", "C:\\t"), (Items{"C:\\t\\a.jpg", "C:\\t\\other\\c.jpg",
                                             "C:\\t\\sub\\b.jpg", "C:\\t\\sub\\side\\c.jpg"}));
  fx.form().form().mediaListBox->clear();
  EXPECT_EQ(scan(fx, "", "C:\\t"),
            (Items{"<C:\\t\\other>", "<C:\\t\\sub>", "<C:\\t\\sub\\loop>", "<C:\\t\\sub\\side>"}));
  EXPECT_EQ(fx.window().scan().depth(), 0);
  EXPECT_TRUE(fx.window().scan().leftOut().empty());  // the loop is not entered on purpose
}

TEST(FolderScan, AFolderThatCannotBeListedGivesNoEntriesAndIsLeftOutUnlessItIsNotThere) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "t", {"a.jpg", "bad/b.jpg", "good/c.jpg"});
  FaultyFileSystem faulty(fx.relativeFs());
  faulty.failOn(FsOperation::ListFolder, "C:\\t\\bad\\", kDeviceIoError);
  fx.session().services.fs = &faulty;
  EXPECT_EQ(scan(fx, "jpg", "C:\\t"), (Items{"C:\\t\\a.jpg", "C:\\t\\good\\c.jpg"}));
  EXPECT_EQ(fx.window().scan().leftOut().size(), 1u);
  fx.form().form().mediaListBox->clear();
  EXPECT_EQ(scan(fx, "jpg", "C:\\nowhere"), Items{});
  EXPECT_EQ(scan(fx, "jpg", "Q:\\unmapped"), Items{});
  EXPECT_TRUE(fx.window().scan().leftOut().empty());
  EXPECT_EQ(fx.transcript(), "");  // the scan alone tells nothing: its command does
}

// A tree under C:\t from which the scan cannot list everything. `make` makes it (and may make
// the disk fail) and returns the message that tells what was left out.
struct LeftOutCase {
  const char* name;
  std::function<std::string(AlbumFixture&, FaultyFileSystem&)> make;
};

void PrintTo(const LeftOutCase& c, std::ostream* os) { *os << c.name; }

class ScanLeavesOut : public ::testing::TestWithParam<LeftOutCase> {};

TEST_P(ScanLeavesOut, TellsWhatItLeftOutInOneMessageAfterTheLoad) {
  AlbumFixture fx;
  FaultyFileSystem faulty(fx.relativeFs());
  fx.session().services.fs = &faulty;
  const std::filesystem::path cwd = std::filesystem::current_path();
  const std::string message = GetParam().make(fx, faulty);  // may change the working folder
  fx.takeTranscript();
  fx.form().form().searchFolderBox->setText("C:\\t");
  EXPECT_TRUE(fx.window().click("cmdCONFERMA_Tutti"));
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\nbeep\npointer default\nmessage " + quoteText(message) + "\n");
  // Removed by a path relative to C:, as its host paths may pass the limit.
  std::filesystem::current_path(fx.driveC());
  std::filesystem::remove_all("t");
  std::filesystem::current_path(cwd);
}

const std::string kHeading = "Esclusi dall'elenco ";

INSTANTIATE_TEST_SUITE_P(
    EachKind, ScanLeavesOut,
    ::testing::Values(
        // Level 51 is told once, for all below it.
        LeftOutCase{"TooDeep",
                    [](AlbumFixture& fx, FaultyFileSystem&) {
                      std::string folder = "t", level51 = "C:\\t";
                      for (int level = 1; level <= 53; ++level) {
                        folder += "/l" + std::to_string(level);
                        if (level <= 51) level51 += "\\l" + std::to_string(level);
                        makeFiles(fx.driveC() / folder, {"p.jpg"});
                      }
                      return kHeading + "1 file o cartelle:\r\n" + level51 +
                             " (oltre 50 livelli di cartelle)";
                    }},
        // A folder counts for all it holds, a file only when the box would list it; ten are
        // written out.
        LeftOutCase{"NamesWithABackslash",
                    [](AlbumFixture& fx, FaultyFileSystem&) {
                      makeFiles(fx.driveC() / "t",
                                {"a.jpg", "back\\song.mp3", ".hid\\den.jpg", "x\\y/in.jpg"});
                      std::string message = kHeading + "12 file o cartelle:";
                      for (char c = 'a'; c <= 'k'; ++c) {
                        const std::string name = std::string("p\\") + c + ".jpg";
                        makeFiles(fx.driveC() / "t", {name});
                        if (c <= 'j')
                          message +=
                              "\r\nC:\\t\\" + name + " (nome con \\ non utilizzabile in un album)";
                      }
                      return message + "\r\n... e altri 2";  // p\k.jpg and the folder x\y
                    }},
        // Host paths one byte short of the limit are listed; a file and a folder that reach it
        // are told. The folders are made one relative step at a time, as no call takes more.
        LeftOutCase{"PathTooLong",
                    [](AlbumFixture& fx, FaultyFileSystem&) {
                      constexpr size_t kFolder = PATH_MAX - 200;  // the last folder's host path
                      std::filesystem::current_path(fx.driveC());
                      std::string drivePath = "C:\\t", name = "t";
                      for (size_t length = (fx.driveC() / "t").string().size();;) {
                        std::filesystem::create_directory(name);
                        std::filesystem::current_path(name);
                        if (length == kFolder) break;
                        name.assign(kFolder - length > 250 ? 200 : kFolder - length - 1, 'd');
                        drivePath += "\\" + name;
                        length += 1 + name.size();
                      }
                      const std::string tooLong = std::string(195, 'L') + ".jpg", folder(200, 'e');
                      // A name of 198 bytes makes a host path of PATH_MAX - 1.
                      makeFiles(".", {std::string(194, 'M') + ".jpg", tooLong});
                      std::filesystem::create_directory(folder);
                      return kHeading + "2 file o cartelle:\r\n" + drivePath + "\\" + folder +
                             " (percorso troppo lungo)\r\n" + drivePath + "\\" + tooLong +
                             " (percorso troppo lungo)";
                    }},
        // The disk refuses the listing, as for a folder the user may not read (root reads any).
        LeftOutCase{"UnreadableFolder",
                    [](AlbumFixture& fx, FaultyFileSystem& faulty) {
                      makeFiles(fx.driveC() / "t", {"a.jpg", "locked/b.jpg", "locked/in/c.jpg"});
                      faulty.failOn(FsOperation::ListFolder, "C:\\t\\locked\\", kPathFileAccess);
                      return kHeading +
                             "1 file o cartelle:\r\nC:\\t\\locked (cartella non leggibile)";
                    }}),
    testing::ReadableName());

// A window whose event processing runs a chosen action, as a user acting during a scan.
class BusyUser : public Ui {
 public:
  std::function<void()> onEvents;
  void beep() override {}
  void message(const std::string&) override {}
  bool question(const std::string&) override { return false; }
  void setPointer(Pointer) override {}
  void processEvents() override { onEvents(); }
  int screenWidth() const override { return 1024; }
  void endProgram() override {}
};

TEST(FolderScan, YieldsToTheWindowAfterEveryEntry) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "t", {"a.jpg", "b.jpg", "s/c.jpg", "s/d.jpg"});
  BusyUser user;
  std::vector<int> countsSeen;
  user.onEvents = [&] { countsSeen.push_back(fx.form().form().mediaListBox->count()); };
  fx.session().services.ui = &user;
  scan(fx, "jpg", "C:\\t");
  ASSERT_GE(countsSeen.size(), 4u);
  EXPECT_EQ(std::vector<int>(countsSeen.begin(), countsSeen.begin() + 4),
            (std::vector<int>{1, 2, 3, 4}));
}

// The load reads the folder and the extension once, as it starts: their boxes cannot be edited
// while it runs, and a change made to them meanwhile does not turn the load half-way.
TEST(FolderScan, TheLoadReadsItsBoxesOnceAndLocksThemWhileItRuns) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "t", {"a.jpg", "b.gif", "c.jpg", "d.gif", "s/e.gif"});
  const Form& form = fx.form().form();
  BusyUser user;
  bool locked = true;
  user.onEvents = [&] {
    locked = locked && !form.extensionBox->enabled() && !form.searchFolderBox->enabled();
    form.extensionBox->setText("gif");
  };
  fx.session().services.ui = &user;
  form.searchFolderBox->setText("C:\\t");
  form.extensionBox->setText("jpg");
  ASSERT_TRUE(fx.window().click("cmdCONFERMA"));
  EXPECT_EQ(listItems(fx), (Items{"C:\\t\\a.jpg", "C:\\t\\c.jpg"}));
  EXPECT_TRUE(locked);
  EXPECT_TRUE(form.extensionBox->enabled() && form.searchFolderBox->enabled());
}

TEST(FolderScan, GoesOnAppendingToAListClearedDuringTheScan) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "t", {"a.jpg", "b.jpg", "c.jpg"});
  BusyUser user;
  user.onEvents = [&] {
    ListBox& list = *fx.form().form().mediaListBox;
    if (list.count() == 2) list.clear();
  };
  fx.session().services.ui = &user;
  EXPECT_EQ(scan(fx, "jpg", "C:\\t"), Items{"C:\\t\\c.jpg"});
}


// Load, build, load again in the same folder: what the build wrote there (entry folders, site
// files, pages) is not taken for media, so the second list is the first. The user's own files
// that merely look like the build's are kept: a photo named like a site file, a folder with a
// menu.htm of its own, a page of their own.
struct ReloadCase {
  const char* build;   // Command1: one page, Command4: numbered pages
  const char* option;  // Option1: upper case, Option2: lower case
};

void PrintTo(const ReloadCase& c, std::ostream* os) { *os << c.build << "_" << c.option; }

class ScanAfterBuild : public ::testing::TestWithParam<ReloadCase> {};

TEST_P(ScanAfterBuild, ListsTheSameEntriesAsBeforeTheBuild) {
  AlbumFixture fx;
  const std::filesystem::path foto = fx.driveC() / "foto";
  makeFiles(foto, {"p1.jpg", "p2.jpg", "p3.gif", "pulsante.jpg", "sub/q1.jpg", "sub/q2.bmp",
                   "mine/a.jpg", "note.htm"});
  testing::writeFile(foto / "mine" / "menu.htm", "<html><head><title>mine</title></head></html>");
  // A copy of a site file the user keeps beside the photos is the build's own output too.
  std::filesystem::copy_file(std::filesystem::path(VORTENA_SOURCE_DIR) / "resources" / "diaposit.jpg",
                             foto / "diaposit.jpg");
  const Form& form = fx.form().form();
  const auto loadAll = [&] {
    form.mediaListBox->clear();
    for (const char* filter : {"*", "htm", ""}) scan(fx, filter, "C:\\foto");
    Items items = listItems(fx);
    for (std::string& item : items) item = toUpper(item);  // the build may respell a name's case
    return items;
  };
  const Items before = loadAll();
  EXPECT_EQ(before, (Items{"C:\\FOTO\\P1.JPG", "C:\\FOTO\\P2.JPG", "C:\\FOTO\\P3.GIF",
                           "C:\\FOTO\\PULSANTE.JPG", "C:\\FOTO\\MINE\\A.JPG",
                           "C:\\FOTO\\SUB\\Q1.JPG", "C:\\FOTO\\SUB\\Q2.BMP",
                           "C:\\FOTO\\NOTE.HTM", "C:\\FOTO\\MINE\\MENU.HTM",
                           "<C:\\FOTO\\MINE>", "<C:\\FOTO\\SUB>"}));

  form.mediaListBox->clear();
  form.searchFolderBox->setText("C:\\foto");
  ASSERT_TRUE(fx.window().click("cmdCONFERMA_Tutti"));
  form.extensionBox->setText("htm");
  ASSERT_TRUE(fx.window().click("cmdCONFERMA"));
  form.pagePathBox->setText("C:\\foto\\index.htm");
  form.entriesPerFolderBox->setText("2");
  (std::string(GetParam().option) == "Option1" ? form.upperCaseOption : form.lowerCaseOption)->select();
  fx.user().queueAnswer(false);  // no view of the page at the end
  ASSERT_TRUE(fx.window().click(GetParam().build));
  ASSERT_TRUE(std::filesystem::exists(foto / (GetParam().option == std::string("Option1")
                                                   ? "DIR_0001/MENU.HTM"
                                                   : "dir_0001/menu.htm")));

  EXPECT_EQ(loadAll(), before);
  EXPECT_TRUE(fx.window().scan().leftOut().empty());  // what a build wrote is left out on purpose
}

INSTANTIATE_TEST_SUITE_P(BothBuildsBothCases, ScanAfterBuild,
                         ::testing::Values(ReloadCase{"Command1", "Option1"},
                                           ReloadCase{"Command1", "Option2"},
                                           ReloadCase{"Command4", "Option1"},
                                           ReloadCase{"Command4", "Option2"}),
                         testing::ReadableName());

}  // namespace
}  // namespace vortena
