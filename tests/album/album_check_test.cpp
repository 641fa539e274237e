// `vortena check PAGE` on albums built by `vortena build` from real pictures, each then spoilt
// in one way: the findings told, the JSON that carries the same, the exit status, the totals,
// and an album left as it was.
#include "album/album_check.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

#include "support/album_fixture.h"
#include "support/pictures.h"
#include "ui/headless/command_line.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

struct CommandRun {
  int status = -1;
  std::string out, err;
};

// Every file below `root` with its bytes and its modification time: what a check must leave.
std::map<std::string, std::pair<std::string, fs::file_time_type>> stateOf(const fs::path& root) {
  std::map<std::string, std::pair<std::string, fs::file_time_type>> state;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    state[fs::relative(entry.path(), root).string()] = {
        entry.is_regular_file() ? readFile(entry.path()) : "<folder>", entry.last_write_time()};
  return state;
}

// The lines of a summary that tell a finding (not the heading, the records or the totals).
std::vector<std::string> findingLines(const std::string& summary) {
  std::vector<std::string> lines;
  std::istringstream in(summary);
  for (std::string line; std::getline(in, line);)
    for (const char* kind :
         {"broken link: ", "linked nowhere: ", "personal metadata: ", "hidden file: "})
      if (line.starts_with(kind)) lines.push_back(line);
  return lines;
}

struct CheckCase {
  const char* name;
  QStringList buildOptions;
  bool gpsPhoto;                      // the source photo uno.jpg carries a GPS position
  void (*spoil)(const fs::path& c);   // what happens to the album (C:\album) after the build
  std::vector<std::string> findings;  // the summary's lines of findings, in order
  const char* extensions = "jpg,png";
};

class AlbumCheckTest : public ::testing::TestWithParam<CheckCase> {
 protected:
  void SetUp() override {
    testing::TestPicture photo;
    photo.gps = GetParam().gpsPhoto;
    writeFile(c() / "foto" / "uno.jpg", testing::pictureBytes(photo));
    writeFile(c() / "foto" / "due.jpg", testing::pictureBytes({}));
    writeFile(c() / "foto" / "mare" / "tre.png", testing::pictureBytes({.format = "png"}));
    writeFile(c() / "foto" / "mare" / "onde.mp3", "sound");
    fs::create_directories(c() / "album");
  }
  fs::path c() const { return driveC_.path(); }
  CommandRun command(QStringList args) {
    CommandLineSetup setup;
    setup.options.drives.set('C', c().string());
    setup.options.programFolder = VORTENA_RESOURCES_DIR;
    args.prepend(QStringLiteral("vortena"));
    std::ostringstream out, err;
    CommandRun r;
    r.status = runCommand(args, out, err, setup);
    r.out = out.str();
    r.err = err.str();
    return r;
  }
  // The page as the build names it.
  QString page() const {
    const bool upper = GetParam().buildOptions.contains("--upper");
    return QString::fromStdString((c() / "album" / (upper ? "INDEX.HTM" : "index.htm")).string());
  }

  testing::TempFolder driveC_;
};

