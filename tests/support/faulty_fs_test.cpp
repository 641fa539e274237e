#include "support/faulty_fs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fs/windows/windows_fs.h"
#include "support/album_fixture.h"
#include "support/fs_results.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::takeInto;
using testing::writeFile;

// The wrapper over a real drive C:.
class FaultyFsTest : public ::testing::Test {
 protected:
  FaultyFsTest() : disk_(drives()), faulty_(disk_) {}

  DriveTable drives() {
    DriveTable table;
    table.set('C', temp_.path().string());
    return table;
  }
  fs::path c() const { return temp_.path(); }

  int makeFolder(const std::string& path) { return faulty_.makeFolder(path).number; }

  testing::TempFolder temp_;
  WindowsFileSystem disk_;
  FaultyFileSystem faulty_;
};

TEST_F(FaultyFsTest, WithoutFaultsEveryOperationReachesTheDisk) {
  writeFile(c() / "a.txt", "a\r\n");
  EXPECT_EQ(makeFolder("C:\\sub"), kFsOk);
  EXPECT_TRUE(faulty_.copyFile("C:\\a.txt", "C:\\sub\\b.txt").ok());
  EXPECT_TRUE(faulty_.rename("C:\\sub\\b.txt", "C:\\sub\\c.txt").ok());
  EXPECT_EQ(readFile(c() / "sub" / "c.txt"), "a\r\n");
  FolderListing listing;
  EXPECT_TRUE(takeInto(faulty_.listFolder("C:\\SUB"), listing).ok());
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(listing.entries[0].name, "c.txt");
}

TEST_F(FaultyFsTest, NthFaultFailsOnlyThatOperationOnThatPath) {
  faulty_.failOn(FsOperation::MakeFolder, "C:\\Album\\X", kDiskFull, 2);
  EXPECT_EQ(makeFolder("C:\\album"), kFsOk);
  EXPECT_EQ(makeFolder("C:\\album\\y"), kFsOk);  // another path is not counted
  EXPECT_EQ(makeFolder("c:/ALBUM/x"), kFsOk);    // first on the path: goes ahead
  fs::remove(c() / "album" / "x");
  EXPECT_EQ(makeFolder("C:\\album\\x"), kDiskFull);  // second: fails and does nothing
  EXPECT_FALSE(fs::exists(c() / "album" / "x"));
  EXPECT_EQ(makeFolder("C:\\album\\x"), kFsOk);  // third: goes ahead again
}

TEST_F(FaultyFsTest, EveryFaultAndAnyPath) {
  faulty_.failOn(FsOperation::OpenRead, "", kDeviceIoError);
  writeFile(c() / "a.txt", "a");
  std::unique_ptr<TextReader> reader;
  for (const char* path : {"C:\\a.txt", "C:\\b.txt", "C:\\a.txt"})
    EXPECT_EQ(takeInto(faulty_.openRead(path), reader).number, kDeviceIoError) << path;
  EXPECT_FALSE(reader);
  faulty_.clearFaults();
  EXPECT_TRUE(takeInto(faulty_.openRead("C:\\a.txt"), reader).ok());
}

TEST_F(FaultyFsTest, CopyMatchesTheDestinationAndRenameTheSource) {
  writeFile(c() / "a.txt", "a");
  faulty_.failOn(FsOperation::Copy, "C:\\copy.txt", kDiskFull);
  faulty_.failOn(FsOperation::Rename, "C:\\a.txt", kPathFileAccess);
  EXPECT_TRUE(faulty_.copyFile("C:\\copy.txt", "C:\\a2.txt").number == kFileNotFound);
  EXPECT_EQ(faulty_.copyFile("C:\\a.txt", "C:\\COPY.TXT").number, kDiskFull);
  EXPECT_FALSE(fs::exists(c() / "COPY.TXT"));
  EXPECT_EQ(faulty_.rename("C:\\a.txt", "C:\\b.txt").number, kPathFileAccess);
  EXPECT_TRUE(faulty_.rename("C:\\a2.txt", "C:\\a.txt").number == kFileNotFound);
  EXPECT_TRUE(fs::exists(c() / "a.txt"));
}

TEST_F(FaultyFsTest, WriteLineFaultsHitWritersOpenedOnThePath) {
  faulty_.failOn(FsOperation::WriteLine, "C:\\page.htm", kDiskFull, 3);
  std::unique_ptr<TextWriter> page, other;
  ASSERT_TRUE(takeInto(faulty_.openWrite("C:\\page.htm"), page).ok());
  ASSERT_TRUE(takeInto(faulty_.openWrite("C:\\other.htm"), other).ok());
  EXPECT_TRUE(page->writeLine("1").ok());
  EXPECT_TRUE(other->writeLine("x").ok());
  EXPECT_TRUE(page->writeLine("2").ok());
  EXPECT_EQ(page->writeLine("3").number, kDiskFull);
  EXPECT_TRUE(page->writeLine("4").ok());
  EXPECT_TRUE(page->close().ok());
  EXPECT_TRUE(other->close().ok());
  EXPECT_EQ(readFile(c() / "page.htm"), "1\r\n2\r\n4\r\n");
  EXPECT_EQ(readFile(c() / "other.htm"), "x\r\n");
}

TEST_F(FaultyFsTest, CloseFaultKeepsTheEarlierFile) {
  writeFile(c() / "page.htm", "old\r\n");
  faulty_.failOn(FsOperation::Close, "C:\\page.htm", kDeviceIoError, 1);
  std::unique_ptr<TextWriter> page;
  ASSERT_TRUE(takeInto(faulty_.openWrite("C:\\page.htm"), page).ok());
  EXPECT_TRUE(page->writeLine("new").ok());
  EXPECT_EQ(page->close().number, kDeviceIoError);
  EXPECT_EQ(page->close().number, kDeviceIoError);
  EXPECT_EQ(page->writeLine("late").number, kDeviceIoError);
  EXPECT_EQ(readFile(c() / "page.htm"), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(c()), fs::directory_iterator()), 1);
  // The second close on the path goes ahead.
  ASSERT_TRUE(takeInto(faulty_.openWrite("C:\\page.htm"), page).ok());
  EXPECT_TRUE(page->writeLine("new").ok());
  EXPECT_TRUE(page->close().ok());
  EXPECT_EQ(readFile(c() / "page.htm"), "new\r\n");
}

TEST_F(FaultyFsTest, ListAndWriteFaults) {
  fs::create_directories(c() / "sub");
  faulty_.failOn(FsOperation::ListFolder, "C:\\sub", kPathFileAccess);
  faulty_.failOn(FsOperation::OpenWrite, "C:\\sub\\w.htm", kPathFileAccess, 1);
  FolderListing listing{{DirEntry{"stale"}}, {}, {}};
  EXPECT_EQ(takeInto(faulty_.listFolder("C:\\sub"), listing).number, kPathFileAccess);
  EXPECT_EQ(listing.entries.size(), 1u);  // a failed listing hands out nothing
  std::unique_ptr<TextWriter> writer;
  EXPECT_EQ(takeInto(faulty_.openWrite("C:\\sub\\v.htm"), writer).number, kFsOk);  // another
  EXPECT_EQ(takeInto(faulty_.openWrite("C:\\sub\\w.htm"), writer).number, kPathFileAccess);
  EXPECT_EQ(takeInto(faulty_.openWrite("C:\\sub\\w.htm"), writer).number, kFsOk);  // once
}

}  // namespace
}  // namespace vortena
