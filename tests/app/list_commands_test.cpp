#include "app/list_commands.h"

#include <gtest/gtest.h>

#include "medialist/scan_tree.h"
#include "support/test_names.h"

namespace vortena {
namespace {

using testing::AlbumFixture;
using testing::listItems;
using testing::makeFiles;
using Items = std::vector<std::string>;

constexpr char kLoadTranscript[] = "pointer hourglass\nbeep\npointer default\n";
constexpr char kDialogTitle[] = "\"Ricerca cartelle/directory contenenti Foto/Film/Suoni\"";

const Form& controls(AlbumFixture& fx) { return fx.form().form(); }

void load(AlbumFixture& fx, const std::string& folder, const std::string& extension) {
  controls(fx).searchFolderBox->setText(folder);
  controls(fx).extensionBox->setText(extension);
  ASSERT_TRUE(fx.window().click("cmdCONFERMA"));
}

class ExtensionBoxWithDot : public ::testing::TestWithParam<std::string> {};

TEST_P(ExtensionBoxWithDot, IsRefusedWithoutAScan) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "VORTENA", {"a.jpg"});
  load(fx, "C:\\VORTENA\\", GetParam());
  EXPECT_EQ(fx.transcript(),
            "beep\nmessage \"Indicare solo l'estensione dei files da cercare !!!\"\n");
  EXPECT_EQ(controls(fx).mediaListBox->count(), 0);
  EXPECT_EQ(controls(fx).extensionBox->text(), GetParam());
  EXPECT_EQ(controls(fx).foundCountBox->text(), "");
}

INSTANTIATE_TEST_SUITE_P(LoadByExtension, ExtensionBoxWithDot,
                         ::testing::Values(".jpg", "*.*", "j.pg", " ."), testing::ReadableName());

TEST(LoadByExtension, CountsTheEntriesAndEnablesTheBuildButtons) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "VORTENA", {"a.jpg", "b.gif", "s/c.JPG"});
  load(fx, "C:\\VORTENA\\", "jpg");
  EXPECT_EQ(fx.takeTranscript(), kLoadTranscript);
  EXPECT_EQ(listItems(fx), (Items{"C:\\VORTENA\\a.jpg", "C:\\VORTENA\\s\\c.JPG"}));
  EXPECT_EQ(controls(fx).foundCountBox->text(), "2");
  EXPECT_TRUE(controls(fx).buildPageButton->enabled());
  EXPECT_TRUE(controls(fx).buildPagedButton->enabled());
  EXPECT_FALSE(controls(fx).viewButton->enabled());
  EXPECT_TRUE(controls(fx).loadByExtensionButton->enabled());
  EXPECT_TRUE(controls(fx).loadAllKnownButton->enabled());

  // A second load appends: entries and counter double.
  load(fx, "C:\\VORTENA\\", "jpg");
  EXPECT_EQ(controls(fx).mediaListBox->count(), 4);
  EXPECT_EQ(controls(fx).foundCountBox->text(), "4");
}

TEST(LoadByExtension, AFolderThatCannotBeReadEndsTheLoadNormally) {
  AlbumFixture fx;
  load(fx, "C:\\nowhere\\", "jpg");
  EXPECT_EQ(fx.transcript(), kLoadTranscript);
  EXPECT_EQ(controls(fx).foundCountBox->text(), "0");
  EXPECT_EQ(controls(fx).imagesPerRowBox->text(), "1");
  EXPECT_FALSE(controls(fx).buildPageButton->enabled());
  EXPECT_FALSE(controls(fx).buildPagedButton->enabled());
  EXPECT_TRUE(controls(fx).loadByExtensionButton->enabled());
  EXPECT_TRUE(controls(fx).loadAllKnownButton->enabled());
}

// How the folder box becomes the start folder of the scan.
struct StartFolderCase {
  std::string folderBox;
  Items expected;
};

void PrintTo(const StartFolderCase& c, std::ostream* os) {
  *os << testing::quotedText(c.folderBox);
}

class LoadStartFolder : public ::testing::TestWithParam<StartFolderCase> {};