TEST_P(AlbumCheckTest, TellsWhatWouldGoWrongOncePublished) {
  const CheckCase& t = GetParam();
  const CommandRun built =
      command(QStringList{"build", "--ext", t.extensions} << t.buildOptions << "C:\\foto"
                                                          << "C:\\album\\index.htm");
  ASSERT_EQ(built.status, 0) << built.err;
  if (t.spoil) t.spoil(c());
  const auto before = stateOf(c());

  const CommandRun summary = command({"check", page()});
  EXPECT_EQ(summary.status, t.findings.empty() ? 0 : 1) << summary.out;
  EXPECT_EQ(summary.err, "");
  EXPECT_EQ(findingLines(summary.out), t.findings) << summary.out;
  EXPECT_NE(
      summary.out.find("record of the program (no private data, harmless): .cartelle_album\n"),
      std::string::npos)
      << summary.out;

  // What an upload of the album folder takes: every file in it, as it holds nothing else.
  long files = 0;
  std::uintmax_t bytes = 0;
  for (const auto& [path, content] : testing::filesBelow(c() / "album")) {
    ++files;
    bytes += content.size();
  }
  EXPECT_NE(summary.out.find("To upload: " + std::to_string(files) + " files, " +
                             std::to_string(bytes) + " bytes\n"),
            std::string::npos)
      << summary.out;

  const CommandRun json = command({"check", "--json", page()});
  EXPECT_EQ(json.status, summary.status);
  QJsonParseError error;
  const QJsonObject report =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
  EXPECT_EQ(report["files"].toInteger(), files);
  EXPECT_EQ(report["bytes"].toInteger(), static_cast<qint64>(bytes));
  EXPECT_EQ(report["page"].toString().toStdString(), page().toStdString());
  // The JSON names each finding of the summary, in the same order.
  std::vector<std::string> told;
  const auto field = [](const QJsonValue& item, const char* key) {
    return item.toObject()[QLatin1String(key)].toString().toStdString();
  };
  for (const QJsonValue& item : report["brokenLinks"].toArray())
    told.push_back("broken link: " + field(item, "page") + " -> " + field(item, "link") + " " +
                   field(item, "problem") + " " + field(item, "onDisk"));
  for (const auto& item : report["orphans"].toArray())
    told.push_back("linked nowhere: " + item.toString().toStdString());
  for (const QJsonValue& item : report["privateMetadata"].toArray()) {
    std::string kinds;
    for (const QJsonValue& kind : item.toObject()["found"].toArray())
      kinds += " " + kind.toString().toStdString();
    told.push_back("personal metadata: " + field(item, "file") + kinds);
  }
  for (const auto& item : report["hiddenFiles"].toArray())
    told.push_back("hidden file: " + item.toString().toStdString());
  ASSERT_EQ(told.size(), t.findings.size()) << json.out;
  for (size_t i = 0; i < told.size(); ++i) {
    // The same file or link, told by its first words.
    const std::string& line = t.findings[i];
    const std::string head = line.substr(0, line.find(" ("));
    EXPECT_TRUE(told[i].starts_with(head)) << told[i] << " | " << line;
  }
  // The album's record, then in web mode each entry folder's record of its pictures.
  const QJsonArray records = report["programRecords"].toArray();
  ASSERT_FALSE(records.isEmpty());
  EXPECT_EQ(records[0].toString(), ".cartelle_album");
  for (qsizetype i = 1; i < records.size(); ++i)
    EXPECT_TRUE(records[i].toString().endsWith("/.immagini_web")) << json.out;

  EXPECT_EQ(stateOf(c()), before);  // the check wrote nothing
}

const auto kNothing = nullptr;

