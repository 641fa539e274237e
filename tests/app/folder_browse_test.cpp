#include "app/folder_browse.h"

#include <gtest/gtest.h>

#include "support/album_fixture.h"
#include "support/test_names.h"

namespace vortena {
namespace {

struct BrowseCase {
  std::string folderBox, pageBox, dialogResult;
  std::string startFolder;  // where the dialog opens
  std::string folderAfter, rootAfter, pageAfter;
};

// What the dialog hands back.
void PrintTo(const BrowseCase& c, std::ostream* os) { *os << testing::quotedText(c.dialogResult); }

class FolderBrowse : public ::testing::TestWithParam<BrowseCase> {};

TEST_P(FolderBrowse, MovesFolderRootAndPageIntoTheChosenFolder) {
  const BrowseCase& c = GetParam();
  testing::AlbumFixture fx;
  const Form& form = fx.form().form();
  form.searchFolderBox->setText(c.folderBox);
  form.pagePathBox->setText(c.pageBox);
  fx.user().queueDialogResult(c.dialogResult);
  ASSERT_TRUE(fx.window().click("Command3"));
  EXPECT_EQ(fx.transcript(),
            "beep\ndialog \"Ricerca cartelle/directory contenenti Foto/Film/Suoni\" " +
                quoteText(c.startFolder) + " -> " + quoteText(c.dialogResult) + "\n");
  EXPECT_EQ(form.searchFolderBox->text(), c.folderAfter);
  EXPECT_EQ(fx.session().job.rootFolder, c.rootAfter);
  EXPECT_EQ(form.pagePathBox->text(), c.pageAfter);
  EXPECT_EQ(form.mediaListBox->count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, FolderBrowse,
    ::testing::Values(
        BrowseCase{"C:\\VORTENA\\", "C:\\VORTENA\\index.htm", "D:\\foto\\viaggio\\a.jpg",
                   "C:\\VORTENA\\", "D:\\foto\\viaggio\\", "D:\\foto\\viaggio\\",
                   "D:\\foto\\viaggio\\index.htm"},
        // The last name of the folder box is taken for a file name.
        BrowseCase{"C:\\VORTENA\\foto", "C:\\VORTENA\\index.htm", "C:\\mare\\b.jpg",
                   "C:\\VORTENA\\", "C:\\mare\\", "C:\\mare\\", "C:\\mare\\index.htm"},
        BrowseCase{"C:\\VORTENA\\", "index.htm", "C:\\mare\\b.jpg", "C:\\VORTENA\\", "C:\\mare\\",
                   "C:\\mare\\", "C:\\mare\\index.htm"},
        // The result is trimmed; a "/" and what follows it are ignored.
        BrowseCase{"C:\\VORTENA\\", "C:\\x\\album.htm", "  C:\\mare\\b.jpg  ", "C:\\VORTENA\\",
                   "C:\\mare\\", "C:\\mare\\", "C:\\mare\\album.htm"},
        BrowseCase{"C:\\VORTENA\\", "C:\\x\\album.htm", "C:\\mare\\b.jpg/C:\\monti\\c.jpg",
                   "C:\\VORTENA\\", "C:\\mare\\", "C:\\mare\\", "C:\\mare\\album.htm"},
        // A result without a backslash keeps the old folder and still moves the page.
        BrowseCase{"C:\\VORTENA\\", "D:\\web\\index.htm", "b.jpg", "C:\\VORTENA\\", "C:\\VORTENA\\",
                   "C:\\VORTENA\\", "C:\\VORTENA\\index.htm"},
        // Cancelled (also a result of blanks): nothing moves, the root is the box's folder.
        BrowseCase{"C:\\VORTENA\\foto", "D:\\web\\index.htm", "", "C:\\VORTENA\\",
                   "C:\\VORTENA\\foto", "C:\\VORTENA\\", "D:\\web\\index.htm"},
        BrowseCase{"foto", "D:\\web\\index.htm", "   ", "", "foto", "", "D:\\web\\index.htm"}),
    testing::ReadableName(23));  // the test's long name leaves room for a short label only

}  // namespace
}  // namespace vortena
