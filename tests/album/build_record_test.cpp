// Rebuilds over the build record: whatever changed between two builds (or during one), the
// rebuild leaves exactly the album a first build in an empty folder gives, and a rebuild of an
// unchanged album writes nothing in its entry folders.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

#include "pagewriter/build_record.h"
#include "support/album_fixture.h"
#include "support/faulty_fs.h"
#include "support/loop_mount.h"
#include "support/program_folder.h"
#include "support/run_script.h"

namespace vortena::testing {
namespace {

namespace fs = std::filesystem;

class BuildRecordTest : public ::testing::Test {
 protected:
  BuildRecordTest() : faulty(fx.relativeFs()), hookUi(fx.user()) {
    writeProgramFolder(program.path());
    fx.session().services.ui = &hookUi;
    // Five pictures of one size and one modification time, as a card's pictures copied with
    // times of whole seconds may be: only which file each is tells them apart.
    const auto time = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      const fs::path picture = c() / "foto" / (std::string(name) + ".jpg");
      writeFile(picture, std::string("picture ") + name);
      fs::last_write_time(picture, time);
    }
    fs::create_directories(c() / "album");
    fs::create_directories(c() / "fresh");
  }
  fs::path c() const { return fx.driveC(); }
  const Form& form() { return fx.form().form(); }

  // Lists C:\foto and builds into `folder`, two pictures an entry folder (`button`: Command1
  // builds one page, Command4 numbered pages of two and an index). A page already there is
  // replaced; the page is not viewed.
  void build(const std::string& folder, const char* button = "Command1") {
    form().mediaListBox->clear();
    form().searchFolderBox->setText("C:\\foto");
    form().pagePathBox->setText("C:\\" + folder + "\\index.htm");
    ASSERT_TRUE(fx.window().click("cmdCONFERMA"));
    form().entriesPerFolderBox->setText("2");
    if (fs::exists(c() / folder / "index.htm")) fx.user().queueAnswer(true);
    fx.user().queueAnswer(false);
    ASSERT_TRUE(fx.window().click(button));
  }
  // A build, and a second one after the file system's clock ticked on: the folders of the
  // first one are then settled, and the second records them all.
  void buildRecorded(const std::string& folder, const char* button = "Command1") {
    build(folder, button);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    build(folder, button);
    EXPECT_TRUE(fs::exists(c() / folder / kBuildRecordName));
  }
  // The album below C:\`folder`, the record left out (its bytes are this disk's stamps).
  std::map<std::string, std::string> album(const std::string& folder) {
    auto files = filesBelow(c() / folder);
    files.erase(std::string(kBuildRecordName));
    return files;
  }

