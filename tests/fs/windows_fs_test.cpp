#include "fs/windows/windows_fs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

#include "fs/host/host_files.h"
#include "fs/windows/drive_folders.h"
#include "support/album_fixture.h"
#include "support/fs_results.h"
#include "support/test_names.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

using testing::hostNames;
using testing::takeInto;

std::vector<std::string> listedNames(FileSystem& files, const std::string& folder) {
  FolderListing listing;
  EXPECT_TRUE(takeInto(files.listFolder(folder), listing).ok()) << folder;
  std::vector<std::string> names;
  for (const DirEntry& e : listing.entries) names.push_back(e.name);
  return names;
}

// Whole text file read through the layer, one element per line.
std::vector<std::string> readLines(FileSystem& files, const std::string& path) {
  std::unique_ptr<TextReader> reader;
  EXPECT_TRUE(takeInto(files.openRead(path), reader).ok()) << path;
  std::vector<std::string> lines;
  std::string line;
  while (reader && reader->readLine(line)) lines.push_back(line);
  return lines;
}

FsStatus writeLines(FileSystem& files, const std::string& path,
                    const std::vector<std::string>& lines) {
  std::unique_ptr<TextWriter> writer;
  FsStatus status = takeInto(files.openWrite(path), writer);
  if (!status.ok()) return status;
  for (const std::string& line : lines)
    if (status = writer->writeLine(line); !status.ok()) return status;
  return writer->close();
}

// HOME set to another folder for as long as the object lives.
class HomeOverride {
 public:
  explicit HomeOverride(const std::string& home) {
    if (const char* old = std::getenv("HOME")) saved_ = old;
    setenv("HOME", home.c_str(), 1);
  }
  ~HomeOverride() {
    if (saved_)
      setenv("HOME", saved_->c_str(), 1);
    else
      unsetenv("HOME");
  }

 private:
  std::optional<std::string> saved_;
};

// Drive C: and drive D: over two fresh host folders; C:\ is current in `folders_`, which
// `relative_` resolves its paths with.
class WindowsFsTest : public ::testing::Test {
 protected:
  WindowsFsTest() : files_(drives()), folders_(files_, files_.drives()), relative_(folders_) {
    EXPECT_TRUE(folders_.changeDrive('C').ok());
    EXPECT_TRUE(folders_.changeFolder("C:\\").ok());
  }

  DriveTable drives() {
    fs::create_directories(c());
    fs::create_directories(d());
    DriveTable table;
    table.set('C', c().string());
    table.set('D', d().string());
    return table;
  }
  fs::path c() const { return temp_.path() / "c"; }
  fs::path d() const { return temp_.path() / "d"; }

  TempFolder temp_;
  WindowsFileSystem files_;
  DriveFolders folders_;
  FolderRelativeFileSystem relative_;
};

// ---------------------------------------------------------------------------------------------
// Error numbers and the drive table.

TEST(ErrorDescriptionTest, EveryNumberHasItsItalianText) {
  EXPECT_EQ(errorDescription(53), "Impossibile trovare il file");
  EXPECT_EQ(errorDescription(57), "Errore di I/O della periferica");
  EXPECT_EQ(errorDescription(58), "File già esistente");
  EXPECT_EQ(errorDescription(61), "Disco pieno");
  EXPECT_EQ(errorDescription(75), "Errore di accesso al percorso/file");
  EXPECT_EQ(errorDescription(76), "Impossibile trovare il percorso");
  EXPECT_EQ(errorDescription(70), errorDescription(75));
  EXPECT_EQ(FsStatus{76}.description(), "Impossibile trovare il percorso");
}

TEST(DriveTableTest, AssignmentTakesAnyLetterCaseAndDropsTrailingSlash) {
  DriveTable table;
  EXPECT_TRUE(table.parseAssignment("d=/media/usb/"));
  EXPECT_EQ(table.hostFolder('D'), "/media/usb");
  EXPECT_EQ(table.hostFolder('d'), "/media/usb");
  EXPECT_TRUE(table.parseAssignment("R=/"));
  EXPECT_EQ(table.hostFolder('R'), "/");
}

TEST(DriveTableTest, MalformedAssignmentChangesNothing) {
  DriveTable table;
  table.set('C', "/srv/web");
  for (const char* bad : {"C", "C=", "=/x", "CC=/x", "1=/x", "C:/x", ""}) {
    EXPECT_FALSE(table.parseAssignment(bad)) << bad;
  }
  EXPECT_EQ(table.all().size(), 1u);
  EXPECT_EQ(table.hostFolder('C'), "/srv/web");
}

TEST(DriveTableTest, ListSkipsOnlyTheMalformedItemsAndNamesThem) {
  DriveTable table;
  EXPECT_TRUE(table.parseList("C=/srv/web;D=/media/usb;").empty());
  EXPECT_EQ(table.hostFolder('C'), "/srv/web");
  EXPECT_EQ(table.hostFolder('D'), "/media/usb");
  DriveTable partial;
  EXPECT_EQ(partial.parseList("E=/e;bad;F=/f;G:/g"), (std::vector<std::string>{"bad", "G:/g"}));
  EXPECT_EQ(partial.hostFolder('E'), "/e");
  EXPECT_EQ(partial.hostFolder('F'), "/f");
  EXPECT_FALSE(partial.hostFolder('G'));
}

TEST(DriveTableTest, DrivesOverMissingFoldersAreNamed) {
  TempFolder here;
  writeFile(here.path() / "file", "x");
  DriveTable table;
  table.set('C', here.path().string());
  table.set('D', (here.path() / "gone").string());
  table.set('E', (here.path() / "file").string());
  EXPECT_EQ(table.missingFolders(),
            (std::vector<std::string>{"D: " + (here.path() / "gone").string(),
                                      "E: " + (here.path() / "file").string()}));
}

