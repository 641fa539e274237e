// The questions before a page is written, the renaming of the sources, the kinds of entries
// and the names that must not break the markup.
#include <cstring>
#include <functional>

#include "page_writer_fixture.h"
#include "pagewriter/entry_grid.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

const std::string kExistingQuestion =
    "beep\nquestion \"Elenco  c:\\\\album\\\\index.htm  gia' esistente, continuo (S/N)\"";

TEST_F(PageWriterTest, ExistingPageIsReplacedAfterYes) {
  writeFile(fx.driveC() / "album/index.htm", "old page");
  fx.user().queueAnswer(true);
  run();
  EXPECT_EQ(fx.transcript(),
            kExistingQuestion + " -> yes\npointer hourglass\npointer default\nbeep\n");
  EXPECT_EQ(fx.session().job.replaceConfirmed, 1);
  EXPECT_EQ(onC("album/index.htm").substr(0, 8), "<HTML>\r\n");
}

TEST_F(PageWriterTest, ExistingPageIsKeptAfterNo) {
  writeFile(fx.driveC() / "album/index.htm", "old page");
  addPictures(1);
  run();
  EXPECT_EQ(fx.transcript(), kExistingQuestion + " -> no\npointer default\nbeep\n");
  EXPECT_EQ(fx.session().job.replaceConfirmed, 0);
  EXPECT_EQ(onC("album/index.htm"), "old page");
  EXPECT_FALSE(existsOnC("album/dir_0001"));
}

TEST_F(PageWriterTest, ConfirmedBuildReplacesWithoutAsking) {
  writeFile(fx.driveC() / "album/index.htm", "old page");
  fx.session().job.replaceConfirmed = 1;
  run();
  EXPECT_EQ(fx.transcript(), "pointer hourglass\npointer default\nbeep\n");
  EXPECT_EQ(onC("album/index.htm").substr(0, 8), "<HTML>\r\n");
}

struct MissingTemplateCase {
  std::string name;
  bool yes;
};
void PrintTo(const MissingTemplateCase& c, std::ostream* os) {
  *os << c.name << (c.yes ? " yes" : " no");
}
class TemplateQuestionTest : public PageWriterTest,
                             public ::testing::WithParamInterface<MissingTemplateCase> {};

TEST_P(TemplateQuestionTest, AsksWhetherToGoOnWithoutIt) {
  const MissingTemplateCase& c = GetParam();
  removeProgramFile(c.name);
  writeFile(fx.driveC() / "album/index.htm", "old page");
  fx.session().job.replaceConfirmed = 1;
  fx.user().queueAnswer(c.yes);
  run();
  const std::string question =
      "beep\nquestion \"Manca il file " + c.name + ", continuo ?\\r\\rP:\\\\" + c.name + "\" -> ";
  if (c.yes) {
    EXPECT_EQ(fx.transcript(), question + "yes\npointer hourglass\npointer default\nbeep\n");
    EXPECT_EQ(onC("album/index.htm").substr(0, 8), "<HTML>\r\n");
  } else {
    EXPECT_EQ(fx.transcript(), question + "no\npointer default\nbeep\n");
    EXPECT_EQ(onC("album/index.htm"), "old page");
  }
}
INSTANTIATE_TEST_SUITE_P(Templates, TemplateQuestionTest,
                         ::testing::Values(MissingTemplateCase{"MENU.HTM", true},
                                           MissingTemplateCase{"MENU.HTM", false},
                                           MissingTemplateCase{"INTESTAZ.HTM", true},
                                           MissingTemplateCase{"INTESTAZ.HTM", false},
                                           MissingTemplateCase{"PIEDE.HTM", true},
                                           MissingTemplateCase{"PIEDE.HTM", false}),
                         [](const auto& info) {
                           return info.param.name.substr(0, info.param.name.find('.')) +
                                  (info.param.yes ? "Yes" : "No");
                         });

TEST_F(PageWriterTest, NoToTheSlideshowTemplateAsksNothingMore) {
  removeProgramFile("MENU.HTM");
  removeProgramFile("PIEDE.HTM");
  writeFile(fx.driveC() / "album/index.htm", "old page");
  run();
  EXPECT_EQ(fx.transcript(),
            "beep\nquestion \"Manca il file MENU.HTM, continuo ?\\r\\rP:\\\\MENU.HTM\" -> no\n"
            "pointer default\nbeep\n");
}

TEST_F(PageWriterTest, MissingHeaderTemplateGivesAPageWithoutHeader) {
  removeProgramFile("INTESTAZ.HTM");
  fx.user().queueAnswer(true);
  run();
  EXPECT_EQ(onC("album/index.htm"), crlf("<HTML>\n" + kGridStart + kGridEnd + kPiede));
}

TEST_F(PageWriterTest, SourceTakesTheBuildsLetterCase) {
  addEntries({"C:\\foto\\Foto.JPG"});
  run();
  EXPECT_TRUE(existsOnC("foto/foto.jpg"));
  EXPECT_FALSE(existsOnC("foto/Foto.JPG"));
  EXPECT_EQ(onC("album/dir_0001/img_001.jpg"), "foto/Foto.JPG");
}

TEST_F(PageWriterTest, RenameNeverReplacesAnotherFile) {
  writeFile(fx.driveC() / "foto/foto.jpg", "another picture");
  addEntries({"C:\\foto\\Foto.JPG"});
  run();
  EXPECT_EQ(onC("foto/Foto.JPG"), "foto/Foto.JPG");
  EXPECT_EQ(onC("foto/foto.jpg"), "another picture");
}

