// The file-system layer with the user's files at stake: whole pages or the old ones on a real
// full disk, nothing written through a symbolic link, nothing opened that could block, renames
// that never replace, and no temporary file left behind when the process ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>

#include "fs/host/host_files.h"
#include "fs/windows/windows_fs.h"
#include "support/album_fixture.h"
#include "support/fs_results.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

using testing::hostNames;
using testing::takeInto;

ino_t inodeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

// Opens `path`, writes `lines` lines of `width` bytes and closes: the first failure's number.
FsStatus writePage(FileSystem& files, const std::string& path, int lines, size_t width) {
  std::unique_ptr<TextWriter> writer;
  FsStatus status = takeInto(files.openWrite(path), writer);
  for (int i = 0; i < lines && status.ok(); ++i) status = writer->writeLine(std::string(width, 'p'));
  if (!status.ok()) {
    // A failed line is reported again by the close, which removes the file.
    EXPECT_EQ(writer ? writer->close().number : status.number, status.number);
    return status;
  }
  return writer->close();
}

// Drive C: over a fresh folder (or the folder the fixture puts there), D: over another.
class FsSafetyTest : public ::testing::Test {
 protected:
  FsSafetyTest() {
    fs::create_directories(c());
    fs::create_directories(d());
  }
  WindowsFileSystem& files() {
    if (!files_) {
      DriveTable table;
      table.set('C', c().string());
      table.set('D', d().string());
      files_.emplace(table);
    }
    return *files_;
  }
  fs::path c() const { return temp_.path() / "c"; }
  fs::path d() const { return temp_.path() / "d"; }

  TempFolder temp_;
  std::optional<WindowsFileSystem> files_;
};

// ---------------------------------------------------------------------------------------------
// Whole files or old files.

TEST_F(FsSafetyTest, ThePageTakesItsNameOnlyAtCloseAndKeepsTheOldPermissions) {
  writeFile(c() / "index.htm", "old page\r\n");
  fs::permissions(c() / "index.htm", fs::perms::owner_read | fs::perms::owner_write |
                                         fs::perms::group_read);
  std::unique_ptr<TextWriter> writer;
  // A writer dropped without close writes nothing, also when its lines would fit on the disk.
  ASSERT_TRUE(takeInto(files().openWrite("C:\\index.htm"), writer).ok());
  ASSERT_TRUE(writer->writeLine("dropped").ok());
  writer.reset();
  EXPECT_EQ(readFile(c() / "index.htm"), "old page\r\n");
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"index.htm"});
  ASSERT_TRUE(takeInto(files().openWrite("C:\\index.htm"), writer).ok());
  ASSERT_TRUE(writer->writeLine(std::string(100000, 'n')).ok());  // past the writer's buffer
  // Written so far: under a hidden name, which listings skip; the page is still the old one.
  EXPECT_EQ(readFile(c() / "index.htm"), "old page\r\n");
  FolderListing listed;
  ASSERT_TRUE(takeInto(files().listFolder("C:\\"), listed).ok());
  ASSERT_EQ(listed.entries.size(), 1u);
  EXPECT_EQ(listed.entries[0].name, "index.htm");
  ASSERT_TRUE(writer->close().ok());
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"index.htm"});
  EXPECT_EQ(readFile(c() / "index.htm"), std::string(100000, 'n') + "\r\n");
  EXPECT_EQ(fs::status(c() / "index.htm").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A real full disk: a small tmpfs mounted over drive C:, filled up after the old page was put
// there. Every way of writing the page fails with 61 and leaves the old page and nothing else.
struct FullDiskCase {
  const char* name;
  std::function<FsStatus(FileSystem&)> run;
  int expected;
};

void PrintTo(const FullDiskCase& c, std::ostream* os) { *os << c.name; }

class FullDiskTest : public FsSafetyTest, public ::testing::WithParamInterface<FullDiskCase> {
 protected:
  void SetUp() override {
    if (::mount("tmpfs", c().c_str(), "tmpfs", 0, "size=256k") != 0)
      GTEST_SKIP() << "a tmpfs cannot be mounted here (" << std::strerror(errno)
                   << "); the full-disk cases need root or CAP_SYS_ADMIN";
    mounted_ = true;
    writeFile(c() / "index.htm", kOldPage);
    // Filled to the last block: any new data fails with ENOSPC.
    int fd = ::open((c() / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);
    writeFile(d() / "big.jpg", std::string(300000, 'j'));
  }
  void TearDown() override {
    if (mounted_) ::umount2(c().c_str(), MNT_DETACH);
  }

  static constexpr const char* kOldPage = "<html>the old page</html>\r\n";
  bool mounted_ = false;
};

TEST_P(FullDiskTest, ReportsTheNumberAndKeepsTheOldPage) {
  EXPECT_EQ(GetParam().run(files()).number, GetParam().expected);
  EXPECT_EQ(readFile(c() / "index.htm"), kOldPage);
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"filler", "index.htm"}));
}