TEST(DriveTableTest, DefaultsAreHomeAndRoot) {
  DriveTable table;
  {
    HomeOverride home("/tmp/some/home");
    table = DriveTable::defaults();
  }
  EXPECT_EQ(table.hostFolder('C'), "/tmp/some/home");
  EXPECT_EQ(table.hostFolder('Z'), "/");
  EXPECT_FALSE(table.hostFolder('D'));
}

struct DriveFormCase {
  std::string host;
  std::optional<std::string> drive;
};

void PrintTo(const DriveFormCase& c, std::ostream* os) { *os << testing::quotedText(c.host); }

class DriveFormTest : public ::testing::TestWithParam<DriveFormCase> {};

TEST_P(DriveFormTest, LongestWholeComponentPrefixWins) {
  DriveTable table;
  table.set('C', "/home/me");
  table.set('D', "/home/me/foto/usb");
  table.set('Z', "/");
  EXPECT_EQ(table.toDriveForm(GetParam().host), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DriveFormTest,
    ::testing::Values(DriveFormCase{"/home/me/foto", "C:\\foto"}, DriveFormCase{"/home/me", "C:\\"},
                      DriveFormCase{"/home/me/", "C:\\"},
                      DriveFormCase{"/home/meX/a", "Z:\\home\\meX\\a"},
                      DriveFormCase{"/home/me/foto/usb/a/b.jpg", "D:\\a\\b.jpg"},
                      DriveFormCase{"/home/me/foto/usbkey", "C:\\foto\\usbkey"},
                      DriveFormCase{"/home/me/./x/../foto//a", "C:\\foto\\a"},
                      DriveFormCase{"/", "Z:\\"}, DriveFormCase{"/etc/hosts", "Z:\\etc\\hosts"},
                      DriveFormCase{"relative/path", std::nullopt}),
    testing::ReadableName());

TEST(DriveTableTest, NoDriveCoversAPathOutsideEveryMapping) {
  DriveTable table;
  table.set('C', "/home/me");
  EXPECT_FALSE(table.toDriveForm("/srv/web"));
}

TEST_F(WindowsFsTest, HostPathsAndHomeFolderTakeTheirDriveForm) {
  EXPECT_EQ(files_.toDriveForm((c() / "album" / "a.jpg").string()), "C:\\album\\a.jpg");
  EXPECT_EQ(files_.toDriveForm("/not/mapped"), "/not/mapped");
  EXPECT_EQ(files_.toDriveForm("relative"), "relative");
  HomeOverride home(d().string());
  EXPECT_EQ(files_.toDriveForm("~"), "D:\\");
  EXPECT_EQ(files_.toDriveForm("~/foto"), "D:\\foto");
}

TEST_F(WindowsFsTest, HostPathFindsExistingNamesAndKeepsTheRestAsWritten) {
  fs::create_directories(c() / "Album" / "Foto");
  EXPECT_EQ(files_.toHostPath("c:/ALBUM\\foto\\New\\x.JPG"),
            (c() / "Album" / "Foto" / "New" / "x.JPG").string());
  EXPECT_EQ(files_.toHostPath("C:\\"), c().string());
  EXPECT_FALSE(files_.toHostPath("Q:\\a"));
}

// ---------------------------------------------------------------------------------------------
// Path forms and current folders.

TEST_F(WindowsFsTest, EveryPathFormReachesTheSameFile) {
  writeFile(c() / "a" / "b.txt", "x\n");
  ASSERT_TRUE(folders_.changeFolder("C:\\a").ok());
  for (const char* path :
       {"C:\\a\\b.txt", "c:/a/b.txt", "C:/a\\b.txt", "\\a\\b.txt", "/a/b.txt", "b.txt", ".\\b.txt",
        "..\\a\\b.txt", "C:b.txt", "c:..\\a\\.\\b.txt", "C:\\..\\..\\a\\b.txt", "C:\\a\\\\b.txt"}) {
    EXPECT_EQ(readLines(relative_, path), std::vector<std::string>{"x"}) << path;
  }
}

TEST_F(WindowsFsTest, StartsAtTheDriveFormOfTheWorkingFolder) {
  const fs::path here = fs::current_path();
  if (here == here.root_path()) GTEST_SKIP() << "the working folder is the root";
  DriveTable table;
  table.set('E', here.parent_path().string());
  EXPECT_EQ(DriveFolders(files_, table).currentFolder(), "E:\\" + here.filename().string());
  EXPECT_EQ(DriveFolders(files_, DriveTable()).currentFolder(), "C:\\");
}

TEST_F(WindowsFsTest, DriveOverAMissingHostFolderIsAMissingPath) {
  DriveTable table;
  table.set('C', c().string());
  table.set('M', (temp_.path() / "unplugged").string());
  WindowsFileSystem files(table);
  EXPECT_EQ(files.openRead("M:\\a.txt").status().number, kPathNotFound);
  EXPECT_EQ(files.makeFolder("M:\\a").number, kPathNotFound);
  EXPECT_EQ(DriveFolders(files, table).changeDrive('M').number, kPathNotFound);
}

TEST_F(WindowsFsTest, EachDriveKeepsItsOwnCurrentFolder) {
  fs::create_directories(c() / "album");
  writeFile(d() / "pics" / "p.txt", "on d\n");
  ASSERT_TRUE(folders_.changeFolder("C:\\album\\").ok());
  ASSERT_TRUE(folders_.changeFolder("d:\\PICS").ok());
  // Changing D:'s folder leaves the current drive alone.
  EXPECT_EQ(folders_.currentFolder(), "C:\\album");
  EXPECT_EQ(readLines(relative_, "D:p.txt"), std::vector<std::string>{"on d"});
  ASSERT_TRUE(folders_.changeDrive('d').ok());
  EXPECT_EQ(folders_.currentFolder(), "D:\\pics");
  EXPECT_EQ(readLines(relative_, "p.txt"), std::vector<std::string>{"on d"});
  ASSERT_TRUE(folders_.changeDrive('C').ok());
  EXPECT_EQ(folders_.currentFolder(), "C:\\album");
  ASSERT_TRUE(folders_.changeFolder("..").ok());
  EXPECT_EQ(folders_.currentFolder(), "C:\\");
}

// ---------------------------------------------------------------------------------------------
// Letter case.

TEST_F(WindowsFsTest, LookUpIgnoresLetterCaseAlsoOfAccentedLetters) {
  writeFile(c() / "Città" / "Foto.JPG", "picture\n");
  EXPECT_EQ(readLines(files_, "C:\\CITTÀ\\foto.jpg"), std::vector<std::string>{"picture"});
  DirEntry identity;
  EXPECT_TRUE(takeInto(files_.folderIdentity("c:\\città"), identity).ok());
  EXPECT_EQ(identity.name, "Città");
}

TEST_F(WindowsFsTest, ExactSpellingIsPreferredThenTheFirstVariantInSortedOrder) {
  writeFile(c() / "abc", "lower\n");
  writeFile(c() / "ABC", "upper\n");
  writeFile(c() / "aBc", "mixed\n");
  EXPECT_EQ(readLines(files_, "C:\\abc"), std::vector<std::string>{"lower"});
  EXPECT_EQ(readLines(files_, "C:\\aBc"), std::vector<std::string>{"mixed"});
  // "ABC" < "aBc" < "abc" in byte order; after removing the exact "ABC", "aBc" comes first.
  EXPECT_EQ(readLines(files_, "C:\\Abc"), std::vector<std::string>{"upper"});
  fs::remove(c() / "ABC");
  EXPECT_EQ(readLines(files_, "C:\\Abc"), std::vector<std::string>{"mixed"});
}

TEST_F(WindowsFsTest, WritingOverACaseVariantLeavesOneEntryWithTheAskedSpelling) {
  writeFile(c() / "album" / "index.htm", "old content that is longer\r\n");
  ASSERT_TRUE(writeLines(files_, "C:\\ALBUM\\INDEX.HTM", {"new"}).ok());
  // The folder above keeps its name; the file takes the asked one.
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"album"});
  EXPECT_EQ(hostNames(c() / "album"), std::vector<std::string>{"INDEX.HTM"});
  EXPECT_EQ(readFile(c() / "album" / "INDEX.HTM"), "new\r\n");
}

