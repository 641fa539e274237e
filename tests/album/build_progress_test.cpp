// The progress a scan and a build report: the count found while scanning, and the list
// position of the entry being placed against the list's length while building, running on
// across the pages of a paged build.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/album_fixture.h"
#include "support/program_folder.h"
#include "ui/headless/headless_window.h"

namespace vortena {
namespace {

class ProgressUser : public ScriptedUser {
 public:
  using ScriptedUser::ScriptedUser;
  void progress(long done, long total) override { seen.emplace_back(done, total); }
  std::vector<std::pair<long, long>> seen;
};

TEST(BuildProgress, ScanCountsAndPagedBuildRunsOverTheWholeList) {
  testing::TempFolder c, program;
  testing::writeProgramFolder(program.path());
  for (const char* name : {"a.jpg", "b.jpg", "sub/c.jpg"})
    testing::writeFile(c.path() / "foto" / name, name);
  RunnerOptions options;
  options.drives.set('C', c.path().string());
  options.drives.set('P', program.path().string());
  options.programFolder = program.path().string();
  std::ostringstream transcript;
  ProgressUser user(transcript, 1024);
  HeadlessWindow headless(options, user, user, user);
  headless.form().searchFolderBox->setText("C:\\foto");
  headless.form().pagePathBox->setText("C:\\foto\\index.htm");

  headless.window().click("cmdCONFERMA");
  using Seen = std::vector<std::pair<long, long>>;
  EXPECT_EQ(user.seen, (Seen{{1, 0}, {2, 0}, {3, 0}}));

  user.seen.clear();
  headless.form().entriesPerFolderBox->setText("2");
  headless.window().click("Command4");
  // Pages pag_1 (entries 1-2) and pag_2 (entry 3), then the index of the two pages.
  EXPECT_EQ(user.seen, (Seen{{1, 3}, {2, 3}, {3, 3}, {1, 2}, {2, 2}}));
}

}  // namespace
}  // namespace vortena