INSTANTIATE_TEST_SUITE_P(
    Writes, FullDiskTest,
    ::testing::Values(
        // Smaller than the writer's buffer: nothing reaches the disk before the close.
        FullDiskCase{"SmallPageFailsAtClose",
                     [](FileSystem& f) { return writePage(f, "C:\\index.htm", 3, 40); }, kDiskFull},
        FullDiskCase{"BigPageFailsAtAWrite",
                     [](FileSystem& f) { return writePage(f, "C:\\INDEX.HTM", 2000, 100); },
                     kDiskFull},
        FullDiskCase{"CopyFails",
                     [](FileSystem& f) { return f.copyFile("D:\\big.jpg", "C:\\index.htm"); },
                     kDiskFull},
        FullDiskCase{"WriterDroppedWithoutClose",
                     [](FileSystem& f) {
                       std::unique_ptr<TextWriter> writer;
                       FsStatus status = takeInto(f.openWrite("C:\\index.htm"), writer);
                       if (status.ok()) status = writer->writeLine("never closed");
                       return status;
                     },
                     kFsOk}),
    [](const auto& info) { return std::string(info.param.name); });

// The last step fails: a folder took the page's name while the page was being written.
TEST_F(FsSafetyTest, AFailedRenameAtCloseLeavesNoTemporaryFile) {
  std::unique_ptr<TextWriter> writer;
  ASSERT_TRUE(takeInto(files().openWrite("C:\\index.htm"), writer).ok());
  ASSERT_TRUE(writer->writeLine("page").ok());
  writeFile(c() / "index.htm" / "inside", "user's");
  EXPECT_EQ(writer->close().number, kPathFileAccess);
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"index.htm"});
  EXPECT_EQ(readFile(c() / "index.htm" / "inside"), "user's");
}

// A name the user may not write is refused at open with 75, as before the pages were written
// under a temporary name: the write recovery moves the page elsewhere on that number. Root may
// write anything, so under root the calls run in a child process that has given up root.
TEST_F(FsSafetyTest, ReadOnlyFileAndFolderAreRefusedAtOpen) {
  writeFile(c() / "ro.htm", "kept");
  fs::permissions(c() / "ro.htm", fs::perms::owner_read | fs::perms::group_read |
                                      fs::perms::others_read);
  writeFile(c() / "button.jpg", "b");
  fs::create_directories(c() / "ro");
  fs::permissions(c() / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(temp_.path(), fs::perms::all);
  fs::permissions(c(), fs::perms::all);
  WindowsFileSystem& disk = files();
  auto numbers = [&disk] {
    return std::to_string(disk.openWrite("C:\\ro.htm").status().number) + " " +
           std::to_string(disk.copyFile("C:\\button.jpg", "C:\\RO.HTM").number) + " " +
           std::to_string(disk.openWrite("C:\\ro\\x.htm").status().number) + " " +
           std::to_string(disk.makeFolder("C:\\ro\\sub").number);
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(numbers(), "75 75 75 75");
  } else {
    EXPECT_EXIT(
        {
          const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
          std::fprintf(stderr, "%s", dropped ? numbers().c_str() : "root kept");
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^75 75 75 75$");
  }
  EXPECT_EQ(readFile(c() / "ro.htm"), "kept");
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"button.jpg", "ro", "ro.htm"}));
  EXPECT_TRUE(fs::is_empty(c() / "ro"));
}