TEST_F(WindowsFsTest, CopyOntoACaseVariantLeavesOneEntryWithTheAskedSpelling) {
  writeFile(c() / "src.jpg", "new bytes");
  writeFile(c() / "out" / "photo.jpg", "old bytes, longer than the new ones");
  ASSERT_TRUE(files_.copyFile("C:\\src.jpg", "C:\\OUT\\Photo.JPG").ok());
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"out", "src.jpg"}));
  EXPECT_EQ(hostNames(c() / "out"), std::vector<std::string>{"Photo.JPG"});
  EXPECT_EQ(readFile(c() / "out" / "Photo.JPG"), "new bytes");
}

TEST_F(WindowsFsTest, MakingAFolderThatExistsInAnotherCaseRenamesItAndFails) {
  writeFile(c() / "foto" / "keep.jpg", "kept");
  EXPECT_EQ(files_.makeFolder("C:\\FOTO").number, kPathFileAccess);
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"FOTO"});
  EXPECT_EQ(readFile(c() / "FOTO" / "keep.jpg"), "kept");
  EXPECT_EQ(files_.makeFolder("C:\\FOTO").number, kPathFileAccess);
  EXPECT_EQ(files_.makeFolder("C:\\").number, kPathFileAccess);
}

TEST_F(WindowsFsTest, MakeFolderCreatesOneFolderInAnExistingParent) {
  ASSERT_TRUE(files_.makeFolder("C:\\New\\").ok());
  ASSERT_TRUE(files_.makeFolder("c:/NEW/Sub").ok());
  EXPECT_TRUE(fs::is_directory(c() / "New" / "Sub"));
}

// ---------------------------------------------------------------------------------------------
// Rename.

TEST_F(WindowsFsTest, RenameOntoAnotherFileFailsAndChangesNothing) {
  writeFile(c() / "a.htm", "A");
  writeFile(c() / "b.htm", "B");
  EXPECT_EQ(files_.rename("C:\\a.htm", "C:\\B.HTM").number, kFileAlreadyExists);
  EXPECT_EQ(readFile(c() / "a.htm"), "A");
  EXPECT_EQ(readFile(c() / "b.htm"), "B");
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"a.htm", "b.htm"}));
}

TEST_F(WindowsFsTest, RenameOntoAnotherNameOfTheSameFileFails) {
  // A hard link and a symbolic link lead to the same data under another entry: renaming over
  // them would drop a name the user made (or, for the link, the data itself).
  writeFile(c() / "data.htm", "data");
  fs::create_hard_link(c() / "data.htm", c() / "hard.htm");
  fs::create_symlink(c() / "data.htm", c() / "soft.htm");
  EXPECT_EQ(files_.rename("C:\\hard.htm", "C:\\data.htm").number, kFileAlreadyExists);
  EXPECT_EQ(files_.rename("C:\\soft.htm", "C:\\data.htm").number, kFileAlreadyExists);
  EXPECT_EQ(readFile(c() / "data.htm"), "data");
  EXPECT_TRUE(fs::is_symlink(c() / "soft.htm"));
  EXPECT_TRUE(fs::exists(c() / "hard.htm"));
}