INSTANTIATE_TEST_SUITE_P(
    Albums, AlbumCheckTest,
    ::testing::Values(
        CheckCase{"Clean", {"--per-folder", "2"}, false, kNothing, {}},
        // Web copies lose the photo's position; the pages and thumbnails link each other.
        CheckCase{"CleanPagedWebWithGpsSource",
                  {"--paged", "--per-folder", "2", "--web-size", "32"},
                  true,
                  kNothing,
                  {}},
        CheckCase{"CleanUpperCase", {"--upper"}, false, kNothing, {}},
        CheckCase{"CopyDeleted",
                  {"--per-folder", "2"},
                  false,
                  [](const fs::path& c) { fs::remove(c / "album" / "dir_0001" / "img_002.jpg"); },
                  {"broken link: dir_0001/menu.htm -> img_002.jpg (no such file)"}},
        CheckCase{"CopyInAnotherCase",
                  {"--per-folder", "2"},
                  false,
                  [](const fs::path& c) {
                    fs::rename(c / "album" / "dir_0001" / "img_001.jpg",
                               c / "album" / "dir_0001" / "IMG_001.JPG");
                  },
                  {"broken link: dir_0001/menu.htm -> img_001.jpg (letter case differs: "
                   "dir_0001/IMG_001.JPG on disk)"}},
        // The copies and pages of the index of pages, which nothing links, are the program's.
        CheckCase{
            "FilesDroppedInEntryFolders",
            {"--paged", "--per-folder", "2"},
            false,
            [](const fs::path& c) {
              writeFile(c / "album" / "dir_0001" / "note.txt", "mine");
              writeFile(c / "album" / "dir_0002" / "extra" / "img_009.jpg",
                        testing::pictureBytes({}));
            },
            {"linked nowhere: dir_0001/note.txt", "linked nowhere: dir_0002/extra/img_009.jpg"}},
        CheckCase{"GpsPhotoCopiedAsItIs",
                  {"--per-folder", "2"},
                  true,
                  kNothing,
                  {"personal metadata: dir_0001/img_002.jpg (GPS position)"}},
        CheckCase{"HiddenFiles",
                  {"--per-folder", "2"},
                  false,
                  [](const fs::path& c) {
                    writeFile(c / "album" / ".DS_Store", "finder");
                    writeFile(c / "album" / "dir_0002" / ".git" / "config", "[core]");
                  },
                  {"hidden file: .DS_Store", "hidden file: dir_0002/.git/"}},
        // A sound is linked where it lies, among the user's files: not in the album.
        CheckCase{"SoundLinkedInItsFolder",
                  {"--per-folder", "2"},
                  false,
                  kNothing,
                  {"broken link: index.htm -> ..\\foto\\mare\\onde.mp3 (outside the album folder)"},
                  "jpg,png,mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageLinksTest, ReadsLinksAsABrowserDoes) {
  struct Case {
    const char* markup;
    std::vector<std::string> links;
  };
  const Case cases[] = {
      {"<A HREF=\"dir_0001\\MENU.HTM\">x</A>", {"dir_0001\\MENU.HTM"}},
      {"<img src='a b.jpg' alt=\"src=no.jpg\"><td BACKGROUND=pulsante.jpg width=130>",
       {"a b.jpg", "pulsante.jpg"}},
      {"<a href=\"Tom&amp;Jerry%23.jpg\"><img data-grande=\"&#105;mg_001.jpg\">",
       {"Tom&Jerry%23.jpg", "img_001.jpg"}},
      // Comments, scripts and style sheets hold no links of the page.
      {"<!-- <a href=\"old.htm\"> --><script>var s = '<img src=\"x.jpg\">';</script>"
       "<style>a { background: url(y.jpg) }</style><a href = \"kept.htm\" >",
       {"kept.htm"}},
      {"<p>a < b and src=\"t.jpg\"</p>", {}},
  };
  for (const Case& t : cases) EXPECT_EQ(linksOfPage(t.markup), t.links) << t.markup;
}

// What cannot be checked is told with the exit status of a wrong command line.
TEST(AlbumCheckCommandTest, PageThatCannotBeReadGivesStatusTwo) {
  testing::TempFolder c;
  CommandLineSetup setup;
  setup.options.drives.set('C', c.path().string());
  const auto run = [&setup](const QStringList& args, std::string& err) {
    std::ostringstream out, errors;
    const int status = runCommand(QStringList{"vortena", "check"} << args, out, errors, setup);
    err = errors.str();
    EXPECT_EQ(out.str(), "");
    return status;
  };
  std::string err;
  EXPECT_EQ(run({QString::fromStdString((c.path() / "index.htm").string())}, err), 2);
  EXPECT_EQ(err, "vortena: cannot read the page " + (c.path() / "index.htm").string() +
                     ": no such file\n");
  EXPECT_EQ(run({"C:\\"}, err), 2);
  EXPECT_EQ(err, "vortena: cannot read the page C:\\: not a file\n");
  EXPECT_EQ(run({"Q:\\index.htm"}, err), 2);
  EXPECT_EQ(err, "vortena: Q:\\index.htm: drive Q: is not mapped\n");
  EXPECT_EQ(run({}, err), 2);
  EXPECT_TRUE(err.starts_with("vortena: missing PAGE\nUsage: vortena check")) << err;
  EXPECT_TRUE(fs::is_empty(c.path()));  // nothing made, not even the default folder
}

// A drive path is found as build finds it (any letter case on the host); the links then by
// their exact letter case.
TEST(AlbumCheckCommandTest, DrivePathReachesTheHostPage) {
  testing::TempFolder c;
  writeFile(c.path() / "sito" / "index.htm", "<a href=\"Foto.jpg\">x</a>");
  writeFile(c.path() / "sito" / "foto.jpg", testing::pictureBytes({}));
  CommandLineSetup setup;
  std::ostringstream out, err;
  const int status =
      runCommand({"vortena", "check", "--drive", "C=" + QString::fromStdString(c.path().string()),
                  "C:\\SITO\\index.htm"},
                 out, err, setup);
  EXPECT_EQ(status, 1) << err.str();
  EXPECT_NE(out.str().find("broken link: index.htm -> Foto.jpg (letter case differs: foto.jpg on "
                           "disk)\nTo upload: 2 files, "),
            std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace vortena