// The end button during a build ends the process through std::exit with the page still open.
TEST_F(FsSafetyTest, AnOpenPageIsRemovedWhenTheProcessExits) {
  writeFile(c() / "index.htm", "old");
  WindowsFileSystem& disk = files();
  // The child ends with 0 only when the page was pending under a second name at the exit.
  EXPECT_EXIT(
      {
        std::unique_ptr<TextWriter> writer;
        const bool pending = takeInto(disk.openWrite("C:\\index.htm"), writer).ok() &&
                             writer->writeLine(std::string(100000, 'x')).ok() &&
                             hostNames(c()).size() == 2;
        std::exit(pending ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"index.htm"});
  EXPECT_EQ(readFile(c() / "index.htm"), "old");
}

// ---------------------------------------------------------------------------------------------
// Temporary files of a build killed outright.

enum class Writer { Ended, ThisProcess, RunsSinceBoot };

struct StaleCase {
  const char* name;
  const char* file;  // PID stands for the process id of `writer`
  Writer writer;
  bool lastChangedIn2001;  // before any process now running started
  bool removed;
};

void PrintTo(const StaleCase& c, std::ostream* os) { *os << c.name; }

class StaleTemporaryFileTest : public FsSafetyTest,
                               public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleTemporaryFileTest, OnlyTheFilesOfAnEndedProcessGo) {
  const StaleCase& row = GetParam();
  pid_t pid = row.writer == Writer::ThisProcess ? ::getpid() : 1;
  if (row.writer == Writer::Ended) {  // a child's id, once the child has ended
    pid = ::fork();
    if (pid == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
  }
  std::string name = row.file;
  if (const size_t at = name.find("PID"); at != std::string::npos)
    name.replace(at, 3, std::to_string(pid));
  const fs::path file = c() / "album" / name;
  fs::create_directories(c() / "album");
  writeFile(file, "half a page");
  const timespec in2001[2] = {{978307200, 0}, {978307200, 0}};
  if (row.lastChangedIn2001) {
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), in2001, 0), 0);
  }
  EXPECT_TRUE(files().removeStaleTemporaryFiles("C:\\album\\").ok());
  EXPECT_EQ(!fs::exists(file), row.removed) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, StaleTemporaryFileTest,
    ::testing::Values(
        StaleCase{"OfAnEndedProcess", ".vortena-PID-7-1f2e.tmp", Writer::Ended, false, true},
        StaleCase{"OfThisProcess", ".vortena-PID-7-1f2e.tmp", Writer::ThisProcess, true, false},
        StaleCase{"OfARunningProcess", ".vortena-PID-7-1f2e.tmp", Writer::RunsSinceBoot, false,
                  false},
        StaleCase{"OfAProcessIdGivenAgainSince", ".vortena-PID-7-1f2e.tmp", Writer::RunsSinceBoot,
                  true, true},
        StaleCase{"UsersWithoutAProcessId", ".vortena-notes.tmp", Writer::Ended, true, false},
        StaleCase{"UsersNotHidden", "vortena-PID-7-1f2e.tmp", Writer::Ended, true, false},
        StaleCase{"UsersOfAnotherType", ".vortena-PID-7-1f2e.tmp.bak", Writer::Ended, true, false},
        StaleCase{"UsersWithAnUpperCaseClock", ".vortena-PID-7-1F2E.tmp", Writer::Ended, true,
                  false},
        StaleCase{"AUsersFileOnItsWayToAnotherSpelling", ".vortena-PID-7-1f2e.ren", Writer::Ended,
                  true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// No link followed on write.

struct LinkCase {
  const char* name;
  const char* link;  // under C:\album, pointing to C:\outside\target
  std::function<FsStatus(FileSystem&)> run;
  const char* written;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class LinkTest : public FsSafetyTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkTest, TheLinkIsReplacedAndItsTargetKeepsItsBytes) {
  writeFile(c() / "outside" / "target", "the user's own file");
  writeFile(c() / "button.jpg", "button bytes");
  fs::create_directories(c() / "album");
  fs::create_symlink(c() / "outside" / "target", c() / "album" / GetParam().link);
  ASSERT_TRUE(GetParam().run(files()).ok());
  EXPECT_EQ(readFile(c() / "outside" / "target"), "the user's own file");
  EXPECT_EQ(hostNames(c() / "outside"), std::vector<std::string>{"target"});
  const fs::path written = c() / "album" / GetParam().link;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(written)));
  EXPECT_EQ(readFile(written), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, LinkTest,
    ::testing::Values(
        LinkCase{"Page", "index.htm",
                 [](FileSystem& f) { return writePage(f, "C:\\album\\index.htm", 1, 3); },
                 "ppp\r\n"},
        LinkCase{"CopiedSiteFile", "pulsante.jpg",
                 [](FileSystem& f) {
                   return f.copyFile("C:\\button.jpg", "C:\\album\\pulsante.jpg");
                 },
                 "button bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FsSafetyTest, MakeFolderReplacesALinkWithARealFolder) {
  fs::create_directories(c() / "outside");
  fs::create_directories(c() / "album");
  fs::create_directory_symlink(c() / "outside", c() / "album" / "dir_0001");
  ASSERT_TRUE(files().makeFolder("C:\\album\\dir_0001").ok());
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(c() / "album" / "dir_0001")));
  ASSERT_TRUE(writePage(files(), "C:\\album\\dir_0001\\menu.htm", 1, 1).ok());
  EXPECT_TRUE(fs::exists(c() / "album" / "dir_0001" / "menu.htm"));
  EXPECT_TRUE(fs::is_empty(c() / "outside"));
  // A real folder is still there already.
  EXPECT_EQ(files().makeFolder("C:\\album\\DIR_0001").number, kPathFileAccess);
  // Known for a folder the program made, it is not looked at again; replaced by a link since
  // (another program), it is: the link goes again.
  fs::remove_all(c() / "album" / "DIR_0001");
  fs::create_directory_symlink(c() / "outside", c() / "album" / "DIR_0001");
  ASSERT_TRUE(files().makeFolder("C:\\album\\dir_0001").ok());
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(c() / "album" / "dir_0001")));
  EXPECT_TRUE(fs::is_empty(c() / "outside"));
}