TEST_F(WindowsFsTest, RenameThatOnlyChangesLetterCaseRenamesInPlace) {
  writeFile(c() / "album" / "x.txt", "x");
  ASSERT_TRUE(files_.rename("C:\\album", "C:\\ALBUM").ok());
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"ALBUM"});
  ASSERT_TRUE(files_.rename("C:\\album\\x.txt", "c:\\Album\\X.Txt").ok());
  EXPECT_EQ(hostNames(c() / "ALBUM"), std::vector<std::string>{"X.Txt"});
  EXPECT_EQ(readFile(c() / "ALBUM" / "X.Txt"), "x");
  EXPECT_TRUE(files_.rename("C:\\ALBUM\\X.Txt", "C:\\ALBUM\\X.Txt").ok());
}

TEST_F(WindowsFsTest, RenameMovesToAFreeName) {
  writeFile(c() / "a.htm", "A");
  fs::create_directories(c() / "old");
  ASSERT_TRUE(files_.rename("C:\\A.HTM", "C:\\OLD\\a.bak").ok());
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"old"});
  EXPECT_EQ(readFile(c() / "old" / "a.bak"), "A");
}

// ---------------------------------------------------------------------------------------------
// Copy.

TEST_F(WindowsFsTest, CopyOntoItselfFailsAndKeepsEveryByte) {
  const std::string bytes = "line one\r\nline two\r\n";
  writeFile(c() / "pic.jpg", bytes);
  fs::create_symlink(c() / "pic.jpg", c() / "link.jpg");
  fs::create_hard_link(c() / "pic.jpg", c() / "hard.jpg");
  fs::create_directories(d());
  fs::create_symlink(c(), d() / "viaC");
  for (const char* target :
       {"C:\\pic.jpg", "C:\\PIC.JPG", "C:\\link.jpg", "C:\\hard.jpg", "D:\\viaC\\pic.jpg"}) {
    EXPECT_EQ(files_.copyFile("C:\\pic.jpg", target).number, kPathFileAccess) << target;
    EXPECT_EQ(readFile(c() / "pic.jpg"), bytes) << target;
  }
  EXPECT_EQ(files_.copyFile("C:\\link.jpg", "C:\\pic.jpg").number, kPathFileAccess);
  EXPECT_EQ(readFile(c() / "pic.jpg"), bytes);
  EXPECT_TRUE(fs::exists(c() / "pic.jpg"));
}

TEST_F(WindowsFsTest, CopyReplacesTheDestinationByteForByte) {
  std::string big;
  for (unsigned i = 0; big.size() < 3'000'000; ++i) big += static_cast<char>(i * 7919 % 251);
  writeFile(c() / "big.bin", big);
  writeFile(d() / "big.bin", std::string(4'000'000, 'x'));
  ASSERT_TRUE(files_.copyFile("C:\\big.bin", "D:\\big.bin").ok());
  EXPECT_TRUE(readFile(d() / "big.bin") == big);
  writeFile(c() / "empty.txt", "");
  ASSERT_TRUE(files_.copyFile("C:\\empty.txt", "D:\\big.bin").ok());
  EXPECT_EQ(fs::file_size(d() / "big.bin"), 0u);
}

TEST_F(WindowsFsTest, CopyKeepsTheModificationTime) {
  writeFile(c() / "old.jpg", "o");
  auto then = fs::file_time_type::clock::now() - std::chrono::hours(240);
  fs::last_write_time(c() / "old.jpg", then);
  ASSERT_TRUE(files_.copyFile("C:\\old.jpg", "C:\\copy.jpg").ok());
  EXPECT_EQ(fs::last_write_time(c() / "copy.jpg"), fs::last_write_time(c() / "old.jpg"));
}

// ---------------------------------------------------------------------------------------------
// Listing and identity.

// Bytes written whole over a case variant take the asked spelling and the given times; read
// back whole, with the stamp the file has.
TEST_F(WindowsFsTest, BytesWrittenWithTimesAndReadBackWhole) {
  writeFile(c() / "IMG_001.JPG", "earlier");
  std::string bytes(300000, 'x');
  bytes[123456] = 'y';
  FileStamp times;
  times.accessed = 1000000000LL * 1500000000 + 7;
  times.modified = 1000000000LL * 1600000000 + 123456789;
  ASSERT_TRUE(files_.writeBytes("C:\\img_001.jpg", bytes, times).ok());
  EXPECT_EQ(hostNames(c()), std::vector<std::string>{"img_001.jpg"});
  // Looked at before any read, which may move the access time.
  FileStamp stat;
  ASSERT_TRUE(takeInto(files_.fileStamp("c:\\img_001.JPG"), stat).ok());
  EXPECT_EQ(stat.accessed, times.accessed);
  FileBytes read;
  ASSERT_TRUE(takeInto(files_.readBytes("C:\\IMG_001.jpg"), read).ok());
  EXPECT_EQ(read.bytes, bytes);
  const FileStamp stamp = read.stamp;
  for (const FileStamp& s : {stamp, stat}) {
    EXPECT_EQ(s.size, 300000);
    EXPECT_EQ(s.modified, times.modified);
    EXPECT_GT(s.changed, times.modified);
  }
}