// The file a link target leads to, read back as a browser would: entities, then %XX escapes.
std::string decodeTarget(std::string target) {
  const std::pair<const char*, const char*> entities[] = {
      {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
  std::string text;
  for (size_t i = 0; i < target.size();) {
    bool replaced = false;
    for (const auto& [entity, ch] : entities) {
      if (target.compare(i, std::strlen(entity), entity) == 0) {
        text += ch;
        i += std::strlen(entity);
        replaced = true;
        break;
      }
    }
    if (!replaced) text += target[i++];
  }
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

TEST_F(PageWriterTest, AwkwardNamesGiveWellFormedLinksThatReachTheirFiles) {
  // The album page lies beside the media, so a direct link is the bare file name.
  fx.session().job.outputFolder = "c:\\foto\\";
  form().entriesPerFolderBox->setText("1");
  addEntries({"C:\\foto\\a\"b<c>&d#e?f%g.mp3", "C:\\foto\\x.j\"g"});
  run();
  const std::string page = onC("foto/index.htm");
  const std::string link =
      "        <A HREF=\"a&quot;b&lt;c&gt;&amp;d%23e%3Ff%25g.mp3\">\r\n"
      "a&quot;b&lt;c&gt;&amp;d#e?f%g.mp3</A>\r\n";
  ASSERT_NE(page.find(link), std::string::npos) << page;
  EXPECT_TRUE(existsOnC("foto/" + decodeTarget("a&quot;b&lt;c&gt;&amp;d%23e%3Ff%25g.mp3")));

  const std::string slideshow = onC("foto/dir_0002/menu.htm");
  ASSERT_NE(slideshow.find("<img src=\"img_001.j&quot;g\">"), std::string::npos) << slideshow;
  EXPECT_TRUE(existsOnC("foto/dir_0002/" + decodeTarget("img_001.j&quot;g")));
}

struct KindCase {
  std::string fileName;
  bool direct;
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << quotedText(c.fileName); }
class EntryKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(EntryKindTest, OnlyTheListedTypesAndMpAreLinkedDirectly) {
  EXPECT_EQ(isDirectEntry(entryExtension(GetParam().fileName)), GetParam().direct);
}
INSTANTIATE_TEST_SUITE_P(Names, EntryKindTest,
                         ::testing::Values(KindCase{"SONG.MP3", true}, KindCase{"movie.mpg", true},
                                           KindCase{"CLIP.MPEG", true}, KindCase{"PAGE.HTM", true},
                                           KindCase{"ARCHIVE.2004.WAV", true},
                                           KindCase{"a.wma", true}, KindCase{"PAGE.HTML", false},
                                           KindCase{"TUNE.MIDI", false},
                                           KindCase{"SOUND.WAVE", false}, KindCase{"NODOT", false},
                                           KindCase{"VIAGGIO>", false},
                                           KindCase{"IMG.JPG", false}),
                         ReadableName());

TEST(EntryParts, SplitAtTheLastBackslashAndLabelBelowTheRoot) {
  EntryParts parts = splitEntry("C:\\FOTO\\MARE\\SONG.MP3");
  EXPECT_EQ(parts.folderPart, "C:\\FOTO\\MARE\\");
  EXPECT_EQ(parts.fileName, "SONG.MP3");
  EXPECT_EQ(entryLabel(parts.folderPart, "C:\\FOTO\\"), "MARE\\");
  // Only lengths count, and a folder part as long as the root gives no label.
  EXPECT_EQ(entryLabel(parts.folderPart, "X:\\ABCD\\"), "MARE\\");
  EXPECT_EQ(entryLabel("C:\\FOTO\\", "C:\\FOTO\\"), "");
  EXPECT_EQ(entryLabel(parts.folderPart, ""), "");
  parts = splitEntry("PAG_1.HTM");
  EXPECT_EQ(parts.folderPart, "");
  EXPECT_EQ(parts.fileName, "PAG_1.HTM");
}

// The window's side of a pass: counts the rounds of event processing and runs a user action
// in the first of them, as a click in the middle of a build would.
class EventCountingUi : public Ui {
 public:
  EventCountingUi(Ui& inner, std::function<void()> firstRound)
      : inner_(inner), firstRound_(std::move(firstRound)) {}
  void beep() override { inner_.beep(); }
  void message(const std::string& text) override { inner_.message(text); }
  bool question(const std::string& text) override { return inner_.question(text); }
  void setPointer(Pointer pointer) override { inner_.setPointer(pointer); }
  void processEvents() override {
    if (rounds++ == 0) firstRound_();
  }
  int screenWidth() const override { return inner_.screenWidth(); }
  void endProgram() override { inner_.endProgram(); }
  int rounds = 0;

 private:
  Ui& inner_;
  std::function<void()> firstRound_;
};

TEST_F(PageWriterTest, WindowHandlesEventsOncePerEntryAndFolderSizeIsReadOnce) {
  EventCountingUi ui(fx.user(), [this] { form().entriesPerFolderBox->setText("1"); });
  fx.session().services.ui = &ui;
  addEntries({"C:\\foto\\a.jpg", "", "C:\\foto\\b.jpg", "C:\\foto\\c.jpg"});
  run();
  EXPECT_EQ(ui.rounds, 3);
  // The size changed to 1 while the first entry was placed: the pass keeps the 9 it began with.
  EXPECT_TRUE(existsOnC("album/dir_0001/img_003.jpg"));
  EXPECT_FALSE(existsOnC("album/dir_0002"));
}

}  // namespace
}  // namespace vortena::testing
