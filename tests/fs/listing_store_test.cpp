// Listings kept from one scan of a tree to the next: an unchanged folder is served from the store,
// and every change made to the tree between two scans, by any means, is seen by the second.
#include "fs/cache/listing_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "fs/host/stamp_clock.h"
#include "fs/windows/windows_fs.h"
#include "support/album_fixture.h"
#include "support/loop_mount.h"
#include "support/test_names.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::writeFile;

// Drive C: over a fresh host folder, and a cache folder of the test's own.
class ListingStoreTest : public ::testing::Test {
 protected:
  ListingStoreTest() {
    fs::create_directories(c());
    const char* earlier = std::getenv("XDG_CACHE_HOME");
    earlierCache_ = earlier ? std::optional<std::string>(earlier) : std::nullopt;
    // Two folders of the way are missing: the program makes them.
    ::setenv("XDG_CACHE_HOME", (temp_.path() / "cache" / "home").c_str(), 1);
  }
  ~ListingStoreTest() override {
    if (earlierCache_)
      ::setenv("XDG_CACHE_HOME", earlierCache_->c_str(), 1);
    else
      ::unsetenv("XDG_CACHE_HOME");
  }
  fs::path c() const { return temp_.path() / "c"; }
  fs::path stores() const { return temp_.path() / "cache" / "home" / "vortena"; }
  DriveTable drives() const {
    DriveTable table;
    table.set('C', c().string());
    return table;
  }
  // A change made now lies in an earlier tick of the file system's clock than a scan that
  // starts after this.
  static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

  // The tree at `path` as a scan walks it, each folder's names one line ("sub/" for a folder);
  // with `keep`, through the kept listings, and `served` tells how many folders they served.
  std::string scan(const std::string& path, bool keep = true, size_t* served = nullptr) {
    WindowsFileSystem files(drives());
    std::optional<TreeListing> tree;
    if (keep) tree.emplace(files, path);
    std::string text;
    std::function<void(const std::string&)> walk = [&](const std::string& folder) {
      std::vector<DirEntry> names;
      text += folder + ":";
      const Expected<FolderListing> listing = files.listFolder(folder);
      if (listing.ok())
        names = listing->entries;
      else
        text += " (unreadable)";
      for (const DirEntry& entry : names) text += " " + entry.name + (entry.isFolder ? "/" : "");
      text += "\n";
      for (const DirEntry& entry : names)
        if (entry.isFolder) walk(folder + "\\" + entry.name);
    };
    walk(path);
    if (served && files.treeListings()) *served = files.treeListings()->served();
    tree.reset();
    return text;
  }

  TempFolder temp_;
  std::optional<std::string> earlierCache_;
};

// ---------------------------------------------------------------------------------------------
// A change between two scans. The changed folder's modification time is put back as it was, so
// that only its status change time tells of the change, as with a program that keeps times.
struct TreeChange {
  const char* name;
  const char* folder;  // where the change is made, relative to C:\t
  std::function<void(const fs::path& t)> change;
};
void PrintTo(const TreeChange& c, std::ostream* os) { *os << c.name; }

class TreeChangeTest : public ListingStoreTest, public ::testing::WithParamInterface<TreeChange> {};