TEST_F(WindowsFsTest, ListingHidesDotNamesSortsByUpperCaseAndFollowsLinks) {
  writeFile(c() / "pics" / "b.jpg", "");
  writeFile(c() / "pics" / "A.jpg", "");
  writeFile(c() / "pics" / "_x.jpg", "");
  writeFile(c() / "pics" / "Z.jpg", "");
  writeFile(c() / "pics" / ".hidden", "");
  fs::create_directories(c() / "pics" / ".git");
  fs::create_directories(c() / "pics" / "sub");
  fs::create_directory_symlink(c() / "pics" / "sub", c() / "pics" / "linked");
  fs::create_symlink(c() / "pics" / "gone", c() / "pics" / "dangling");
  FolderListing listing;
  ASSERT_TRUE(takeInto(files_.listFolder("C:\\PICS\\"), listing).ok());
  const std::vector<DirEntry>& entries = listing.entries;
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name);
  // Upper-cased: "A.JPG" < "B.JPG" < "LINKED" < "SUB" < "Z.JPG" < "_X.JPG" ('_' after 'Z').
  EXPECT_EQ(names,
            (std::vector<std::string>{"A.jpg", "b.jpg", "linked", "sub", "Z.jpg", "_x.jpg"}));
  EXPECT_TRUE(entries[2].isFolder);
  EXPECT_TRUE(entries[3].isFolder);
  EXPECT_FALSE(entries[0].isFolder);
  EXPECT_EQ(entries[2].inode, entries[3].inode);
  EXPECT_EQ(entries[2].device, entries[3].device);
}

TEST_F(WindowsFsTest, ListingOrderComparesUpperCasedAccentedNames) {
  for (const char* name : {"èta", "Eta", "ebe", "Ètb"}) writeFile(c() / name, "");
  // "EBE" < "ETA" < "ÈTA" < "ÈTB": È is two bytes above every ASCII letter; the two ÈT names
  // follow their upper-cased tails.
  EXPECT_EQ(listedNames(files_, "C:\\"), (std::vector<std::string>{"ebe", "Eta", "èta", "Ètb"}));
}

TEST_F(WindowsFsTest, UnreadableFolderCannotBeListed) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
  fs::create_directories(c() / "locked");
  fs::permissions(c() / "locked", fs::perms::none);
  EXPECT_EQ(files_.listFolder("C:\\locked").status().number, kPathFileAccess);
}

TEST_F(WindowsFsTest, FolderIdentityFollowsLinksAndNeedsAFolder) {
  fs::create_directories(c() / "real");
  fs::create_directory_symlink(c() / "real", c() / "alias");
  DirEntry real, alias, root;
  ASSERT_TRUE(takeInto(files_.folderIdentity("C:\\REAL"), real).ok());
  ASSERT_TRUE(takeInto(files_.folderIdentity("C:\\alias\\"), alias).ok());
  ASSERT_TRUE(takeInto(files_.folderIdentity("C:\\"), root).ok());
  EXPECT_EQ(real.inode, alias.inode);
  EXPECT_EQ(real.device, alias.device);
  EXPECT_NE(real.inode, root.inode);
  EXPECT_TRUE(real.isFolder);
}

// ---------------------------------------------------------------------------------------------
// Failures: each operation on a missing, misplaced or unmapped name, with the error number it
// reports, leaving the drive as it was.

struct FailureCase {
  const char* name;
  std::function<FsStatus(FileSystem&, DriveFolders&)> run;
  int expected;
};

