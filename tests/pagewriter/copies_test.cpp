// Copies into the entry folders and the messages of the copies that fail.
#include "page_writer_fixture.h"

namespace vortena::testing {
namespace {

class CopyCaseTest : public PageWriterTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) upperCase();
  }
  std::string inCase(const std::string& lower) { return GetParam() ? toUpperAscii(lower) : lower; }
  static std::string toUpperAscii(std::string text) {
    for (char& c : text)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
  }
};

// A copy keeps the entry's own extension, whole and without the blanks around the name, so
// that the slideshow's link and the copy agree (`trailext.jpg ` once gave `img_002.pg `).
TEST_P(CopyCaseTest, CopyKeepsTheEntrysWholeTypeAndPicturesArriveInTheBuildsCase) {
  addEntries({"C:\\foto\\a.jpg", "C:\\foto\\trailext.jpg ", "C:\\foto\\photo.jpeg",
              "C:\\foto\\x..gif", "C:\\foto\\noext"});
  run();
  EXPECT_EQ(onC("album/" + inCase("dir_0001/img_002.jpg")), "foto/trailext.jpg ");
  EXPECT_EQ(onC("album/" + inCase("dir_0001/img_003.jpeg")), "foto/photo.jpeg");
  EXPECT_EQ(onC("album/" + inCase("dir_0001/img_004.gif")), "foto/x..gif");
  EXPECT_EQ(onC("album/" + inCase("dir_0001/img_005.ext")), "foto/noext");
  const std::string slideshow = onC("album/" + inCase("dir_0001/menu.htm"));
  EXPECT_NE(slideshow.find(inCase("img_001.jpg") + "\"> <img src=\"" + inCase("img_002.jpg") + "\""),
            std::string::npos)
      << slideshow;
  EXPECT_NE(slideshow.find("<IMG SRC=\"" + inCase("img_003.jpeg") + "\">"), std::string::npos);
  for (const char* picture :
       {"puls_sx3.jpg", "puls_su3.jpg", "puls_dx3.jpg", "sfondo_1.gif", "sfondo_2.gif"})
    EXPECT_EQ(onC("album/" + inCase("dir_0001/") + inCase(picture)),
              std::string("picture ") + picture);
  EXPECT_EQ(fx.transcript().find("message"), std::string::npos);
}

TEST_P(CopyCaseTest, MissingNavigationPictureIsReportedOnceAndTheOthersStillArrive) {
  removeProgramFile("puls_sx3.jpg");
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\n"
            "message \"Errore nella copia dell'immagine puls_sx3.jpg\\r\\nERR= 53 - Impossibile "
            "trovare il file\\r\\rCopia P:\\\\puls_sx3.jpg " +
                inCase("c:\\\\album\\\\dir_0001\\\\puls_sx3.jpg") +
                "\"\n"
                "pointer default\nbeep\n");
  EXPECT_FALSE(existsOnC("album/" + inCase("dir_0001/puls_sx3.jpg")));
  for (const char* picture : {"puls_su3.jpg", "puls_dx3.jpg", "sfondo_1.gif", "sfondo_2.gif"})
    EXPECT_TRUE(existsOnC("album/" + inCase("dir_0001/") + inCase(picture))) << picture;
}

TEST_P(CopyCaseTest, VanishedSourceIsReportedAndStillCountsInItsFolder) {
  form().entriesPerFolderBox->setText("2");
  addEntry("C:\\foto\\gone.jpg", false);
  addEntries({"C:\\foto\\a.jpg", "C:\\foto\\b.jpg"});
  run();
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\n"
            "message \"Errore nella copia delle immagini ERR= 53 - Impossibile trovare il "
            "file\\r\\rCopia " +
                inCase("c:\\\\foto\\\\gone.jpg c:\\\\album\\\\dir_0001\\\\img_001.jpg") +
                "\"\n"
                "pointer default\nbeep\n");
  EXPECT_EQ(onC("album/" + inCase("dir_0001/img_002.jpg")), "foto/a.jpg");
  EXPECT_EQ(onC("album/" + inCase("dir_0002/img_001.jpg")), "foto/b.jpg");
}

// A rebuild in the other letter case respells the earlier copies in place: they are this
// build's copies under another spelling, not copies to remove (they once went, leaving the
// slideshow's pictures missing).
TEST_P(CopyCaseTest, RebuildInTheOtherCaseKeepsEveryCopy) {
  addPictures(3);
  if (GetParam()) {
    form().lowerCaseOption->select();
    fx.session().job.outputFolder = "c:\\album\\";
    fx.session().job.pageFile = "index.htm";
  } else {
    upperCase();
  }
  run();
  SetUp();
  if (!GetParam()) {
    form().lowerCaseOption->select();
    fx.session().job.outputFolder = "c:\\album\\";
    fx.session().job.pageFile = "index.htm";
  }
  fx.user().queueAnswer(true);  // replace the page of the earlier build
  run();
  for (const char* copy : {"img_001.jpg", "img_002.jpg", "img_003.jpg"})
    EXPECT_TRUE(std::filesystem::exists(fx.driveC() / "album" / inCase("dir_0001") / inCase(copy)))
        << copy;
  EXPECT_EQ(fx.transcript().find("message"), std::string::npos) << fx.transcript();
}

// A short prefix: the longest test name here fills the CTest name up to 100 columns of ctest -N.
INSTANTIATE_TEST_SUITE_P(Case, CopyCaseTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Upper" : "Lower"; });

}  // namespace
}  // namespace vortena::testing

namespace vortena::testing {
namespace {

// A rebuild in place after photos were deleted: the entry folder holds this build's copies
// only, so no deleted photo stays reachable; other names in the folder are left alone.
TEST_F(PageWriterTest, RebuildRemovesTheEarlierBuildsOtherCopies) {
  addPictures(6);
  run();
  ASSERT_TRUE(existsOnC("album/dir_0001/img_006.jpg"));
  writeFile(fx.driveC() / "album/dir_0001/img_01.jpg", "mine");
  writeFile(fx.driveC() / "album/dir_0001/note.txt", "mine");
  form().mediaListBox->clear();
  addEntries({"C:\\foto\\x.gif", "C:\\foto\\p02.jpg"});
  fx.user().queueAnswer(true);  // replace the page of the earlier build
  run();
  std::vector<std::string> left;
  for (const auto& file : std::filesystem::directory_iterator(fx.driveC() / "album/dir_0001"))
    left.push_back(file.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"img_001.gif", "img_002.jpg", "img_01.jpg",
                                            "menu.htm", "note.txt", "puls_dx3.jpg",
                                            "puls_su3.jpg", "puls_sx3.jpg", "sfondo_1.gif",
                                            "sfondo_2.gif"}));
}

}  // namespace
}  // namespace vortena::testing