TEST_P(TreeChangeTest, IsSeenByTheNextScan) {
  const fs::path t = c() / "t";
  for (const char* file : {"a/p1.jpg", "a/p2.jpg", "b/q1.jpg", "b/deep/r1.jpg", "top.jpg"})
    writeFile(t / file, "x");
  fs::create_directories(c() / "elsewhere" / "target");
  fs::create_symlink(c() / "elsewhere" / "target", t / "link");
  settle();
  size_t served = 99;
  EXPECT_EQ(scan("C:\\t", true, &served), scan("C:\\t", false));
  EXPECT_EQ(served, 0u);
  // The folders are served from the store (the one the link leads to among them), but for the
  // one holding the link, which is read again.
  EXPECT_EQ(scan("C:\\t", true, &served), scan("C:\\t", false));
  EXPECT_EQ(served, 4u);

  const fs::path folder = t / GetParam().folder;
  struct stat before;
  ASSERT_EQ(::stat(folder.c_str(), &before), 0);
  GetParam().change(t);
  const timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
  ::utimensat(AT_FDCWD, folder.c_str(), times, 0);
  const std::string now = scan("C:\\t", false);
  EXPECT_EQ(scan("C:\\t", true, &served), now);
  EXPECT_GE(served, 2u);  // the folders the change did not touch
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TreeChangeTest,
    ::testing::Values(
        TreeChange{"FileAdded", "a", [](const fs::path& t) { writeFile(t / "a" / "p3.jpg", "y"); }},
        TreeChange{"FileRemoved", "a", [](const fs::path& t) { fs::remove(t / "a" / "p2.jpg"); }},
        // Same length, same folder size and link count: only the change time moves.
        TreeChange{"FileRenamed", "a",
                   [](const fs::path& t) { fs::rename(t / "a" / "p2.jpg", t / "a" / "P9.jpg"); }},
        TreeChange{"FileReplacedByAFolder", "a",
                   [](const fs::path& t) {
                     fs::remove(t / "a" / "p1.jpg");
                     fs::create_directory(t / "a" / "p1.jpg");
                   }},
        TreeChange{"FolderRenamed", ".", [](const fs::path& t) { fs::rename(t / "b", t / "c"); }},
        TreeChange{"DeepFolderEmptied", "b/deep",
                   [](const fs::path& t) { fs::remove(t / "b" / "deep" / "r1.jpg"); }},
        // The folder holding the link does not change at all: what the link leads to becomes a
        // file, which only a listing read afresh can tell.
        TreeChange{"LinkNowLeadsToAFile", "../elsewhere",
                   [](const fs::path& t) {
                     const fs::path target = t / ".." / "elsewhere" / "target";
                     fs::remove(target);
                     writeFile(target, "now a file");
                   }}),
    testing::ReadableName());

// A store that is cut short, foreign or empty is a scan without it, and is written afresh.
TEST_F(ListingStoreTest, ADamagedStoreIsAScanWithoutIt) {
  for (const char* file : {"a/p1.jpg", "b/q1.jpg"}) writeFile(c() / "t" / file, "x");
  settle();
  const std::string tree = scan("C:\\t", false);
  scan("C:\\t");
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(stores())) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  const std::string whole = testing::readFile(files[0]);
  ASSERT_GT(whole.size(), 40u);
  // One byte of a stored name changed, the length kept: that listing alone is a miss.
  std::string flipped = whole;
  const size_t name = flipped.find("p1.jpg");
  ASSERT_NE(name, std::string::npos);
  flipped[name + 1] = '7';
  struct Damage {
    std::string bytes;
    size_t served;  // the listings the damaged store still serves
  };
  for (const Damage& damaged :
       {Damage{whole.substr(0, whole.size() - 5), 0}, Damage{whole.substr(0, 30), 0},
        Damage{std::string(), 0}, Damage{"not a store at all\n" + whole.substr(19), 0},
        Damage{flipped, 2}}) {
    writeFile(files[0], damaged.bytes);
    size_t served = 99;
    EXPECT_EQ(scan("C:\\t", true, &served), tree);
    EXPECT_EQ(served, damaged.served);
    scan("C:\\t");  // written afresh: it serves the next scan
    EXPECT_EQ(scan("C:\\t", true, &served), tree);
    EXPECT_EQ(served, 3u);
  }
}