FsStatus open(FileSystem& f, const char* path, std::unique_ptr<TextReader>& out) {
  return takeInto(f.openRead(path), out);
}
FsStatus open(FileSystem& f, const char* path, std::unique_ptr<TextWriter>& out) {
  return takeInto(f.openWrite(path), out);
}
// Opening for reading (TextReader) or for writing (TextWriter); a failed open hands out nothing.
template <typename Stream>
FailureCase openCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) {
            std::unique_ptr<Stream> stream;
            FsStatus s = open(f, path, stream);
            EXPECT_FALSE(stream);
            return s;
          },
          expected};
}
FailureCase copyCase(const char* name, const char* from, const char* to, int expected) {
  return {name, [from, to](FileSystem& f, DriveFolders&) { return f.copyFile(from, to); },
          expected};
}
FailureCase readBytesCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) {
            FileBytes bytes{"stale", {}};
            return takeInto(f.readBytes(path), bytes);
          },
          expected};
}
FailureCase writeBytesCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) { return f.writeBytes(path, "bytes", FileStamp{}); },
          expected};
}
FailureCase stampCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) {
            FileStamp stamp;
            return takeInto(f.fileStamp(path), stamp);
          },
          expected};
}
FailureCase renameCase(const char* name, const char* from, const char* to, int expected) {
  return {name, [from, to](FileSystem& f, DriveFolders&) { return f.rename(from, to); }, expected};
}
FailureCase makeFolderCase(const char* name, const char* path, int expected) {
  return {name, [path](FileSystem& f, DriveFolders&) { return f.makeFolder(path); }, expected};
}
FailureCase listCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) {
            FolderListing listing{{DirEntry{"stale"}}, {}, {}};
            FsStatus s = takeInto(f.listFolder(path), listing);
            EXPECT_EQ(listing.entries.size(), 1u);  // a failed listing hands out nothing
            return s;
          },
          expected};
}
FailureCase identityCase(const char* name, const char* path, int expected) {
  return {name,
          [path](FileSystem& f, DriveFolders&) {
            DirEntry e;
            return takeInto(f.folderIdentity(path), e);
          },
          expected};
}
FailureCase changeFolderCase(const char* name, const char* path, int expected) {
  return {name, [path](FileSystem&, DriveFolders& folders) { return folders.changeFolder(path); },
          expected};
}

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FsFailureTest : public WindowsFsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FsFailureTest, ReportsItsNumberAndChangesNothing) {
  writeFile(c() / "f.txt", "file");
  fs::create_directories(c() / "dir");
  EXPECT_EQ(GetParam().run(files_, folders_).number, GetParam().expected);
  EXPECT_EQ(hostNames(c()), (std::vector<std::string>{"dir", "f.txt"}));
  EXPECT_EQ(readFile(c() / "f.txt"), "file");
  EXPECT_TRUE(fs::is_empty(c() / "dir"));
  EXPECT_EQ(folders_.currentFolder(), "C:\\");
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FsFailureTest,
    ::testing::Values(
        openCase<TextReader>("ReadMissingFile", "C:\\none.txt", kFileNotFound),
        openCase<TextReader>("ReadInMissingFolder", "C:\\nodir\\f.txt", kPathNotFound),
        openCase<TextReader>("ReadBelowAFile", "C:\\f.txt\\x", kPathNotFound),
        openCase<TextReader>("ReadFolder", "C:\\DIR", kPathFileAccess),
        openCase<TextReader>("ReadRoot", "C:\\", kPathFileAccess),
        openCase<TextReader>("ReadUnmappedDrive", "Q:\\f.txt", kPathNotFound),
        openCase<TextWriter>("WriteFolder", "C:\\dir\\", kPathFileAccess),
        openCase<TextWriter>("WriteInMissingFolder", "C:\\nodir\\f.txt", kPathNotFound),
        openCase<TextWriter>("WriteUnmappedDrive", "Q:\\f.txt", kPathNotFound),
        copyCase("CopyMissingSource", "C:\\none.txt", "C:\\dir\\x", kFileNotFound),
        copyCase("CopyFromMissingFolder", "C:\\nodir\\f.txt", "C:\\dir\\x", kPathNotFound),
        copyCase("CopyIntoMissingFolder", "C:\\f.txt", "C:\\nodir\\f.txt", kPathNotFound),
        copyCase("CopyFolder", "C:\\dir", "C:\\x", kPathFileAccess),
        copyCase("CopyOntoFolder", "C:\\f.txt", "C:\\DIR", kPathFileAccess),
        copyCase("CopyToUnmappedDrive", "C:\\f.txt", "Q:\\f.txt", kPathNotFound),
        readBytesCase("ReadBytesMissing", "C:\\none.jpg", kFileNotFound),
        readBytesCase("ReadBytesOfFolder", "C:\\dir", kPathFileAccess),
        readBytesCase("ReadBytesInMissingFolder", "C:\\nodir\\f.txt", kPathNotFound),
        writeBytesCase("WriteBytesOntoFolder", "C:\\Dir", kPathFileAccess),
        writeBytesCase("WriteBytesInMissingFolder", "C:\\nodir\\x.jpg", kPathNotFound),
        writeBytesCase("WriteBytesUnmappedDrive", "Q:\\x.jpg", kPathNotFound),
        stampCase("StampOfMissing", "C:\\none.jpg", kFileNotFound),
        stampCase("StampOfFolder", "C:\\dir", kPathFileAccess),
        renameCase("RenameMissing", "C:\\none.txt", "C:\\x.txt", kFileNotFound),
        renameCase("RenameInMissingFolder", "C:\\nodir\\f.txt", "C:\\x.txt", kPathNotFound),
        renameCase("RenameIntoMissingFolder", "C:\\f.txt", "C:\\nodir\\f.txt", kPathNotFound),
        renameCase("RenameOntoFolder", "C:\\f.txt", "C:\\Dir", kFileAlreadyExists),
        makeFolderCase("MakeExistingFolder", "C:\\dir", kPathFileAccess),
        makeFolderCase("MakeFolderOverFile", "C:\\F.TXT", kPathFileAccess),
        makeFolderCase("MakeRoot", "C:\\", kPathFileAccess),
        makeFolderCase("MakeInMissingFolder", "C:\\nodir\\sub", kPathNotFound),
        makeFolderCase("MakeOnUnmappedDrive", "Q:\\sub", kPathNotFound),
        listCase("ListMissing", "C:\\nodir", kPathNotFound),
        listCase("ListInMissing", "C:\\nodir\\deeper", kPathNotFound),
        listCase("ListFile", "C:\\f.txt", kPathNotFound),
        listCase("ListUnmappedDrive", "Q:\\", kPathNotFound),
        identityCase("IdentityOfFile", "C:\\f.txt", kPathNotFound),
        identityCase("IdentityOfMissing", "C:\\nodir", kPathNotFound),
        changeFolderCase("ChangeToMissing", "C:\\nodir", kPathNotFound),
        changeFolderCase("ChangeToFile", "C:\\f.txt", kPathNotFound),
        changeFolderCase("ChangeOnUnmappedDrive", "Q:\\", kPathNotFound),
        FailureCase{"ChangeToUnmappedDrive",
                    [](FileSystem&, DriveFolders& folders) { return folders.changeDrive('Q'); },
                    kPathNotFound}),
    [](const auto& info) { return std::string(info.param.name); });