// ---------------------------------------------------------------------------------------------
// No special file opened, nothing blocks: a FIFO, a socket or a device named like a picture.

// Makes a special file at `path`; false when this host does not allow it.
using MakeSpecial = bool (*)(const fs::path& path);

bool makeFifo(const fs::path& path) { return ::mkfifo(path.c_str(), 0666) == 0; }

bool makeSocket(const fs::path& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.string().size() >= sizeof address.sun_path) return false;
  std::strcpy(address.sun_path, path.c_str());
  bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);  // the name stays on disk
  return made;
}

bool linkToDevice(const fs::path& path) {
  std::error_code error;
  fs::create_symlink("/dev/null", path, error);
  return !error;
}

// A device of its own (the full device's numbers), so that nothing of the system's is at stake.
bool makeDevice(const fs::path& path) {
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
}

struct SpecialCase {
  const char* name;
  MakeSpecial make;  // at C:\x.jpg
  std::function<FsStatus(FileSystem&)> run;
};

void PrintTo(const SpecialCase& c, std::ostream* os) { *os << c.name; }

class SpecialFileTest : public FsSafetyTest, public ::testing::WithParamInterface<SpecialCase> {};

TEST_P(SpecialFileTest, FailsAtOnceAndLeavesItAsItWas) {
  const fs::path special = c() / "x.jpg";
  if (!GetParam().make(special)) GTEST_SKIP() << "this host refuses to make " << GetParam().name;
  const auto kind = fs::symlink_status(special).type();
  writeFile(c() / "photo.jpg", "photo");
  WindowsFileSystem& disk = files();
  auto run = GetParam().run;
  auto call = std::async(std::launch::async, [run, &disk] { return run(disk); });
  if (call.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "the call waits on the special file";
    // Releases a call blocked on a FIFO: an open for reading and writing never waits, and its
    // close leaves a reader at the end of the file (a writer gets EPIPE, not the signal).
    struct sigaction ignore {}, saved{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &saved);
    while (call.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
      ::close(::open(special.c_str(), O_RDWR | O_NONBLOCK));
    ::sigaction(SIGPIPE, &saved, nullptr);
  }
  EXPECT_EQ(call.get().number, kPathFileAccess);
  EXPECT_EQ(fs::symlink_status(special).type(), kind);
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"photo.jpg", "x.jpg"}));
}

FsStatus readOne(FileSystem& f, const char* path) {
  std::unique_ptr<TextReader> reader;
  FsStatus status = takeInto(f.openRead(path), reader);
  EXPECT_EQ(status.ok(), reader != nullptr);
  return status;
}

FsStatus writeOne(FileSystem& f, const char* path) { return writePage(f, path, 1, 1); }

