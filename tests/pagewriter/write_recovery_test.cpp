// A page that cannot be written where asked: drive C:, then C:\index.htm, or a message.
#include "album/builds.h"
#include "page_writer_fixture.h"
#include "support/faulty_fs.h"

namespace vortena::testing {
namespace {

const std::string kBoxA = "message \"Errore in registrazione Elenco (forse e' un CD-ROM) ";
const std::string kBoxB = "message \"Errore in registrazione Elenco (non esiste stessa cartella) ";
const std::string kTryC = "\\r\\rTento di registrare sul disco C: \\r\\r ERR=";
const std::string kTryIndex =
    "\\r\\rTento di registrare sul disco con il nome C:\\\\index.htm \\r\\r ERR=";
const std::string kNotFound = " 76 - Impossibile trovare il percorso\"\n";
const std::string kAccess = " 75 - Errore di accesso al percorso/file\"\n";

class WriteRecoveryTest : public PageWriterTest {
 protected:
  WriteRecoveryTest() : faulty(fx.relativeFs()) {}
  void useFaultyDisk() { fx.session().services.fs = &faulty; }
  FaultyFileSystem faulty;
};

TEST_F(WriteRecoveryTest, UnmappedDriveMovesThePageToTheSameFolderOnC) {
  upperCase();
  fx.session().job.outputFolder = "E:\\FOTO\\";
  std::filesystem::create_directories(fx.driveC() / "foto");
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(), "pointer hourglass\nbeep\n" + kBoxA + "E:\\\\FOTO\\\\INDEX.HTM" +
                                 kTryC + kNotFound + "pointer default\nbeep\n");
  EXPECT_EQ(fx.session().job.outputFolder, "C:\\FOTO\\");
  EXPECT_EQ(fx.session().job.pageFile, "INDEX.HTM");
  EXPECT_EQ(onC("foto/INDEX.HTM").substr(0, 8), "<HTML>\r\n");
  EXPECT_EQ(onC("foto/DIR_0001/IMG_001.JPG"), "foto/p01.jpg");
}

TEST_F(WriteRecoveryTest, FolderMissingOnCTooEndsAsIndexPageAtTheRootOfC) {
  upperCase();
  fx.session().job.outputFolder = "E:\\NOPE\\";
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(), "pointer hourglass\nbeep\n" + kBoxA + "E:\\\\NOPE\\\\INDEX.HTM" +
                                 kTryC + kNotFound + "beep\n" + kBoxB + "C:\\\\NOPE\\\\INDEX.HTM" +
                                 kTryIndex + kNotFound + "pointer default\nbeep\n");
  EXPECT_EQ(fx.session().job.outputFolder, "C:\\");
  EXPECT_EQ(fx.session().job.pageFile, "index.htm");
  EXPECT_EQ(onC("index.htm").substr(0, 8), "<HTML>\r\n");
  EXPECT_EQ(onC("DIR_0001/IMG_001.JPG"), "foto/p01.jpg");
}

TEST_F(WriteRecoveryTest, MissingFolderOnCGoesStraightOnToTheIndexPage) {
  fx.session().job.outputFolder = "c:\\nope\\";
  run();
  EXPECT_EQ(fx.transcript(), "pointer hourglass\nbeep\n" + kBoxA + "c:\\\\nope\\\\index.htm" +
                                 kTryC + kNotFound + "beep\n" + kBoxB + "C:\\\\nope\\\\index.htm" +
                                 kTryIndex + kNotFound + "pointer default\nbeep\n");
  EXPECT_EQ(onC("index.htm").substr(0, 8), "<HTML>\r\n");
}

TEST_F(WriteRecoveryTest, ReadOnlyPlaceIsLeftForTheSamePathOnC) {
  useFaultyDisk();
  faulty.failOn(FsOperation::OpenWrite, "c:\\album\\index.htm", kPathFileAccess, 1);
  run();
  EXPECT_EQ(fx.transcript(), "pointer hourglass\nbeep\n" + kBoxA + "c:\\\\album\\\\index.htm" +
                                 kTryC + kAccess + "pointer default\nbeep\n");
  EXPECT_EQ(onC("album/index.htm").substr(0, 8), "<HTML>\r\n");
}