// A path that is not a full drive path is refused before the disk is looked at, also where
// the name it gives exists at the drive's root (f.txt, dir) and where the operation would make
// something (new.txt, sub): the table above then finds every host name as it was.
std::vector<FailureCase> refusedPathCases() {
  static std::deque<std::string> names;  // the cases keep pointers into it
  const struct {
    const char* form;
    std::string (*path)(const std::string& name);
  } forms[] = {
      {"Relative", [](const std::string& name) { return name; }},
      {"DriveRelative", [](const std::string& name) { return "C:" + name; }},
      {"RootedWithoutDrive", [](const std::string& name) { return "\\" + name; }},
      {"Empty", [](const std::string&) { return std::string(); }},
  };
  const struct {
    const char* operation;
    const char* name;  // what the path names from the drive's root
    std::function<FsStatus(FileSystem&, const std::string&)> run;
  } operations[] = {
      {"Read", "f.txt", [](FileSystem& f, const std::string& p) { return f.openRead(p).status(); }},
      {"Write", "new.txt",
       [](FileSystem& f, const std::string& p) {
         std::unique_ptr<TextWriter> w;
         FsStatus s = takeInto(f.openWrite(p), w);
         if (w) ignoreFailure(w->close(), "a writer that opened is the failure shown");
         return s.ok() ? FsStatus{} : s;
       }},
      {"CopyFrom", "f.txt",
       [](FileSystem& f, const std::string& p) { return f.copyFile(p, "C:\\dir\\x.txt"); }},
      {"CopyTo", "new.txt",
       [](FileSystem& f, const std::string& p) { return f.copyFile("C:\\f.txt", p); }},
      {"WriteBytes", "new.txt",
       [](FileSystem& f, const std::string& p) { return f.writeBytes(p, "b", FileStamp{}); }},
      {"RenameTo", "new.txt",
       [](FileSystem& f, const std::string& p) { return f.rename("C:\\f.txt", p); }},
      {"RemoveFile", "f.txt", [](FileSystem& f, const std::string& p) { return f.removeFile(p); }},
      {"RemoveFolder", "dir",
       [](FileSystem& f, const std::string& p) { return f.removeFolder(p); }},
      {"MakeFolder", "sub", [](FileSystem& f, const std::string& p) { return f.makeFolder(p); }},
      {"List", "dir", [](FileSystem& f, const std::string& p) { return f.listFolder(p).status(); }},
      {"Stamp", "f.txt",
       [](FileSystem& f, const std::string& p) { return f.entryStamp(p).status(); }},
  };
  std::vector<FailureCase> cases;
  for (const auto& op : operations)
    for (const auto& form : forms) {
      const std::string path = form.path(op.name);
      names.push_back(std::string(op.operation) + form.form);
      cases.push_back({names.back().c_str(),
                       [run = op.run, path](FileSystem& f, DriveFolders&) { return run(f, path); },
                       kPathNotFound});
    }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(PathsNotFull, FsFailureTest, ::testing::ValuesIn(refusedPathCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Text files.

struct LineCase {
  std::string name;
  std::string bytes;
  std::vector<std::string> lines;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class TextFileLineEndTest : public WindowsFsTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(TextFileLineEndTest, LinesEndAtLfCrLfOrLoneCr) {
  writeFile(c() / "t.txt", GetParam().bytes);
  EXPECT_EQ(readLines(files_, "C:\\t.txt"), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileLineEndTest,
    ::testing::Values(
        LineCase{"Empty", "", {}}, LineCase{"Mixed", "a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        LineCase{"FinalEnd", "a\r\n", {"a"}},
        LineCase{"EmptyLines", "\r\n\n\r\r\n", {"", "", "", ""}},
        LineCase{"LoneCrs", "\r\r", {"", ""}}, LineCase{"LfCr", "a\n\rb", {"a", "", "b"}},
        LineCase{"CrLfAcrossBlocks",
                 std::string(65535, 'x') + "\r\nnext",
                 {std::string(65535, 'x'), "next"}},
        LineCase{"CrAtEndOfBlock", std::string(65535, 'y') + "\rz", {std::string(65535, 'y'), "z"}},
        LineCase{
            "LongLine", std::string(200000, 'l') + "\nend", {std::string(200000, 'l'), "end"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(WindowsFsTest, EveryWrittenLineEndsWithCrLf) {
  std::vector<std::string> lines{"<html>", "", "città", std::string(70000, 'w')};
  ASSERT_TRUE(writeLines(files_, "C:\\page.htm", lines).ok());
  std::string expected;
  for (const std::string& line : lines) expected += line + "\r\n";
  EXPECT_TRUE(readFile(c() / "page.htm") == expected);
}

TEST_F(WindowsFsTest, WriterReportsAfterCloseAndClosesTwiceHarmlessly) {
  std::unique_ptr<TextWriter> writer;
  ASSERT_TRUE(takeInto(files_.openWrite("C:\\w.txt"), writer).ok());
  EXPECT_TRUE(writer->writeLine("one").ok());
  EXPECT_TRUE(writer->close().ok());
  EXPECT_TRUE(writer->close().ok());
  EXPECT_EQ(writer->writeLine("late").number, kPathFileAccess);
  EXPECT_EQ(readFile(c() / "w.txt"), "one\r\n");
}

// The layer refuses to write over a device (fs_safety_test.cpp checks that on a device node of
// its own, and the full-disk cases on a full tmpfs); the host calls under the writer and the
// copy report the full disk (ENOSPC) from the full device. The system's device is never handed to the layer:
// a fault there would replace it.
TEST_F(WindowsFsTest, FullDeviceFailsTheHostWriteAndCopy) {
  Descriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
  if (!full.valid()) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(writeAll(full.get(), "line\r\n", 6).number, kDiskFull);
  writeFile(c() / "a.txt", std::string(100000, 'a'));
  Descriptor in(::open((c() / "a.txt").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(in.valid());
  EXPECT_EQ(copyContents(in.get(), full.get()).number, kDiskFull);
  EXPECT_EQ(hostFailure(ENOSPC).number, kDiskFull);
}

// A page written again with the text it already holds is left alone (a rebuild of an
// unchanged album makes no file); anything else under the name is replaced as always.
struct RewriteCase {
  const char* label;
  std::string before;  // under the name: "file", "longer", "other" (same size), "other end",
                       // "link", "variant"
  std::string text;        // the page written, one line
  bool keepsTheOldFile;    // same inode as before
};

void PrintTo(const RewriteCase& c, std::ostream* os) { *os << c.label; }

class PageRewriteTest : public WindowsFsTest, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(PageRewriteTest, SameTextKeepsTheFileAnythingElseIsReplaced) {
  const RewriteCase& t = GetParam();
  const std::string text = t.text + "\r\n";
  const fs::path page = c() / "page.htm";
  if (t.before == "file") writeFile(page, text);
  if (t.before == "longer") writeFile(page, text + "more\r\n");
  if (t.before == "other") writeFile(page, "x" + text.substr(1));
  if (t.before == "other end") writeFile(page, text.substr(0, text.size() - 3) + "x\r\n");
  if (t.before == "variant") writeFile(c() / "PAGE.HTM", text);
  if (t.before == "link") {
    writeFile(c() / "target.htm", text);
    fs::create_symlink("target.htm", page);
  }
  const fs::path old = t.before == "variant" ? c() / "PAGE.HTM" : page;
  struct stat beforeStat;
  ASSERT_EQ(::lstat(old.c_str(), &beforeStat), 0);

  ASSERT_TRUE(writeLines(files_, "C:\\page.htm", {t.text}).ok());

  struct stat afterStat;
  ASSERT_EQ(::lstat(page.c_str(), &afterStat), 0);
  EXPECT_TRUE(S_ISREG(afterStat.st_mode));
  EXPECT_EQ(afterStat.st_ino == beforeStat.st_ino, t.keepsTheOldFile);
  EXPECT_EQ(readFile(page), text);
  EXPECT_EQ(hostNames(c()), t.before == "link" ? (std::vector<std::string>{"page.htm", "target.htm"})
                                               : std::vector<std::string>{"page.htm"});
  if (t.before == "link") {
    EXPECT_EQ(readFile(c() / "target.htm"), text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageRewriteTest,
    ::testing::Values(RewriteCase{"same text", "file", "<html>", true},
                      RewriteCase{"old file longer", "longer", "<html>", false},
                      RewriteCase{"other text same size", "other", "<html>", false},
                      RewriteCase{"long page", "file", std::string(200000, 'p'), true},
                      RewriteCase{"long page, other end", "other end", std::string(200000, 'p'),
                                  false},
                      RewriteCase{"longer than is held", "file", std::string(9 << 20, 'p'), false},
                      RewriteCase{"symbolic link", "link", "<html>", false},
                      RewriteCase{"case variant", "variant", "<html>", false}),
    testing::ReadableName());

// A folder's stamp changes with every name made, removed or renamed in it, and it is settled
// once the clock has ticked past its last change. (That it is not settled within the tick of
// the change cannot be shown without a race with the clock.)
TEST_F(WindowsFsTest, EntryStampChangesWithTheFoldersNamesAndSettlesAfterATick) {
  fs::create_directories(c() / "album");
  writeFile(c() / "album" / "a.jpg", "a");
  EntryStamp made, later, renamed;
  ASSERT_TRUE(takeInto(files_.entryStamp("C:\\ALBUM"), made).ok());
  EXPECT_TRUE(made.isFolder);
  EXPECT_EQ(made.name, "album");
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_TRUE(takeInto(files_.entryStamp("C:\\album"), later).ok());
  EXPECT_TRUE(later.settled);
  EXPECT_EQ(later, made);
  fs::rename(c() / "album" / "a.jpg", c() / "album" / "b.jpg");
  ASSERT_TRUE(takeInto(files_.entryStamp("C:\\album"), renamed).ok());
  EXPECT_NE(renamed, later);
  EXPECT_EQ(files_.entryStamp("C:\\album\\a.jpg").status().number, kFileNotFound);
}

TEST_F(WindowsFsTest, SameContentComparesEveryByte) {
  writeFile(c() / "a.jpg", std::string(200000, 'a'));
  writeFile(c() / "b.jpg", std::string(200000, 'a'));
  writeFile(c() / "c.jpg", std::string(199999, 'a') + "c");
  writeFile(c() / "d.jpg", std::string(100, 'a'));
  bool same = false;
  EXPECT_TRUE(takeInto(files_.sameContent("C:\\A.JPG", "C:\\b.jpg"), same).ok());
  EXPECT_TRUE(same);
  EXPECT_TRUE(takeInto(files_.sameContent("C:\\a.jpg", "C:\\c.jpg"), same).ok());
  EXPECT_FALSE(same);
  EXPECT_TRUE(takeInto(files_.sameContent("C:\\a.jpg", "C:\\d.jpg"), same).ok());
  EXPECT_FALSE(same);
  // A comparison that fails answers nothing.
  EXPECT_EQ(files_.sameContent("C:\\a.jpg", "C:\\none.jpg").status().number, kFileNotFound);
}

TEST_F(WindowsFsTest, ReadOnlyFolderRefusesNewFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
  fs::create_directories(c() / "ro");
  fs::permissions(c() / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(files_.openWrite("C:\\ro\\x.htm").status().number, kPathFileAccess);
  EXPECT_EQ(files_.makeFolder("C:\\ro\\sub").number, kPathFileAccess);
}

}  // namespace
}  // namespace vortena
