// The folder cache under the Windows-semantics layer: changes made by another program are seen
// at the next operation, look-ups among many case twins give the right name without reading
// the folder again, and a copy is skipped only when its destination is the earlier copy of an
// unchanged source.
#include "fs/cache/folder_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "fs/host/host_files.h"
#include "fs/windows/windows_fs.h"
#include "support/album_fixture.h"
#include "support/test_names.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// Drive C: over a fresh host folder.
class FolderCacheTest : public ::testing::Test {
 protected:
  FolderCacheTest() : files_(drives()) {}
  DriveTable drives() {
    fs::create_directories(c());
    DriveTable table;
    table.set('C', c().string());
    return table;
  }
  fs::path c() const { return temp_.path() / "c"; }
  // The host path the layer finds for `path`, relative to drive C:'s folder.
  std::string found(const std::string& path) {
    return fs::path(files_.toHostPath(path).value_or("")).lexically_relative(c()).string();
  }
  bool exists(const std::string& path) {
    return files_.fileIdentity(path).ok();
  }

  TempFolder temp_;
  WindowsFileSystem files_;
};

// ---------------------------------------------------------------------------------------------
// A change by another program between two operations. The change is made with plain host calls,
// then the folder's modification time is put back into the second it had before, one
// nanosecond apart: the cache must see a change that a clock of whole seconds, or one tick of
// the kernel's coarse clock, would hide.
struct ForeignChange {
  const char* name;
  std::vector<const char*> files;  // made before, relative to C:
  const char* folder;              // the folder the change is made in, relative to C:
  std::function<void(const fs::path& c)> change;
  const char* path;      // looked up before and after the change
  const char* expected;  // the host name found after it, relative to C:
  bool exists;
};
void PrintTo(const ForeignChange& c, std::ostream* os) { *os << c.name; }

class ForeignChangeTest : public FolderCacheTest,
                          public ::testing::WithParamInterface<ForeignChange> {};

TEST_P(ForeignChangeTest, IsSeenAtTheNextOperation) {
  const ForeignChange& p = GetParam();
  for (const char* file : p.files) writeFile(c() / file, "x");
  found(p.path);  // the folders on the way are read into the cache
  exists(p.path);
  struct stat before;
  ASSERT_EQ(::stat((c() / p.folder).c_str(), &before), 0);
  p.change(c());
  timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
  times[1].tv_nsec ^= 1;
  ASSERT_EQ(::utimensat(AT_FDCWD, (c() / p.folder).c_str(), times, 0), 0);
  EXPECT_EQ(found(p.path), p.expected);
  EXPECT_EQ(exists(p.path), p.exists);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ForeignChangeTest,
    ::testing::Values(
        ForeignChange{"Created", {"a/other.jpg"}, "a",
                      [](const fs::path& c) { writeFile(c / "a" / "PHOTO.JPG", "new"); },
                      "C:\\A\\photo.jpg", "a/PHOTO.JPG", true},
        ForeignChange{"Removed", {"a/Photo.jpg"}, "a",
                      [](const fs::path& c) { ::unlink((c / "a" / "Photo.jpg").c_str()); },
                      "C:\\A\\photo.jpg", "a/photo.jpg", false},
        ForeignChange{"RenamedAway",
                      {"a/Photo.jpg"},
                      "a",
                      [](const fs::path& c) {
                        ::rename((c / "a" / "Photo.jpg").c_str(), (c / "a" / "Other.jpg").c_str());
                      },
                      "C:\\a\\PHOTO.JPG", "a/PHOTO.JPG", false},
        ForeignChange{"RenamedOntoTheName",
                      {"a/Other.jpg"},
                      "a",
                      [](const fs::path& c) {
                        ::rename((c / "a" / "Other.jpg").c_str(), (c / "a" / "Photo.jpg").c_str());
                      },
                      "C:\\a\\PHOTO.JPG", "a/Photo.jpg", true},
        // An exact spelling that appears beside a case variant is preferred from then on.
        ForeignChange{"ExactSpellingAppears", {"a/PHOTO.jpg"}, "a",
                      [](const fs::path& c) { writeFile(c / "a" / "photo.jpg", "exact"); },
                      "C:\\a\\photo.jpg", "a/photo.jpg", true},
        // A folder above, found in another spelling, renamed away: the path is missing.
        ForeignChange{"FolderAboveRenamed",
                      {"Trip/day/x.jpg"},
                      "",
                      [](const fs::path& c) {
                        ::rename((c / "Trip").c_str(), (c / "Gone").c_str());
                      },
                      "C:\\trip\\DAY\\x.jpg", "trip/DAY/x.jpg", false}),
    testing::ReadableName());