TEST_P(LoadStartFolder, IsTrimmedAndLosesATypedPattern) {
  AlbumFixture fx;
  makeFiles(fx.driveC(), {"r.jpg", "VORTENA/a.jpg"});
  load(fx, GetParam().folderBox, "jpg");
  EXPECT_EQ(listItems(fx), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LoadByExtension, LoadStartFolder,
    ::testing::Values(StartFolderCase{"C:\\VORTENA\\*.*", {"C:\\VORTENA\\a.jpg"}},
                      StartFolderCase{"C:\\VORTENA\\*", {"C:\\VORTENA\\a.jpg"}},
                      StartFolderCase{"  C:\\VORTENA  ", {"C:\\VORTENA\\a.jpg"}},
                      // An empty box scans drive C: from its root.
                      StartFolderCase{"   ", {"c:\\r.jpg", "c:\\VORTENA\\a.jpg"}},
                      // A lone pattern leaves nothing: the root of the current drive.
                      StartFolderCase{"*", {"\\r.jpg", "\\VORTENA\\a.jpg"}}),
    testing::ReadableName());

TEST(LoadAllKnownTypes, PutsTheStarInTheExtensionBox) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "VORTENA", {"a.jpg", "b.mp3", "c.bmp", "d.png"});
  controls(fx).extensionBox->setText("mp3");
  ASSERT_TRUE(fx.window().click("cmdCONFERMA_Tutti"));
  EXPECT_EQ(fx.transcript(), kLoadTranscript);
  EXPECT_EQ(controls(fx).extensionBox->text(), "*");
  EXPECT_EQ(listItems(fx), (Items{"C:\\VORTENA\\a.jpg", "C:\\VORTENA\\c.bmp"}));
  EXPECT_EQ(controls(fx).foundCountBox->text(), "2");
}

// Images per row proposed from the number of entries and the screen width.
struct PerRowCase {
  int entries;
  int screenWidth;
  std::string expected;
};

void PrintTo(const PerRowCase& c, std::ostream* os) {
  *os << c.entries << " entries at " << c.screenWidth;
}

class ProposedImagesPerRow : public ::testing::TestWithParam<PerRowCase> {};

TEST_P(ProposedImagesPerRow, FollowTheCountAndTheScreen) {
  const PerRowCase& c = GetParam();
  AlbumFixture fx(VORTENA_RESOURCES_DIR, c.screenWidth);
  // Entries already in the list count as well as the ones the load finds.
  for (int i = 0; i < c.entries / 2; ++i) controls(fx).mediaListBox->addItem("C:\\old.jpg");
  for (int i = c.entries / 2; i < c.entries; ++i)
    testing::writeFile(fx.driveC() / "VORTENA" / ("p" + std::to_string(i) + ".jpg"), "x");
  controls(fx).imagesPerRowBox->setText("7");
  load(fx, "C:\\VORTENA\\", "jpg");
  EXPECT_EQ(controls(fx).foundCountBox->text(), std::to_string(c.entries));
  EXPECT_EQ(controls(fx).imagesPerRowBox->text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(LoadByExtension, ProposedImagesPerRow,
                         ::testing::Values(PerRowCase{54, 1024, "1"}, PerRowCase{55, 1024, "5"},
                                           PerRowCase{54, 640, "1"}, PerRowCase{55, 640, "4"},
                                           PerRowCase{55, 800, "5"}, PerRowCase{1, 640, "1"}),
                         testing::ReadableName());

class ListOfTwelveEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 1; i <= 12; ++i)
      controls(fx).mediaListBox->addItem("C:\\VORTENA\\" + std::to_string(i) + ".jpg");
    controls(fx).foundCountBox->setText("12");
  }
  AlbumFixture fx;
};

TEST_F(ListOfTwelveEntries, DeleteWithoutSelectionIsRefusedWithTheCount) {
  ASSERT_TRUE(fx.window().click("cmdCANC_FILE"));
  EXPECT_EQ(fx.transcript(),
            "beep\nmessage \"SELEZIONARE UN FILE IN ELENCO tra i possibili 12 files !!!\"\n");
  EXPECT_EQ(fx.session().job.entryCount, 12);
  EXPECT_EQ(controls(fx).mediaListBox->count(), 12);
}

