// The copies made on a thread of their own beside the page pass: their results come back in
// the order they were asked for, every message waits for the copies queued before it, and the
// end of the program in the middle of a build leaves no half-made file.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "page_writer_fixture.h"
#include "pagewriter/copy_queue.h"
#include "support/faulty_fs.h"

namespace vortena::testing {
namespace {

namespace fs = std::filesystem;

// Big enough that the copy thread is still at it when the pass has gone on.
const std::string kBigPicture(32 << 20, 'x');

// Failures and actions delivered in the order queued, also while the copy thread is still at a
// copy queued before them; only the copies queued are made, each whole.
TEST(CopyQueueTest, ResultsAndActionsComeBackInTheOrderQueued) {
  AlbumFixture fx;
  writeFile(fx.driveC() / "big.jpg", kBigPicture);
  writeFile(fx.driveC() / "small.jpg", "small");
  FaultyFileSystem faulty(fx.relativeFs());
  faulty.failOn(FsOperation::Copy, "C:\\out\\bad1.jpg", kDeviceIoError);
  faulty.failOn(FsOperation::Copy, "C:\\out\\bad2.jpg", kPathFileAccess);
  fs::create_directories(fx.driveC() / "out");

  std::vector<std::string> told;
  {
    CopyQueue copies(faulty, fx.user());
    const auto failed = [&told](std::string name) {
      return [&told, name](FsStatus status) {
        told.push_back(name + " " + std::to_string(status.number));
      };
    };
    copies.copy("C:\\big.jpg", "C:\\out\\big.jpg", failed("big"));
    copies.copy("C:\\small.jpg", "C:\\out\\bad1.jpg", failed("bad1"));
    copies.then([&told] { told.push_back("first action"); });
    copies.copy("C:\\small.jpg", "C:\\out\\small.jpg", failed("small"));
    copies.copy("C:\\small.jpg", "C:\\out\\bad2.jpg", failed("bad2"));
    copies.then([&told] { told.push_back("second action"); });
    // Nothing is delivered ahead of the big copy, which is still under way.
    copies.deliverReady();
    EXPECT_TRUE(told.empty() || told.front() == "bad1 57");
    copies.deliver();
  }
  EXPECT_EQ(told, (std::vector<std::string>{"bad1 57", "first action", "bad2 75", "second action"}));
  EXPECT_EQ(readFile(fx.driveC() / "out" / "big.jpg"), kBigPicture);
  EXPECT_EQ(readFile(fx.driveC() / "out" / "small.jpg"), "small");
  EXPECT_EQ(hostNames(fx.driveC() / "out"), (std::vector<std::string>{"big.jpg", "small.jpg"}));
}

// Copies are made by more than one thread, but two copies that share a file are made in the
// order queued: the later copy onto the same name wins, and a copy of a file another copy
// writes gets what that one wrote. The first copy of each pair is big, so that a second
// thread would otherwise finish the other one first.
TEST(CopyQueueTest, CopiesThatShareAFileAreMadeInTheOrderQueued) {
  AlbumFixture fx;
  writeFile(fx.driveC() / "big.jpg", kBigPicture);
  writeFile(fx.driveC() / "small.jpg", "small");
  fs::create_directories(fx.driveC() / "out");
  std::vector<std::string> told;
  {
    CopyQueue copies(fx.fs(), fx.user());
    const auto failed = [&told](std::string to) {
      return [&told, to](FsStatus status) {
        told.push_back(to + " " + std::to_string(status.number));
      };
    };
    copies.copy("C:\\big.jpg", "C:\\out\\same.jpg", failed("same"));
    copies.copy("C:\\small.jpg", "C:\\OUT\\SAME.JPG", failed("SAME"));
    copies.copy("C:\\big.jpg", "C:\\out\\first.jpg", failed("first"));
    copies.copy("C:\\out\\first.jpg", "C:\\out\\second.jpg", failed("second"));
    copies.deliver();
  }
  EXPECT_EQ(told, std::vector<std::string>{});
  // The later copy's spelling and bytes.
  EXPECT_EQ(readFile(fx.driveC() / "out" / "SAME.JPG"), "small");
  EXPECT_TRUE(readFile(fx.driveC() / "out" / "second.jpg") == kBigPicture);
  EXPECT_EQ(hostNames(fx.driveC() / "out"),
            (std::vector<std::string>{"SAME.JPG", "first.jpg", "second.jpg"}));
}

// The copies are made behind the thread that queues them, which keeps its own priority (the
// build's thread, and the window it serves): a priority set for the whole process would lower
// that thread too.
TEST(CopyQueueTest, CopiesRunBehindTheThreadThatQueuesThem) {
  AlbumFixture fx;
  writeFile(fx.driveC() / "a.jpg", "a");
  fs::create_directories(fx.driveC() / "out");
  struct Watching : FaultyFileSystem {
    using FaultyFileSystem::FaultyFileSystem;
    FsStatus copyFile(const std::string& from, const std::string& to, EarlierCopy keep) override {
      {
        std::lock_guard lock(mutex);
        seen.push_back(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())));
      }
      return FaultyFileSystem::copyFile(from, to, keep);
    }
    std::mutex mutex;
    std::vector<int> seen;
  } watching(fx.fs());
  const auto self = static_cast<id_t>(::gettid());
  const int queuers = ::getpriority(PRIO_PROCESS, self);
  {
    CopyQueue copies(watching, fx.user());
    for (int i = 0; i < 8; ++i)
      copies.copy("C:\\a.jpg", "C:\\out\\a" + std::to_string(i) + ".jpg", {});
    copies.deliver();
  }
  EXPECT_EQ(::getpriority(PRIO_PROCESS, self), queuers);
  ASSERT_EQ(watching.seen.size(), 8u);
  for (int seen : watching.seen) EXPECT_TRUE(seen > queuers || queuers == 19) << seen;
  EXPECT_EQ(readFile(fx.driveC() / "out" / "a7.jpg"), "a");
}