TEST_F(WriteRecoveryTest, IndexPageOnCTriedOnceThenThePassEnds) {
  useFaultyDisk();
  faulty.failOn(FsOperation::OpenWrite, "", kPathFileAccess);
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\nbeep\n" + kBoxA + "c:\\\\album\\\\index.htm" + kTryC + kAccess +
                "beep\n" + kBoxB + "C:\\\\album\\\\index.htm" + kTryIndex + kAccess + "beep\n" +
                "message \"Errore in registrazione Elenco C:\\\\index.htm\\r\\r ERR=" + kAccess +
                "pointer default\nbeep\n");
  EXPECT_FALSE(existsOnC("dir_0001"));
  EXPECT_FALSE(existsOnC("album/dir_0001"));
}

TEST_F(WriteRecoveryTest, OtherErrorIsReportedForEachGuardedLineAndThePassGoesOn) {
  useFaultyDisk();
  faulty.failOn(FsOperation::WriteLine, "c:\\album\\index.htm", kDeviceIoError, 1);
  addPictures(1);
  run();
  const std::string notOpen =
      "beep\nmessage \"Errore in registrazione Elenco c:\\\\album\\\\index.htm\\r\\r ERR= 52 - "
      "Nome o numero di file non valido\"\n";
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\nbeep\n"
            "message \"Errore in registrazione Elenco c:\\\\album\\\\index.htm\\r\\r ERR= 57 - "
            "Errore di I/O della periferica\"\n" +
                notOpen + notOpen + notOpen + "pointer default\nbeep\n");
  EXPECT_EQ(onC("album/dir_0001/img_001.jpg"), "foto/p01.jpg");
}

TEST_F(WriteRecoveryTest, ClosingLinesAreGuardedOnlyWhenNoEntryWasPlaced) {
  useFaultyDisk();
  // Line 10: "<HTML>", five header lines, three grid lines, then the first closing line.
  faulty.failOn(FsOperation::WriteLine, "c:\\album\\index.htm", kDiskFull, 10);
  run();
  EXPECT_NE(fx.transcript().find("ERR= 61 - Disco pieno"), std::string::npos);
}

// Past the guarded stretch a failed line is not told at once: the pass goes on, and at its end
// the page is not kept (a page with lines missing would show a broken album) and the first
// failure is told once.
TEST_F(WriteRecoveryTest, FailuresAfterTheFirstEntryAreToldOnceAtTheEnd) {
  useFaultyDisk();
  faulty.failOn(FsOperation::WriteLine, "c:\\album\\index.htm", kDeviceIoError, 10);
  faulty.failOn(FsOperation::WriteLine, "c:\\album\\index.htm", kDeviceIoError, 30);
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(),
            "pointer hourglass\nbeep\nmessage \"Errore in registrazione Elenco "
            "c:\\\\album\\\\index.htm\\r\\r ERR= 57 - Errore di I/O della periferica\"\npointer default\nbeep\n");
  EXPECT_EQ(outcome, PageOutcome::NotWritten);
  EXPECT_FALSE(existsOnC("album/index.htm"));
  EXPECT_TRUE(existsOnC("album/dir_0001/menu.htm"));
}

TEST_F(WriteRecoveryTest, BuildOffersToShowThePageWhereItWasWritten) {
  form().pagePathBox->setText("E:\\nope\\index.htm");
  form().foundCountBox->setText("1");
  addPictures(1);
  buildSinglePageCommand(fx.session());
  EXPECT_NE(fx.transcript().find(
                "question \"Visualizzo la pagina creata C:\\\\index.htm (S/N) \" -> no\n"),
            std::string::npos)
      << fx.transcript();
  EXPECT_EQ(onC("index.htm").substr(0, 8), "<HTML>\r\n");
}

}  // namespace
}  // namespace vortena::testing