INSTANTIATE_TEST_SUITE_P(
    Names, SpecialFileTest,
    ::testing::Values(
        SpecialCase{"FifoCopied", makeFifo,
                    [](FileSystem& f) { return f.copyFile("C:\\x.jpg", "C:\\copy.jpg"); }},
        SpecialCase{"FifoRead", makeFifo, [](FileSystem& f) { return readOne(f, "C:\\X.JPG"); }},
        SpecialCase{"SocketCopied", makeSocket,
                    [](FileSystem& f) { return f.copyFile("C:\\x.jpg", "C:\\copy.jpg"); }},
        SpecialCase{"SocketRead", makeSocket,
                    [](FileSystem& f) { return readOne(f, "C:\\x.jpg"); }},
        SpecialCase{"DeviceCopied", linkToDevice,
                    [](FileSystem& f) { return f.copyFile("C:\\x.jpg", "C:\\copy.jpg"); }},
        SpecialCase{"DeviceRead", linkToDevice,
                    [](FileSystem& f) { return readOne(f, "C:\\x.jpg"); }},
        SpecialCase{"FifoWrittenOver", makeFifo,
                    [](FileSystem& f) { return writeOne(f, "C:\\x.jpg"); }},
        SpecialCase{"FifoCopiedOver", makeFifo,
                    [](FileSystem& f) { return f.copyFile("C:\\photo.jpg", "C:\\x.jpg"); }},
        SpecialCase{"DeviceWrittenOver", makeDevice,
                    [](FileSystem& f) { return writeOne(f, "C:\\x.jpg"); }},
        SpecialCase{"DeviceCopiedOver", makeDevice,
                    [](FileSystem& f) { return f.copyFile("C:\\photo.jpg", "C:\\x.jpg"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Renames never replace.

// Case twins: folders Trip and TRIP, and in Trip the picture Rome.JPG.
struct RenameCase {
  const char* name;
  const char* from;
  const char* to;
  int expected;
  std::vector<std::string> trip;  // names in Trip afterwards
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.name; }

class CaseRenameTest : public FsSafetyTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(CaseRenameTest, StaysInItsOwnFolderAndKeepsItsFile) {
  writeFile(c() / "Trip" / "Rome.JPG", "rome");
  writeFile(c() / "TRIP" / "other.jpg", "other");
  const ino_t before = inodeOf(c() / "Trip" / "Rome.JPG");
  EXPECT_EQ(files().rename(GetParam().from, GetParam().to).number, GetParam().expected);
  EXPECT_EQ(hostNames(c() / "Trip"), GetParam().trip);
  EXPECT_EQ(hostNames(c() / "TRIP"), std::vector<std::string>{"other.jpg"});
  const fs::path now = c() / "Trip" / GetParam().trip[0];
  EXPECT_EQ(readFile(now), "rome");
  EXPECT_EQ(inodeOf(now), before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CaseRenameTest,
    ::testing::Values(
        RenameCase{"OwnFolder", "C:\\Trip\\Rome.JPG", "C:\\Trip\\rome.jpg", kFsOk, {"rome.jpg"}},
        RenameCase{"TwinFolderSpelling", "C:\\Trip\\Rome.JPG", "C:\\TRIP\\rome.jpg", kFsOk,
                   {"rome.jpg"}},
        RenameCase{"SameSpelling", "C:\\Trip\\Rome.JPG", "C:\\Trip\\Rome.JPG", kFsOk,
                   {"Rome.JPG"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FsSafetyTest, CaseOnlyRenameOntoATwinFileFails) {
  writeFile(c() / "Rome.JPG", "upper");
  writeFile(c() / "rome.jpg", "lower");
  EXPECT_EQ(files().rename("C:\\Rome.JPG", "C:\\rome.jpg").number, kFileAlreadyExists);
  EXPECT_EQ(readFile(c() / "Rome.JPG"), "upper");
  EXPECT_EQ(readFile(c() / "rome.jpg"), "lower");
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"Rome.JPG", "rome.jpg"}));
}

// The host's moves that cannot replace, called directly: the file system of the test has the
// no-replace rename, so the two-step move is reached only this way. An entry under the new name
// stands for one that turned up after the program looked.
enum class Entry { File, Folder, Link };

struct MoveCase {
  const char* name;
  FsStatus (*move)(const std::string&, const std::string&);
  Entry from;
  std::optional<Entry> to;  // nothing: the new name is free
  std::vector<int> errors;  // what the move may answer; 0 for success
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class NoReplaceMoveTest : public FsSafetyTest, public ::testing::WithParamInterface<MoveCase> {
 protected:
  // Makes `entry` at `path` holding `text` (in a file inside it, for a folder).
  void make(Entry entry, const fs::path& path, const std::string& text) {
    if (entry == Entry::File) writeFile(path, text);
    if (entry == Entry::Folder) writeFile(path / "inside", text);
    if (entry == Entry::Link) {
      writeFile(c() / ("target-" + text), text);
      fs::create_symlink(c() / ("target-" + text), path);
    }
  }
  std::string text(const fs::path& path) {
    return fs::is_directory(fs::symlink_status(path)) ? readFile(path / "inside") : readFile(path);
  }
};

TEST_P(NoReplaceMoveTest, MovesOnlyOntoAFreeName) {
  const MoveCase& m = GetParam();
  make(m.from, c() / "a", "A");
  if (m.to) make(*m.to, c() / "b", "B");
  const ino_t before = inodeOf(c() / "a");
  const int error = m.move((c() / "a").string(), (c() / "b").string()).number;
  EXPECT_NE(std::find(m.errors.begin(), m.errors.end(), error), m.errors.end()) << error;
  if (error == 0) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(c() / "a")));
    EXPECT_EQ(inodeOf(c() / "b"), before);
    EXPECT_EQ(text(c() / "b"), "A");
  } else {
    EXPECT_EQ(text(c() / "a"), "A");
    EXPECT_EQ(text(c() / "b"), "B");
  }
}

constexpr auto kRename = renameNoReplace;
constexpr auto kTwoStep = moveWithoutReplace;

INSTANTIATE_TEST_SUITE_P(
    Entries, NoReplaceMoveTest,
    ::testing::Values(
        MoveCase{"RenameFileOntoFile", kRename, Entry::File, Entry::File, {kFileAlreadyExists}},
        MoveCase{"RenameFolderOntoFolder", kRename, Entry::Folder, Entry::Folder, {kFileAlreadyExists}},
        MoveCase{"RenameFileToFreeName", kRename, Entry::File, std::nullopt, {0}},
        MoveCase{"TwoStepFileOntoFile", kTwoStep, Entry::File, Entry::File, {kFileAlreadyExists}},
        MoveCase{"TwoStepFileOntoLink", kTwoStep, Entry::File, Entry::Link, {kFileAlreadyExists}},
        MoveCase{"TwoStepLinkOntoFile", kTwoStep, Entry::Link, Entry::File, {kFileAlreadyExists}},
        MoveCase{"TwoStepFolderOntoFile", kTwoStep, Entry::Folder, Entry::File, {kFileAlreadyExists}},
        MoveCase{"TwoStepFolderOntoFolder", kTwoStep, Entry::Folder, Entry::Folder, {kFileAlreadyExists}},
        MoveCase{"TwoStepFileToFreeName", kTwoStep, Entry::File, std::nullopt, {0}},
        MoveCase{"TwoStepLinkToFreeName", kTwoStep, Entry::Link, std::nullopt, {0}},
        MoveCase{"TwoStepFolderToFreeName", kTwoStep, Entry::Folder, std::nullopt, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

// A copy takes a name that was free with one call that cannot replace: a file that turned up
// under that name meanwhile stays, and the copy waits, whole, for the caller to decide.
TEST_F(FsSafetyTest, ACopyTakesAFreeNameOnlyWhileItIsFree) {
  PendingFile copy;
  ASSERT_TRUE(copy.create(c().string(), "photo.jpg", "").ok());
  ASSERT_EQ(::write(copy.fd(), "copy", 4), 4);
  writeFile(c() / "photo.jpg", "theirs");
  EXPECT_EQ(copy.commitIfFree().number, kFileAlreadyExists);
  EXPECT_EQ(readFile(c() / "photo.jpg"), "theirs");
  EXPECT_EQ(readFile(copy.tempPath()), "copy");
  EXPECT_TRUE(copy.commit().ok());
  EXPECT_EQ(readFile(c() / "photo.jpg"), "copy");
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"photo.jpg"});

  PendingFile fresh;
  ASSERT_TRUE(fresh.create(c().string(), "new.jpg", "").ok());
  EXPECT_TRUE(fresh.commitIfFree().ok());
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"new.jpg", "photo.jpg"}));
}

TEST_F(FsSafetyTest, RespellingKeepsATwinAndTheInode) {
  writeFile(c() / "Foto", "upper");
  const ino_t before = inodeOf(c() / "Foto");
  writeFile(c() / "foto", "twin");
  EXPECT_EQ(respellInPlace(c().string(), "Foto", "foto").number, kFileAlreadyExists);
  EXPECT_EQ(readFile(c() / "Foto"), "upper");
  EXPECT_EQ(readFile(c() / "foto"), "twin");
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"Foto", "foto"}));
  fs::remove(c() / "foto");
  EXPECT_TRUE(respellInPlace(c().string(), "Foto", "FOTO").ok());
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"FOTO"});
  EXPECT_EQ(inodeOf(c() / "FOTO"), before);
}

}  // namespace
}  // namespace vortena