// Two changes in a row within the same folder and the same moment, without any help: seen
// where the file system gives a change after a stat a time of its own (the fine-grained
// timestamps of recent kernels). With a coarse clock this is the cache's known blind spot
// (fs/cache/folder_cache.h), and the test is skipped.
TEST_F(FolderCacheTest, ChangesInARowWithoutATouchAreSeen) {
  writeFile(c() / "a" / "x.jpg", "x");
  struct stat before, after;
  ASSERT_EQ(::stat((c() / "a").c_str(), &before), 0);
  writeFile(c() / "a" / "probe", "x");
  ASSERT_EQ(::stat((c() / "a").c_str(), &after), 0);
  ::unlink((c() / "a" / "probe").c_str());
  if (before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
      before.st_mtim.tv_nsec == after.st_mtim.tv_nsec)
    GTEST_SKIP() << "this file system's clock is coarser than two changes in a row";
  for (int round = 0; round < 20; ++round) {
    const fs::path name = c() / "a" / ("P" + std::to_string(round) + ".jpg");
    const std::string path = "C:\\a\\p" + std::to_string(round) + ".jpg";
    EXPECT_FALSE(exists(path)) << round;
    writeFile(name, "new");
    EXPECT_TRUE(exists(path)) << round;
    ::unlink(name.c_str());
    EXPECT_FALSE(exists(path)) << round;
  }
}

// The program's own changes of a folder, made on another thread, are not taken for another
// program's: while one is under way a look-up answers from the index without reading the
// folder. Once they are over, whatever way they ended, a change by another program is seen.
TEST_F(FolderCacheTest, OwnChangesUnderWayAreTrustedOnlyWhileUnderWay) {
  writeFile(c() / "a" / "x.jpg", "x");
  const std::string a = (c() / "a").string();
  ASSERT_TRUE(exists("C:\\a\\x.jpg"));
  ASSERT_FALSE(exists("C:\\a\\y.jpg"));  // the folder is read
  {
    PendingFile written(&folderCache()), dropped(&folderCache()), refused(&folderCache());
    ASSERT_TRUE(written.create(a, "w.jpg", "").ok());
    ASSERT_TRUE(written.commit().ok());
    ASSERT_TRUE(dropped.create(a, "d.jpg", "").ok());
    dropped.discard();
    writeFile(c() / "a" / "taken.jpg", "t");
    ASSERT_TRUE(refused.create(a, "taken.jpg", "").ok());
    ASSERT_EQ(refused.commitIfFree().number, kFileAlreadyExists);
  }  // and the last one goes without a commit
  {
    FolderCache::OwnChange underWay(folderCache(), a);
    const size_t reads = folderCache().reads();
    writeFile(c() / "a" / "Other.jpg", "o");
    EXPECT_FALSE(exists("C:\\a\\other.jpg"));  // taken for the change under way
    EXPECT_EQ(folderCache().reads(), reads);
  }
  EXPECT_TRUE(exists("C:\\a\\other.jpg"));
  EXPECT_TRUE(exists("C:\\a\\W.JPG"));
  EXPECT_FALSE(exists("C:\\a\\d.jpg"));
  {
    // A file written under a temporary name is one change from its creation until it takes its
    // name: the folder, changed by the hidden name, is not read meanwhile; once the name is
    // taken, a change by another program is seen though the object lives on.
    PendingFile pending(&folderCache());
    ASSERT_TRUE(pending.create(a, "p.jpg", "").ok());
    const size_t reads = folderCache().reads();
    EXPECT_TRUE(exists("C:\\a\\X.JPG"));
    ASSERT_TRUE(pending.commit().ok());
    EXPECT_TRUE(exists("C:\\a\\P.JPG"));
    EXPECT_EQ(folderCache().reads(), reads);
    writeFile(c() / "a" / "q.jpg", "q");
    EXPECT_TRUE(exists("C:\\a\\Q.JPG"));
  }
}