// The copy of a navigation picture fails on the copy thread, behind a big copy still under
// way, and the slideshow page then fails on the pass's own thread: the user is told in that
// order, as the build went.
TEST_F(PageWriterTest, ACopysFailureIsToldBeforeWhatThePassTellsAfterIt) {
  addEntry("C:\\foto\\big.jpg", false);
  writeFile(fx.driveC() / "foto" / "big.jpg", kBigPicture);
  removeProgramFile("puls_sx3.jpg");
  fs::create_directories(fx.driveC() / "album" / "dir_0001" / "menu.htm");
  run();
  const std::string told = fx.transcript();
  const size_t copy = told.find("Errore nella copia dell'immagine puls_sx3.jpg");
  const size_t page = told.find("Errore in registrazione Elenco c:\\\\album\\\\dir_0001");
  ASSERT_NE(copy, std::string::npos) << told;
  ASSERT_NE(page, std::string::npos) << told;
  EXPECT_LT(copy, page) << told;
  EXPECT_EQ(onC("album/dir_0001/img_001.jpg"), kBigPicture);
}

// The end button pressed while the window processes its events, with copies under way: the
// program ends there, and every file of the album is whole (a copy either arrived or left
// nothing); no hidden file of the program stays behind.
TEST_F(PageWriterTest, EndOfTheProgramDuringTheCopiesLeavesNoHalfMadeFile) {
  form().entriesPerFolderBox->setText("1");
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    addEntry("C:\\foto\\" + name, false);
    writeFile(fx.driveC() / "foto" / name, std::string(8 << 20, static_cast<char>('a' + i)));
  }
  // The scripted user, who presses the end button at the third entry.
  struct EndAtThirdEntry : Ui {
    explicit EndAtThirdEntry(ScriptedUser& user) : user(user) {}
    ScriptedUser& user;
    int entries = 0;
    void beep() override { user.beep(); }
    void message(const std::string& text) override { user.message(text); }
    bool question(const std::string& text) override { return user.question(text); }
    void setPointer(Pointer pointer) override { user.setPointer(pointer); }
    void processEvents() override {
      if (++entries == 3) std::exit(0);
    }
    int screenWidth() const override { return user.screenWidth(); }
    void endProgram() override { user.endProgram(); }
  } ending(fx.user());
  fx.session().services.ui = &ending;
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
  const auto files = filesBelow(fx.driveC() / "album");
  for (const auto& [name, bytes] : files) {
    EXPECT_EQ(name.find(".vortena-"), std::string::npos) << name;
    if (name.find("img_") != std::string::npos) {
      EXPECT_TRUE(bytes.size() == (8u << 20) &&
                  bytes.find_first_not_of(bytes[0]) == std::string::npos)
          << name;
    }
  }
  EXPECT_EQ(files.count("index.htm"), 0u);  // the build ended in the middle
}

}  // namespace
}  // namespace vortena::testing