// Kept only when it can tell no lie: the folder's last change lay in an earlier granule of the
// file system's clock than the read, and no name is a link or of unknown type.
TEST_F(ListingStoreTest, KeepsOnlyListingsThatCannotTurnStale) {
  fs::create_directories(c() / "f");
  struct stat st;
  ASSERT_EQ(::stat((c() / "f").c_str(), &st), 0);
  const std::int64_t granule = timeGranule((c() / "f").string(), st);
  ASSERT_LT(granule, kNeverSettles);
  const auto after = [&st](std::int64_t ns) {
    const std::int64_t at = std::max(nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)) + ns;
    return timespec{static_cast<time_t>(at / 1000000000), static_cast<long>(at % 1000000000)};
  };
  struct Case {
    const char* name;
    timespec before;
    unsigned char type;
    bool kept;
  };
  for (const Case& k : {Case{"settled", after(granule), DT_REG, true},
                        Case{"changed in the granule of the read", after(granule - 1), DT_REG,
                             false},
                        Case{"a link", after(granule), DT_LNK, false},
                        Case{"a name of unknown type", after(granule), DT_UNKNOWN, false}}) {
    {
      ListingStore store("/the/tree", stores().string());
      store.put((c() / "f").string(), st, k.before, {{"one.jpg", DT_REG, 1}, {"x", k.type, 2}});
      EXPECT_TRUE(store.save().ok()) << k.name;
    }
    ListingStore next("/the/tree", stores().string());
    const std::vector<RawEntry>* found = next.find((c() / "f").string(), st);
    EXPECT_EQ(found != nullptr, k.kept) << k.name;
    if (found) {
      ASSERT_EQ(found->size(), 2u);
      EXPECT_EQ((*found)[0].name, "one.jpg");
      EXPECT_EQ((*found)[1].inode, 2u);
    }
  }
}

// On a disk that keeps whole seconds (ext4 with small inodes, like many sticks and cards keep
// two), a name made, removed or renamed in the very second of a scan is seen by the next scan.
TEST_F(ListingStoreTest, ChangeInTheSecondOfAScanIsSeenOnAWholeSecondDisk) {
  testing::LoopMount disk("mkfs.ext4 -q -I 128", 8);
  SKIP_UNLESS_MOUNTED(disk);
  DriveTable table;
  table.set('D', disk.path().string());
  const fs::path t = disk.path() / "t";
  const auto scanD = [&table](bool keep) {
    WindowsFileSystem files(table);
    std::optional<TreeListing> tree;
    if (keep) tree.emplace(files, "D:\\t");
    std::string text;
    if (const Expected<FolderListing> listing = files.listFolder("D:\\t"); listing.ok())
      for (const DirEntry& entry : listing->entries) text += entry.name + " ";
    tree.reset();
    return text;
  };
  const std::function<void()> changes[] = {
      [&t] { writeFile(t / "new.jpg", "n"); },
      [&t] { fs::remove(t / "a.jpg"); },
      [&t] { fs::rename(t / "a.jpg", t / "z.jpg"); },
  };
  for (const auto& change : changes) {
    fs::remove_all(t);
    writeFile(t / "a.jpg", "a");
    // The scan and the change both in the second of the folder's last change, early in it.
    testing::waitForTheStartOfASecond();
    writeFile(t / "b.jpg", "b");
    scanD(true);
    change();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(scanD(true), scanD(false));
  }
}

// The stores of the trees scanned longest ago go, the one just written stays.
TEST_F(ListingStoreTest, KeepsTheNewestStoresOnly) {
  fs::create_directories(stores());
  const size_t extra = ListingStore::kMaxStores + 4;
  for (size_t i = 0; i < extra; ++i) {
    const fs::path file = stores() / ("listings-old" + std::to_string(100 + i));
    writeFile(file, "vortena listings 1\n");
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(1000000 + i), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  }
  writeFile(stores() / "not-a-store", "kept");
  fs::create_directories(c() / "f");
  struct stat st;
  ASSERT_EQ(::stat((c() / "f").c_str(), &st), 0);
  ListingStore store("/a/tree", stores().string());
  store.put((c() / "f").string(), st, {st.st_ctim.tv_sec + 1, 0}, {{"one.jpg", DT_REG, 1}});
  ASSERT_TRUE(store.save().ok());
  std::vector<std::string> left = testing::hostNames(stores());
  EXPECT_EQ(left.size(), ListingStore::kMaxStores + 1);  // and not-a-store
  EXPECT_TRUE(fs::exists(store.file()));
  EXPECT_TRUE(fs::exists(stores() / "not-a-store"));
  for (size_t i = 0; i < 5; ++i)  // the five oldest went
    EXPECT_FALSE(fs::exists(stores() / ("listings-old" + std::to_string(100 + i)))) << i;
}

}  // namespace
}  // namespace vortena