// ---------------------------------------------------------------------------------------------
// 20,000 names in one folder that differ only in letter case or in their digits.
TEST_F(FolderCacheTest, FindsTheRightOneOfTwentyThousandCaseTwinsWithOneRead) {
  fs::create_directories(c() / "many");
  const char* spellings[] = {"img_%05d.jpg", "IMG_%05d.JPG", "Img_%05d.jpg", "img_%05d.JPG"};
  char name[32];
  for (int i = 0; i < 5000; ++i)
    for (const char* spelling : spellings) {
      std::snprintf(name, sizeof name, spelling, i);
      const int fd = ::open((c() / "many" / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      ASSERT_GE(fd, 0) << name;
      ::close(fd);
    }
  struct Lookup {
    const char* asked;
    const char* expected;  // relative to C:\many; the asked name when missing
    bool exists;
  };
  // Byte order: "IMG_" < "Img_" < "img_", and ".JPG" < ".jpg".
  const Lookup lookups[] = {
      {"img_01234.jpg", "img_01234.jpg", true},   // exact spellings are taken as they are
      {"Img_01234.jpg", "Img_01234.jpg", true},   //
      {"img_01234.JPG", "img_01234.JPG", true},   //
      {"iMG_01234.Jpg", "IMG_01234.JPG", true},   // else the first variant in byte order
      {"img_01243.jpg", "img_01243.jpg", true},   // digits swapped: another name
      {"IMG_1234.JPG", "IMG_1234.JPG", false},    // a digit short
      {"img_05000.jpg", "img_05000.jpg", false},  // one past the last
  };
  const std::size_t readsBefore = folderCache().reads();
  for (int pass = 0; pass < 2; ++pass)
    for (const Lookup& l : lookups) {
      EXPECT_EQ(found(std::string("C:\\many\\") + l.asked), std::string("many/") + l.expected)
          << l.asked;
      EXPECT_EQ(exists(std::string("C:\\MANY\\") + l.asked), l.exists) << l.asked;
    }
  // Every miss and every case variant came from one listing of each folder, read at the first
  // look-up in it: the drive's folder (for "MANY") and the folder of names.
  EXPECT_EQ(folderCache().reads() - readsBefore, 2u);
  // The program's own rename keeps the index in step: the variant first in order goes, the
  // next one takes its place, without a read.
  ASSERT_TRUE(files_.rename("C:\\many\\IMG_01234.JPG", "C:\\many\\renamed.jpg").ok());
  EXPECT_EQ(found("C:\\many\\iMG_01234.Jpg"), "many/Img_01234.jpg");
  EXPECT_EQ(found("C:\\many\\RENAMED.JPG"), "many/renamed.jpg");
  EXPECT_EQ(folderCache().reads() - readsBefore, 2u);
}

// Memory stays bounded: past the cache's room the folders used longest ago go, and the one a
// build keeps coming back to (its source folder) stays, so it is not read again each time.
TEST_F(FolderCacheTest, DropsTheFoldersUsedLongestAgoAndKeepsTheOneInUse) {
  const auto makeFolder = [this](const std::string& name, int files) {
    fs::create_directories(c() / name);
    for (int i = 0; i < files; ++i) writeFile(c() / name / ("f" + std::to_string(i)), "");
    struct stat st;
    EXPECT_EQ(::stat((c() / name).c_str(), &st), 0);
    return st;
  };
  FolderCache cache(1000);
  const struct stat big = makeFolder("big", 600);
  std::vector<struct stat> small;
  for (int i = 0; i < 30; ++i) small.push_back(makeFolder("s" + std::to_string(i), 50));
  const auto find = [&](const std::string& folder, const struct stat& st, const char* name) {
    return cache.find((c() / folder).string(), &st, name);
  };
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(find("big", big, "F599"), "f599");
    EXPECT_EQ(find("s" + std::to_string(i), small[i], "F49"), "f49");
  }
  EXPECT_EQ(cache.reads(), 31u);  // each folder once, the big one never again
  EXPECT_EQ(find("s0", small[0], "F0"), "f0");
  EXPECT_EQ(cache.reads(), 32u);  // the first small folder was dropped long ago
  EXPECT_EQ(find("big", big, "f0"), "f0");
  EXPECT_EQ(cache.reads(), 32u);
}

// The names the program adds count as those read: the entry folders a build has completed go
// once the room is full, and a folder of more than half the room (the album beside them) stays
// though others were used since.
TEST_F(FolderCacheTest, NamesTheProgramAddsCountTowardsTheRoom) {
  FolderCache cache(1000);
  const auto make = [&cache](const fs::path& folder, int files, bool asFolders) {
    fs::create_directories(folder);
    cache.madeEmpty(folder.string());
    for (int k = 0; k < files; ++k) {
      const std::string name = "f" + std::to_string(k);
      if (asFolders)
        fs::create_directory(folder / name);
      else
        writeFile(folder / name, "");
      cache.added(folder.string(), name, true, asFolders);
    }
  };
  make(c() / "album", 600, true);
  for (int i = 0; i < 30; ++i) make(c() / ("dir_" + std::to_string(i)), 50, false);
  const auto find = [&cache](const std::string& folder, const char* name, bool* isFolder) {
    struct stat st;
    EXPECT_EQ(::stat(folder.c_str(), &st), 0);
    return cache.find(folder, &st, name, isFolder);
  };
  bool isFolder = false;
  EXPECT_EQ(find((c() / "album").string(), "F599", &isFolder), "f599");
  EXPECT_TRUE(isFolder);
  EXPECT_EQ(find((c() / "dir_29").string(), "F49", &isFolder), "f49");
  EXPECT_FALSE(isFolder);
  EXPECT_EQ(cache.reads(), 0u);  // all known from the program's own changes
  EXPECT_EQ(find((c() / "dir_0").string(), "F49", nullptr), "f49");
  EXPECT_EQ(cache.reads(), 1u);  // completed long ago, and dropped
}

// Listings the scan hands over are indexed only when looked in, and count towards the room as
// they are: the first of 30 folders of 50 names is gone from a room of 1,000, the last one
// answers (its folders as folders) without a read.
TEST_F(FolderCacheTest, RememberedListingsCountTowardsTheRoomBeforeTheyAreIndexed) {
  FolderCache cache(1000);
  for (int i = 0; i < 30; ++i) {
    const fs::path folder = c() / ("s" + std::to_string(i));
    fs::create_directories(folder / "Sub");
    FolderNames names;
    names.add("Sub", true);
    for (int k = 0; k < 49; ++k) {
      names.add("f" + std::to_string(k), false);
      writeFile(folder / ("f" + std::to_string(k)), "");
    }
    struct stat st;
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    cache.remember(folder.string(), st, names);
  }
  const auto find = [&cache, this](const char* folder, const char* name, bool* isFolder) {
    struct stat st;
    EXPECT_EQ(::stat((c() / folder).c_str(), &st), 0);
    return cache.find((c() / folder).string(), &st, name, isFolder);
  };
  bool isFolder = false;
  EXPECT_EQ(find("s29", "SUB", &isFolder), "Sub");
  EXPECT_TRUE(isFolder);
  EXPECT_EQ(find("s29", "F48", &isFolder), "f48");
  EXPECT_FALSE(isFolder);
  EXPECT_EQ(cache.reads(), 0u);
  EXPECT_EQ(find("s0", "F48", nullptr), "f48");
  EXPECT_EQ(cache.reads(), 1u);
}

// ---------------------------------------------------------------------------------------------
// A second copy onto the first one: skipped only when the source is the one copied before.
struct SourceChange {
  const char* name;
  std::function<void(const fs::path& source)> change;
  bool copiedAgain;
};
void PrintTo(const SourceChange& c, std::ostream* os) { *os << c.name; }

class RebuildCopyTest : public FolderCacheTest,
                        public ::testing::WithParamInterface<SourceChange> {};

// Replaces the file with `bytes` through a new inode, as a program saving a picture does, and
// gives it the modification time `mtime` (the current time when null).
void replaceFile(const fs::path& file, const std::string& bytes, const timespec* mtime) {
  const fs::path fresh = file.string() + ".new";
  writeFile(fresh, bytes);
  if (mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, *mtime};
    ASSERT_EQ(::utimensat(AT_FDCWD, fresh.c_str(), times, 0), 0);
  }
  ASSERT_EQ(::rename(fresh.c_str(), file.c_str()), 0);
}