TEST_F(ListOfTwelveEntries, DeleteAsksAndRemovesOnlyOnYes) {
  controls(fx).mediaListBox->setSelectedIndex(2);
  ASSERT_TRUE(fx.window().click("cmdCANC_FILE"));
  EXPECT_EQ(fx.takeTranscript(),
            "question \"Confermi la cancellazione di C:\\\\VORTENA\\\\3.jpg dal solo elenco "
            "(S/N) \" -> no\n");
  EXPECT_EQ(controls(fx).mediaListBox->count(), 12);

  fx.user().queueAnswer(true);
  ASSERT_TRUE(fx.window().click("cmdCANC_FILE"));
  EXPECT_EQ(controls(fx).mediaListBox->count(), 11);
  EXPECT_EQ(controls(fx).mediaListBox->item(2), "C:\\VORTENA\\4.jpg");
  EXPECT_EQ(controls(fx).foundCountBox->text(), "12");
  EXPECT_EQ(fx.session().job.entryCount, 12);
}

TEST(DeleteEntry, TheOnlyEntryLeavesAnEmptyListAndTheOldCounter) {
  AlbumFixture fx;
  makeFiles(fx.driveC() / "VORTENA", {"a.jpg"});
  load(fx, "C:\\VORTENA\\", "jpg");
  controls(fx).mediaListBox->setSelectedIndex(0);
  fx.user().queueAnswer(true);
  ASSERT_TRUE(fx.window().click("cmdCANC_FILE"));
  EXPECT_EQ(controls(fx).mediaListBox->count(), 0);
  EXPECT_EQ(controls(fx).foundCountBox->text(), "1");
  EXPECT_TRUE(controls(fx).buildPageButton->enabled());
}

TEST_F(ListOfTwelveEntries, NewListEmptiesOnlyTheList) {
  controls(fx).buildPageButton->setEnabled(true);
  controls(fx).buildPagedButton->setEnabled(true);
  fx.session().job.rootFolder = "C:\\VORTENA\\";
  ASSERT_TRUE(fx.window().click("Command2"));
  EXPECT_EQ(controls(fx).mediaListBox->count(), 0);
  EXPECT_EQ(controls(fx).foundCountBox->text(), "12");
  EXPECT_TRUE(controls(fx).buildPageButton->enabled());
  EXPECT_TRUE(controls(fx).buildPagedButton->enabled());
  EXPECT_EQ(fx.session().job.rootFolder, "C:\\VORTENA\\");
  EXPECT_EQ(fx.transcript(), "");
}

TEST(InsertFile, CancelledDialogAddsNothingButSetsTheRootFolder) {
  AlbumFixture fx;
  controls(fx).searchFolderBox->setText("C:\\VORTENA\\foto");
  ASSERT_TRUE(fx.window().click("cmdIns_File"));
  EXPECT_EQ(fx.transcript(),
            std::string("beep\ndialog ") + kDialogTitle + " \"C:\\\\VORTENA\\\\\" -> \"\"\n");
  EXPECT_EQ(controls(fx).mediaListBox->count(), 0);
  EXPECT_EQ(controls(fx).foundCountBox->text(), "");
  EXPECT_EQ(fx.session().job.rootFolder, "C:\\VORTENA\\");
  EXPECT_FALSE(controls(fx).buildPageButton->enabled());
}

TEST(InsertFile, AppendsTheChosenFileAndEnablesBuildAndView) {
  AlbumFixture fx;
  controls(fx).imagesPerRowBox->setText("3");
  fx.user().queueDialogResult("  D:\\suoni\\canto.WAV ");
  fx.user().queueDialogResult("D:\\suoni\\canto.WAV");
  ASSERT_TRUE(fx.window().click("cmdIns_File"));
  ASSERT_TRUE(fx.window().click("cmdIns_File"));
  EXPECT_EQ(listItems(fx), (Items{"D:\\suoni\\canto.WAV", "D:\\suoni\\canto.WAV"}));
  EXPECT_EQ(controls(fx).foundCountBox->text(), "2");
  EXPECT_TRUE(controls(fx).buildPageButton->enabled());
  EXPECT_TRUE(controls(fx).buildPagedButton->enabled());
  EXPECT_TRUE(controls(fx).viewButton->enabled());
  EXPECT_EQ(controls(fx).imagesPerRowBox->text(), "3");
  EXPECT_EQ(fx.session().job.rootFolder, "C:\\VORTENA\\");
}

}  // namespace
}  // namespace vortena