  TempFolder program;
  AlbumFixture fx{program.path()};
  FaultyFileSystem faulty;
  EventHookUi hookUi;
};

// Every file's identity and modification time below `root`: a file written again, even with
// the same bytes, gets another.
std::map<std::string, std::pair<ino_t, std::int64_t>> stampsBelow(const fs::path& root) {
  std::map<std::string, std::pair<ino_t, std::int64_t>> stamps;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    struct stat st;
    if (::stat(e.path().c_str(), &st) == 0)
      stamps[fs::relative(e.path(), root).generic_string()] = {
          st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
  }
  return stamps;
}

// Keeps a file's modification time across a change of its bytes.
void withTimeKept(const fs::path& file, const std::function<void()>& change) {
  const auto time = fs::last_write_time(file);
  change();
  fs::last_write_time(file, time);
}

struct Change {
  const char* name;
  const char* button;
  std::function<void(const fs::path& c, const fs::path& program)> apply;
};
void PrintTo(const Change& change, std::ostream* os) { *os << change.name; }

class RebuildChangeTest : public BuildRecordTest, public ::testing::WithParamInterface<Change> {};

// A build, a change, a rebuild in place: the album is the one a build into an empty folder
// gives, byte for byte, and no failure is told.
TEST_P(RebuildChangeTest, RebuildGivesTheAlbumOfAFirstBuild) {
  const Change& change = GetParam();
  buildRecorded("album", change.button);
  change.apply(c(), program.path());
  fx.takeTranscript();
  build("album", change.button);
  const std::string transcript = fx.takeTranscript();
  EXPECT_EQ(transcript.find("message"), std::string::npos) << transcript;
  build("fresh", change.button);
  EXPECT_EQ(album("album"), album("fresh"));
}

const fs::path kFolder1 = "album/dir_0001", kFolder2 = "album/dir_0002",
               kFolder3 = "album/dir_0003";

INSTANTIATE_TEST_SUITE_P(
    Changes, RebuildChangeTest,
    ::testing::Values(
        Change{"nothing", "Command1", [](const fs::path&, const fs::path&) {}},
        Change{"nothing_paged", "Command4", [](const fs::path&, const fs::path&) {}},
        // Another file of the same size under the name, given the old one's time.
        Change{"source_replaced_same_size_and_time", "Command1",
               [](const fs::path& c, const fs::path&) {
                 withTimeKept(c / "foto/b.jpg", [&] {
                   writeFile(c / "foto/new", "picture B");
                   fs::rename(c / "foto/new", c / "foto/b.jpg");
                 });
               }},
        Change{"source_rewritten_in_place_time_kept", "Command1",
               [](const fs::path& c, const fs::path&) {
                 withTimeKept(c / "foto/c.jpg", [&] { writeFile(c / "foto/c.jpg", "picture C"); });
               }},
        Change{"copy_removed", "Command1",
               [](const fs::path& c, const fs::path&) { fs::remove(c / kFolder2 / "img_001.jpg"); }},
        Change{"copy_left_by_another_build", "Command1",
               [](const fs::path& c, const fs::path&) {
                 writeFile(c / kFolder3 / "img_002.jpg", "stale");
               }},
        Change{"slideshow_removed", "Command1",
               [](const fs::path& c, const fs::path&) { fs::remove(c / kFolder1 / "menu.htm"); }},
        Change{"navigation_picture_removed", "Command1",
               [](const fs::path& c, const fs::path&) { fs::remove(c / kFolder2 / "puls_dx3.jpg"); }},
        // The last folder gains a picture and its slideshow page a link: the folder before
        // keeps its pages' inputs.
        Change{"entry_added", "Command1",
               [](const fs::path& c, const fs::path&) { writeFile(c / "foto/f.jpg", "picture f"); }},
        Change{"entry_added_paged", "Command4",
               [](const fs::path& c, const fs::path&) { writeFile(c / "foto/f.jpg", "picture f"); }},
        // The folder before the last one keeps its pictures and only links on elsewhere.
        Change{"last_entry_removed", "Command1",
               [](const fs::path& c, const fs::path&) { fs::remove(c / "foto/e.jpg"); }},
        Change{"entry_removed", "Command1",
               [](const fs::path& c, const fs::path&) { fs::remove(c / "foto/a.jpg"); }},
        // Fewer pages and folders: those past the new counts go with the photos in them.
        Change{"entries_removed_paged", "Command4",
               [](const fs::path& c, const fs::path&) {
                 fs::remove(c / "foto/d.jpg");
                 fs::remove(c / "foto/e.jpg");
               }},
        // The user asks for every copy to be checked: a copy edited in place, its size and
        // time kept, is made again.
        Change{"copy_edited_then_record_removed", "Command1",
               [](const fs::path& c, const fs::path&) {
                 withTimeKept(c / kFolder1 / "img_001.jpg",
                              [&] { writeFile(c / kFolder1 / "img_001.jpg", "edited  a"); });
                 fs::remove(c / "album" / kBuildRecordName);
               }},
        Change{"entry_renamed_to_another_type", "Command1",
               [](const fs::path& c, const fs::path&) {
                 fs::rename(c / "foto/d.jpg", c / "foto/d.gif");
               }},
        Change{"slideshow_template_changed", "Command1",
               [](const fs::path&, const fs::path& program) {
                 writeFile(program / "MENU.HTM", readFile(program / "MENU.HTM") + "<!-- v2 -->\n");
               }},
        Change{"navigation_picture_changed", "Command1",
               [](const fs::path&, const fs::path& program) {
                 writeFile(program / "puls_sx3.jpg", "another arrow");
               }},
        Change{"entry_folder_replaced_by_a_copy", "Command1",
               [](const fs::path& c, const fs::path&) {
                 fs::copy(c / kFolder1, c / "album/copy");
                 writeFile(c / "album/copy/img_001.jpg", "edited");
                 fs::remove_all(c / kFolder1);
                 fs::rename(c / "album/copy", c / kFolder1);
               }},
        Change{"record_damaged", "Command1",
               [](const fs::path& c, const fs::path&) {
                 writeFile(c / "album" / kBuildRecordName,
                           "vortena build record 1\ndir_0001 x\ndir_0002 1 2 3\n\n");
                 fs::remove(c / kFolder2 / "img_002.jpg");
               }},
        // One digit of a line changed: the line is a miss, its folder looked at in full.
        Change{"record_line_changed", "Command1",
               [](const fs::path& c, const fs::path&) {
                 std::string record = readFile(c / "album" / kBuildRecordName);
                 const size_t line = record.find("F dir_0002 ");
                 ASSERT_NE(line, std::string::npos);
                 const size_t digit = record.find_first_of("0123456789", line + 11);
                 record[digit] = record[digit] == '1' ? '2' : '1';
                 writeFile(c / "album" / kBuildRecordName, record);
                 withTimeKept(c / "foto/c.jpg", [&] { writeFile(c / "foto/c.jpg", "picture C"); });
               }}),
    [](const auto& info) { return std::string(info.param.name); });

// An unchanged album: the rebuild does not even try to write in the entry folders (every copy,
// folder listing and page write there would fail), writes nothing there, and tells nothing.
TEST_F(BuildRecordTest, UnchangedRebuildLeavesTheEntryFoldersAlone) {
  for (const char* button : {"Command1", "Command4"}) {
    buildRecorded("album", button);
    auto before = stampsBelow(c() / "album");
    fx.session().services.fs = &faulty;
    for (FsOperation op : {FsOperation::Copy, FsOperation::RemoveFile})
      faulty.failOn(op, "", kDiskFull);
    for (const std::string folder :
         {"c:\\album\\dir_0001", "c:\\album\\dir_0002", "c:\\album\\dir_0003"}) {
      faulty.failOn(FsOperation::ListFolder, folder, kDiskFull);
      faulty.failOn(FsOperation::MakeFolder, folder, kDiskFull);
      faulty.failOn(FsOperation::OpenWrite, folder + "\\menu.htm", kDiskFull);
    }
    fx.takeTranscript();
    build("album", button);
    const std::string again = fx.takeTranscript();
    fx.session().services.fs = &fx.relativeFs();
    faulty.clearFaults();
    auto after = stampsBelow(c() / "album");
    // The pages beside the folders are compared and kept by the page writer on its own.
    for (auto* stamps : {&before, &after})
      std::erase_if(*stamps, [](const auto& item) { return item.first.find('/') == std::string::npos; });
    EXPECT_GT(before.size(), 3u * 7) << button;  // three folders or more, five pictures
    EXPECT_EQ(after, before) << button;
    EXPECT_EQ(again.find("message"), std::string::npos) << again;
  }
}

// A folder in which something failed is not recorded: the next build writes it again.
TEST_F(BuildRecordTest, FolderWithAFailedCopyIsWrittenAgainByTheNextBuild) {
  buildRecorded("album");
  writeFile(c() / "foto" / "b.jpg", "picture b, edited");
  fx.session().services.fs = &faulty;
  faulty.failOn(FsOperation::Copy, "c:\\album\\dir_0001\\img_002.jpg", kDeviceIoError);
  fx.takeTranscript();
  build("album");
  EXPECT_NE(fx.takeTranscript().find("Errore nella copia delle immagini"), std::string::npos);
  EXPECT_EQ(readFile(c() / kFolder1 / "img_002.jpg"), "picture b");
  fx.session().services.fs = &fx.relativeFs();
  build("album");
  EXPECT_EQ(readFile(c() / kFolder1 / "img_002.jpg"), "picture b, edited");
}

// Another program changes a folder after the build looked at the record and before it comes to
// that folder: the change is seen there.
TEST_F(BuildRecordTest, ChangeDuringTheBuildIsSeenWhenItsFolderComes) {
  buildRecorded("album");
  hookUi.onEvents = [this] { fs::remove(c() / kFolder3 / "img_001.jpg"); };
  build("album");
  EXPECT_EQ(readFile(c() / kFolder3 / "img_001.jpg"), "picture e");
}

// Entry folders and numbered pages past a rebuild's counts go, but only what the program made:
// a folder or page of the user's that looks like one stays, and so does a file of the user's
// in a folder of the program's, with its folder.
TEST_F(BuildRecordTest, OnlyTheProgramsLeftoversAreRemoved) {
  buildRecorded("album", "Command4");
  writeFile(c() / "album/dir_0009/my photo.jpg", "mine");
  writeFile(c() / "album/pag_9.htm", "<html>my page</html>");
  writeFile(c() / kFolder3 / "note.txt", "mine too");
  for (const char* photo : {"c.jpg", "d.jpg", "e.jpg"}) fs::remove(c() / "foto" / photo);
  build("album", "Command4");
  EXPECT_EQ(hostNames(c() / kFolder3), std::vector<std::string>{"note.txt"});
  EXPECT_EQ(readFile(c() / "album/dir_0009/my photo.jpg"), "mine");
  EXPECT_EQ(readFile(c() / "album/pag_9.htm"), "<html>my page</html>");
  EXPECT_FALSE(fs::exists(c() / "album/pag_2.htm"));
  for (const char* gone : {"dir_0004", "dir_0005"}) EXPECT_FALSE(fs::exists(c() / "album" / gone));
}

// On a disk that keeps whole seconds, a copy deleted in the very second its folder was
// completed leaves the folder's times as they were: the record must not have trusted them.
TEST_F(BuildRecordTest, CopyDeletedInTheSecondOfTheBuildIsMadeAgain) {
  LoopMount disk("mkfs.ext4 -q -I 128", 8);
  SKIP_UNLESS_MOUNTED(disk);
  for (const char* name : {"a", "b"}) writeFile(disk.path() / "foto" / (std::string(name) + ".jpg"), name);
  fs::create_directories(disk.path() / "album");
  const std::string script =
      "set txtPATH_RICERCA C:\\foto\nset txtNOME_FILE_HTM C:\\album\\index.htm\n"
      "click cmdCONFERMA_Tutti\nanswer yes\nclick Command1\n";
  const fs::path copy = disk.path() / "album/dir_0001/img_002.jpg";
  bool sameSecond = false;
  for (int attempt = 0; attempt < 3 && !sameSecond; ++attempt) {
    waitForTheStartOfASecond();
    runScriptText(script, disk.path(), program.path());
    struct stat folder;
    ASSERT_EQ(::stat(copy.parent_path().c_str(), &folder), 0);
    fs::remove(copy);
    sameSecond = std::time(nullptr) == folder.st_ctim.tv_sec;
  }
  EXPECT_TRUE(fs::exists(disk.path() / "album" / kBuildRecordName));
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const ScriptRun again = runScriptText(script, disk.path(), program.path());
  EXPECT_EQ(readFile(copy), "b") << again.transcript;
}

// A file of the user's under the record's name is neither read nor replaced.
TEST_F(BuildRecordTest, FileOfTheUsersUnderTheRecordsNameStays) {
  writeFile(c() / "album" / kBuildRecordName, "my notes\n");
  buildRecorded("album");
  fs::remove(c() / kFolder3 / "img_001.jpg");
  build("album");
  EXPECT_EQ(readFile(c() / "album" / kBuildRecordName), "my notes\n");
  EXPECT_EQ(readFile(c() / kFolder3 / "img_001.jpg"), "picture e");
}

}  // namespace
}  // namespace vortena::testing