timespec modified(const fs::path& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
  return st.st_mtim;
}

TEST_P(RebuildCopyTest, CopiesAgainExactlyWhenTheSourceChanged) {
  const fs::path source = c() / "src" / "p.jpg", copy = c() / "album" / "p.jpg";
  writeFile(source, "first picture");
  fs::create_directories(c() / "album");
  ASSERT_TRUE(files_.copyFile("C:\\src\\p.jpg", "C:\\album\\p.jpg").ok());
  struct stat first;
  ASSERT_EQ(::stat(copy.c_str(), &first), 0);

  GetParam().change(source);
  ASSERT_TRUE(files_.copyFile("C:\\src\\p.jpg", "C:\\album\\p.jpg").ok());
  struct stat second;
  ASSERT_EQ(::stat(copy.c_str(), &second), 0);
  EXPECT_EQ(second.st_ino != first.st_ino, GetParam().copiedAgain);
  EXPECT_EQ(readFile(copy), readFile(source));
  const timespec a = modified(source), b = modified(copy);
  EXPECT_TRUE(a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RebuildCopyTest,
    ::testing::Values(
        SourceChange{"Unchanged", [](const fs::path&) {}, false},
        SourceChange{"OtherSize",
                     [](const fs::path& s) { replaceFile(s, "another, longer picture", nullptr); },
                     true},
        SourceChange{"SameSizeNewerTime",
                     [](const fs::path& s) {
                       timespec later = modified(s);
                       later.tv_sec += 5;
                       replaceFile(s, "other picture", &later);
                     },
                     true},
        // The blind spot of size and time alone: other bytes, same size, the old time put back.
        SourceChange{"SameSizeAndTimeOtherBytes",
                     [](const fs::path& s) {
                       const timespec old = modified(s);
                       replaceFile(s, "other picture", &old);
                     },
                     true},
        // The same bytes rewritten in place with the old time: copied again all the same.
        SourceChange{"RewrittenInPlaceSameTime",
                     [](const fs::path& s) {
                       const timespec old = modified(s);
                       writeFile(s, "FIRST picture");
                       const timespec times[2] = {{0, UTIME_OMIT}, old};
                       ::utimensat(AT_FDCWD, s.c_str(), times, 0);
                     },
                     true}),
    testing::ReadableName());

}  // namespace
}  // namespace vortena
