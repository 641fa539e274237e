// Web mode end to end through `vortena build`: the copies and thumbnails an album gets, their
// names in the slideshow, the failures told in entry order, and what a rebuild leaves alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "core/text.h"
#include "support/album_fixture.h"
#include "support/pictures.h"
#include "support/test_names.h"
#include "ui/headless/command_line.h"

namespace vortena {
namespace {

using testing::pictureBytes;
using testing::pictureFacts;
using testing::readFile;
using testing::TestPicture;
using testing::writeFile;

struct Built {
  int status = -1;
  std::string err;
};

class WebBuildTest : public ::testing::Test {
 protected:
  std::filesystem::path c() const { return root_; }
  std::filesystem::path folder(int n = 1) const {
    const std::string name = (upper_ ? "DIR_000" : "dir_000") + std::to_string(n);
    return c() / "album" / name;
  }
  void put(const std::string& name, const TestPicture& picture) {
    writeFile(c() / "foto" / name, pictureBytes(picture));
  }
  // `vortena build --yes OPTIONS C:\foto C:\album\index.htm` with the real templates.
  Built build(QStringList options) {
    std::filesystem::create_directories(c() / "album");
    CommandLineSetup setup;
    setup.options.drives.set('C', c().string());
    setup.options.programFolder = program_.string();
    if (upper_) options << "--upper";
    QStringList args{"vortena", "build", "--yes"};
    args << options << "C:\\foto"
         << "C:\\album\\index.htm";
    std::ostringstream out, err;
    Built b;
    b.status = runCommand(args, out, err, setup);
    b.err = err.str();
    return b;
  }
  std::string name(const std::string& lower) const {
    std::string out = lower;
    if (upper_)
      for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return out;
  }
  std::string menu(int n = 1) const { return readFile(folder(n) / name("menu.htm")); }

  // The folders of an album and its photos, in C:.
  std::map<std::string, std::string> entryFolder() const {
    std::map<std::string, std::string> files;
    for (const std::string& file : testing::hostNames(folder()))
      if (!file.starts_with(".")) files[file] = readFile(folder() / file);
    return files;
  }

  bool upper_ = false;
  testing::TempFolder driveC_;
  std::filesystem::path root_ = driveC_.path();            // the folder mapped as C:
  std::filesystem::path program_ = VORTENA_RESOURCES_DIR;  // templates and pictures
};

// Temporary paths hold no quote: between single quotes the shell takes them as they are.
std::string quoted(const std::string& text) { return "'" + text + "'"; }

// What `exiftool -a -G1` shows of each file, in order: one run, each file after a heading, its
// output kept in `out`.
std::vector<std::string> exiftoolOf(const std::vector<std::filesystem::path>& files,
                                    const std::filesystem::path& out) {
  std::string command = "exiftool -a -G1";
  for (const auto& file : files) command += " " + quoted(file.string());
  if (std::system((command + " >" + quoted(out.string()) + " 2>/dev/null").c_str()) != 0) return {};
  const std::string shown = readFile(out);
  if (files.size() == 1) return {shown};  // no heading for a file alone
  std::vector<std::string> each;
  for (size_t at = shown.find("======== "); at != std::string::npos && each.size() < files.size();
       at = shown.find("======== ", at + 1))
    each.push_back(shown.substr(at, shown.find("======== ", at + 1) - at));
  each.resize(files.size());
  return each;
}

// The file of the folder named `stem` and some type ("img_001" gives img_001.gif).
std::filesystem::path numbered(const std::filesystem::path& folder, const std::string& stem) {
  for (const std::string& name : testing::hostNames(folder))
    if (name.starts_with(stem + ".")) return folder / name;
  return folder / (stem + ".missing");
}

struct SizeCase {
  TestPicture picture;
  int copyWidth, copyHeight, thumbWidth, thumbHeight;
  bool upper;
};

void PrintTo(const SizeCase& t, std::ostream* os) {
  *os << t.picture.width << "x" << t.picture.height << " " << t.picture.format
      << (t.upper ? " upper" : " lower");
}

class WebSizeTest : public WebBuildTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WebSizeTest, CopyAndThumbnailFitTheirSizes) {
  const SizeCase& t = GetParam();
  upper_ = t.upper;
  put("a." + t.picture.format, t.picture);
  const Built b = build({"--web-size", "400", "--thumbs", "100"});
  ASSERT_EQ(b.status, 0) << b.err;
  const auto copy = pictureFacts(folder() / name("img_001.jpg"));
  const auto thumb = pictureFacts(folder() / name("min_001.jpg"));
  EXPECT_EQ(copy.loader, "jpegload");
  EXPECT_EQ(std::pair(copy.width, copy.height), std::pair(t.copyWidth, t.copyHeight));
  EXPECT_EQ(thumb.loader, "jpegload");
  EXPECT_EQ(std::pair(thumb.width, thumb.height), std::pair(t.thumbWidth, t.thumbHeight));
  // A picture within the web size, of a type browsers show, is copied as it is.
  EXPECT_EQ(readFile(folder() / name("img_001.jpg")) == readFile(c() / "foto" / name("a.jpg")),
            t.picture.width <= 400 && t.picture.height <= 400);
  // The strip shows the thumbnail, the stage the copy.
  EXPECT_NE(menu().find("src=\"" + name("min_001.jpg") + "\" data-grande=\"" + name("img_001.jpg") +
                        "\""),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(ThreeShapes, WebSizeTest,
                         ::testing::Values(SizeCase{{1200, 900, "jpg"}, 400, 300, 100, 75, false},
                                           SizeCase{{1200, 900, "jpg"}, 400, 300, 100, 75, true},
                                           SizeCase{{600, 1500, "jpg"}, 160, 400, 40, 100, false},
                                           SizeCase{{600, 1500, "jpg"}, 160, 400, 40, 100, true},
                                           SizeCase{{300, 150, "jpg"}, 300, 150, 100, 50, false},
                                           SizeCase{{300, 150, "jpg"}, 300, 150, 100, 50, true}),
                         testing::ReadableName());

// Entries that are not pictures for the web (a WMF drawing, a sound) are copied as they are,
// without a thumbnail, and stand for themselves in the strip.
TEST_F(WebBuildTest, EntriesThatAreNotWebPicturesAreCopiedAsTheyAre) {
  put("a.jpg", {800, 600, "jpg"});
  writeFile(c() / "foto" / "b.wmf", "a drawing");
  writeFile(c() / "foto" / "c.mp3", "a sound");
  Built b = build({"--web-size", "400"});
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(readFile(folder() / "img_002.wmf"), "a drawing");
  EXPECT_NE(menu().find("src=\"img_002.wmf\" data-grande=\"img_002.wmf\""), std::string::npos);
  // The sound alone: the earlier build's photo, drawing and thumbnail go with it.
  b = build({"--web-size", "400", "--ext", "mp3"});
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(readFile(folder() / "img_001.mp3"), "a sound");
  EXPECT_EQ(
      testing::hostNames(folder()),
      (std::vector<std::string>{".immagini_web", "img_001.mp3", "menu.htm", "puls_dx3.jpg",
                                "puls_su3.jpg", "puls_sx3.jpg", "sfondo_1.gif", "sfondo_2.gif"}));
}

struct FormatCase {
  const char* format;  // what the picture is and the extension it is listed by
  TestPicture picture;
  const char* copyLoader;
  const char* copyName;
  const char* thumbName;
};

void PrintTo(const FormatCase& t, std::ostream* os) { *os << t.format; }

class WebFormatTest : public WebBuildTest, public ::testing::WithParamInterface<FormatCase> {};

// Types browsers do not show become JPEG copies, named by the type written; transparency
// becomes a PNG. Small pictures of those types are re-encoded all the same.
TEST_P(WebFormatTest, CopyIsOfATypeBrowsersShowAndTheSlideshowNamesIt) {
  const FormatCase& t = GetParam();
  put(std::string("a.") + t.format, t.picture);
  const Built b = build({"--web-size", "400", "--ext", t.format});
  ASSERT_EQ(b.status, 0) << b.err;
  const auto copy = pictureFacts(folder() / t.copyName);
  EXPECT_EQ(copy.loader, t.copyLoader);
  EXPECT_EQ(std::max(copy.width, copy.height),
            std::min(400, std::max(t.picture.width, t.picture.height)));
  EXPECT_TRUE(pictureFacts(folder() / t.thumbName).read);
  EXPECT_NE(menu().find(std::string("data-grande=\"") + t.copyName + "\""), std::string::npos);
  EXPECT_NE(menu().find(std::string("src=\"") + t.thumbName + "\""), std::string::npos);
  for (const std::string& left : testing::hostNames(folder()))
    EXPECT_TRUE(left == t.copyName || left == t.thumbName || !left.ends_with(t.format)) << left;
}

INSTANTIATE_TEST_SUITE_P(
    EachType, WebFormatTest,
    ::testing::Values(
        FormatCase{"tif", {800, 600, "tif"}, "jpegload", "img_001.jpg", "min_001.jpg"},
        FormatCase{"bmp", {200, 100, "bmp"}, "jpegload", "img_001.jpg", "min_001.jpg"},
        FormatCase{"heic", {800, 600, "heic"}, "jpegload", "img_001.jpg", "min_001.jpg"},
        FormatCase{"heif", {300, 200, "heic"}, "jpegload", "img_001.jpg", "min_001.jpg"},
        FormatCase{
            "png", {800, 600, "png", 0, false, true}, "pngload", "img_001.png", "min_001.png"}),
    testing::ReadableName());

struct MetadataCase {
  bool keep;
};
void PrintTo(const MetadataCase& t, std::ostream* os) { *os << (t.keep ? "kept" : "removed"); }

class WebMetadataTest : public WebBuildTest, public ::testing::WithParamInterface<MetadataCase> {};

// A photo turned by its EXIF orientation comes out upright without the tag; its GPS position
// goes unless the metadata is kept, also from a picture small enough to be copied as it is.
TEST_P(WebMetadataTest, CopiesAreUprightAndKeepGpsOnlyWhenAsked) {
  put("a.jpg", {1200, 600, "jpg", 6, true});
  put("b.jpg", {200, 100, "jpg", 0, true});
  QStringList options{"--web-size", "600"};
  if (GetParam().keep) options << "--keep-metadata";
  ASSERT_EQ(build(options).status, 0);
  const auto turned = pictureFacts(folder() / "img_001.jpg");
  EXPECT_EQ(std::pair(turned.width, turned.height), std::pair(300, 600));
  // Without the metadata no tag at all; with it, the tag says upright.
  EXPECT_EQ(turned.orientation, GetParam().keep ? 1 : 0);
  EXPECT_EQ(turned.gps, GetParam().keep);
  const auto small = pictureFacts(folder() / "img_002.jpg");
  EXPECT_EQ(small.gps, GetParam().keep);
  EXPECT_EQ(small.width, 200);
  EXPECT_FALSE(pictureFacts(folder() / "min_001.jpg").gps);
  EXPECT_EQ(pictureFacts(folder() / "min_001.jpg").orientation, 0);
}

INSTANTIATE_TEST_SUITE_P(BothChoices, WebMetadataTest,
                         ::testing::Values(MetadataCase{false}, MetadataCase{true}),
                         testing::ReadableName());

// What exiftool shows of each kind of private metadata.
constexpr const char* kPrivateMarks[] = {"GPS",        "Serial Number", "Comment",
                                         "Maker Note", "[IPTC]",        "[XMP"};

struct PrivateCase {
  const char* kind;
  const char* format;                // "jpg", "png", or "gif": an animation of three frames
  std::vector<std::string> written;  // the exiftool arguments that write it
  const char* shown;                 // what exiftool shows of it
  bool keptWhenMadeAgain;            // --keep-metadata keeps it in a large photo's copy too
};
void PrintTo(const PrivateCase& t, std::ostream* os) { *os << t.kind; }

class WebPrivateMetadataTest : public WebBuildTest,
                               public ::testing::WithParamInterface<PrivateCase> {};

// Without --keep-metadata no copy and no thumbnail carries anything private, also where the
// photo is small enough to be its own copy; an animation stays one. With it, the small photo is
// its own copy, as before.
TEST_P(WebPrivateMetadataTest, NoCopyOrThumbnailCarriesItUnlessKept) {
  if (std::system("command -v exiftool >/dev/null") != 0)
    GTEST_SKIP() << "exiftool is missing (scripts/install-deps --test)";
  const PrivateCase& t = GetParam();
  const std::string format = t.format;
  const int frames = format == "gif" ? 3 : 1;
  put("a." + format, {300, 200, format, 0, false, frames > 1, frames});
  put("b." + format, {900, 600, format, 0, false, frames > 1, frames});
  writeFile(c() / "xmp.txt", std::string(2'000'000, 'x'));
  std::string command = "cd " + quoted(c().string()) + " && exiftool -q -q -overwrite_original";
  for (const std::string& argument : t.written) command += " " + quoted(argument);
  ASSERT_EQ(std::system((command + " foto/a." + format + " foto/b." + format).c_str()), 0);
  const auto source = exiftoolOf({c() / "foto" / ("a." + format)}, c() / "exif.txt");
  ASSERT_NE(source.at(0).find(t.shown), std::string::npos);
  for (bool keep : {false, true}) {
    QStringList options{"--web-size", "400", "--thumbs", "100", "--ext", t.format};
    if (keep) options << "--keep-metadata";
    ASSERT_EQ(build(options).status, 0);
    const std::vector<std::filesystem::path> files = {
        numbered(folder(), "img_001"), numbered(folder(), "img_002"), numbered(folder(), "min_001"),
        numbered(folder(), "min_002")};
    const std::vector<std::string> found = exiftoolOf(files, c() / "exif.txt");
    ASSERT_EQ(found.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      const std::string shown = found[i].substr(0, 4000);
      const bool kept = keep && (i == 0 || (i == 1 && t.keptWhenMadeAgain));
      EXPECT_EQ(found[i].find(t.shown) != std::string::npos, kept) << files[i] << "\n" << shown;
      EXPECT_EQ(pictureFacts(files[i]).pages, i < 2 ? frames : 1) << files[i];
      if (keep) continue;
      for (const char* mark : kPrivateMarks)
        EXPECT_EQ(found[i].find(mark), std::string::npos) << files[i] << "\n" << shown;
    }
    EXPECT_EQ(readFile(files[0]) == readFile(c() / "foto" / ("a." + format)), keep);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, WebPrivateMetadataTest,
    ::testing::Values(
        PrivateCase{"exif gps", "jpg", {"-GPSLatitude=45.5", "-GPSLatitudeRef=N"}, "GPS", true},
        PrivateCase{"xmp gps", "jpg", {"-XMP:GPSLatitude=45.5"}, "GPS", true},
        PrivateCase{"serial number", "jpg", {"-SerialNumber=SN-4711"}, "SN-4711", true},
        PrivateCase{"comment", "jpg", {"-Comment=private note"}, "private note", false},
        PrivateCase{"maker note", "jpg", {"-MakerNoteUnknownText=maker"}, "Maker Note", true},
        PrivateCase{"iptc", "jpg", {"-IPTC:City=Milano"}, "[IPTC]", true},
        PrivateCase{"big xmp", "jpg", {"-XMP-dc:Description<=xmp.txt"}, "[XMP", true},
        PrivateCase{"png text", "png", {"-Comment=private note"}, "private note", false},
        PrivateCase{"gif comment", "gif", {"-Comment=private note"}, "private note", true},
        PrivateCase{"gif xmp gps", "gif", {"-XMP:GPSLatitude=45.5"}, "GPS", true}),
    testing::ReadableName());

// Photos the image library cannot read are told in the order of the entries, and the build
// goes on with the others, across folders; one cut short is written from what can be read. The
// slideshow names every copy by the type actually written, picture by picture.
TEST_F(WebBuildTest, DamagedPhotosAreToldInEntryOrderAndTheBuildGoesOn) {
  const std::string whole = pictureBytes({800, 600, "jpg"});
  for (char n : std::string("abdfghi"))
    writeFile(c() / "foto" / (std::string(1, n) + ".jpg"), whole);
  writeFile(c() / "foto" / "b.jpg", whole.substr(0, whole.size() / 2));
  put("c.gif", {800, 600, "gif", 0, false, true});
  writeFile(c() / "foto" / "e.jpg", "not a picture at all");
  put("e2.gif", {30, 20, "gif", 0, false, true});
  writeFile(c() / "foto" / "h.jpg", whole.substr(0, 300));
  const Built b = build({"--web-size", "400", "--per-folder", "5"});
  EXPECT_EQ(b.status, 1);
  const std::string why = " Il file non e' un'immagine valida e non e' stato copiato nell'album\n";
  EXPECT_EQ(b.err, "vortena: Immagine non leggibile: C:\\foto\\e.jpg" + why +
                       "vortena: Immagine non leggibile: C:\\foto\\h.jpg" + why);
  // The slideshow names each copy as written: a transparent GIF re-encoded as a PNG, a small
  // one kept as it is with a PNG thumbnail.
  EXPECT_NE(menu(1).find("src=\"min_003.png\" data-grande=\"img_003.png\""), std::string::npos);
  EXPECT_NE(menu(1).find("src=\"min_004.jpg\" data-grande=\"img_004.jpg\""), std::string::npos);
  EXPECT_NE(menu(2).find("src=\"min_001.png\" data-grande=\"img_001.gif\""), std::string::npos);
  EXPECT_NE(menu(2).find("src=\"min_005.jpg\" data-grande=\"img_005.jpg\""), std::string::npos);
  EXPECT_TRUE(pictureFacts(folder(1) / "img_003.png").alpha);
  EXPECT_EQ(readFile(folder(2) / "img_001.gif"), readFile(c() / "foto" / "e2.gif"));
  for (const char* failed : {"img_005.jpg", "min_005.jpg"})
    EXPECT_FALSE(std::filesystem::exists(folder(1) / failed)) << failed;
  for (const char* made : {"img_001.jpg", "img_002.jpg", "img_004.jpg", "min_002.jpg"})
    EXPECT_TRUE(pictureFacts(folder(1) / made).read) << made;
}

struct DamageCase {
  const char* damage;  // what is wrong with one photo of twelve, or with where its copies go
  int entry;           // which one (from the tenth on, the slideshow repeats one template line)
  bool copyWritten;
  std::string told;  // the message ("" for none)
};
void PrintTo(const DamageCase& t, std::ostream* os) { *os << t.damage; }

class WebDamageTest : public WebBuildTest, public ::testing::WithParamInterface<DamageCase> {};

// The real program, so that all that reaches its standard error is seen: its own messages
// only, never a line of the image library's. No slideshow link leads to a file not written.
TEST_P(WebDamageTest, ToldInTheProgramsOwnWordsAndNeverLinked) {
  const DamageCase& t = GetParam();
  const std::string damage = t.damage, n = zeroPad(t.entry, 3);
  std::filesystem::create_directories(folder());
  for (int k = 1; k <= 12; ++k) put("p" + zeroPad(k, 3) + ".jpg", {40, 30, "jpg"});
  const std::string whole = pictureBytes({800, 600, "jpg"});
  const auto photo = c() / "foto" / ("p" + n + ".jpg");
  if (damage == "truncated jpeg") writeFile(photo, whole.substr(0, whole.size() * 6 / 10));
  if (damage == "empty file") writeFile(photo, "");
  if (damage == "text file") writeFile(photo, "not a picture at all\n");
  if (damage == "copy blocked")
    std::filesystem::create_directories(folder() / ("img_" + n + ".jpg"));
  if (damage == "thumbnail blocked")
    std::filesystem::create_directories(folder() / ("min_" + n + ".jpg"));
  const auto exe = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vortena";
  const int status = std::system(
      (quoted(exe.string()) + " build --yes --web-size 400 --thumbs 100 --per-folder 12 " +
       "--drive " + quoted("C=" + c().string()) + " --program-dir " + quoted(program_.string()) +
       " 'C:\\foto' 'C:\\album\\index.htm' >/dev/null 2>" + quoted((c() / "err").string()))
          .c_str());
  EXPECT_EQ(WEXITSTATUS(status), t.told.empty() ? 0 : 1);
  std::string told;  // progress lines left out: a slow machine may write one
  std::istringstream lines(readFile(c() / "err"));
  for (std::string line; std::getline(lines, line);)
    if (!line.starts_with("vortena: [")) told += line + "\n";
  EXPECT_EQ(told, t.told);
  static const std::regex kLink(R"#((?:src|data-grande)="([^"]+)")#");
  const std::string page = menu();
  for (std::sregex_iterator link(page.begin(), page.end(), kLink), end; link != end; ++link)
    EXPECT_TRUE(std::filesystem::is_regular_file(folder() / (*link)[1].str())) << (*link)[1];
  // The photo cut short is made to the web size from what could be read.
  const int width = !t.copyWritten ? 0 : damage == "truncated jpeg" ? 400 : 40;
  EXPECT_EQ(pictureFacts(folder() / ("img_" + n + ".jpg")).width, width);
}

const std::string kUnreadable =
    " Il file non e' un'immagine valida e non e' stato copiato nell'album\n";
const std::string kCopyFailed =
    "vortena: Errore nella copia delle immagini ERR= 75 - Errore di accesso al percorso/file "
    "Copia ";

INSTANTIATE_TEST_SUITE_P(
    EachDamage, WebDamageTest,
    ::testing::Values(
        DamageCase{"truncated jpeg", 2, true, ""},
        DamageCase{"empty file", 2, false,
                   "vortena: Immagine non leggibile: C:\\foto\\p002.jpg" + kUnreadable},
        DamageCase{"text file", 11, false,
                   "vortena: Immagine non leggibile: C:\\foto\\p011.jpg" + kUnreadable},
        DamageCase{"copy blocked", 12, false,
                   kCopyFailed + "c:\\foto\\p012.jpg c:\\album\\dir_0001\\img_012.jpg\n"},
        DamageCase{"thumbnail blocked", 3, true,
                   kCopyFailed + "c:\\foto\\p003.jpg c:\\album\\dir_0001\\min_003.jpg\n"}),
    testing::ReadableName());

ino_t inodeOf(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

struct RebuildCase {
  const char* change;
  bool madeAgain;
  bool othersToo = false;  // the change concerns every picture of the folder
};
void PrintTo(const RebuildCase& t, std::ostream* os) { *os << t.change; }

class WebRebuildTest : public WebBuildTest, public ::testing::WithParamInterface<RebuildCase> {};

// An unchanged photo is not made again: its copy and thumbnail stay the very files they were.
// A change of the photo, of either size, of the metadata choice or of a file made from it
// makes both again.
TEST_P(WebRebuildTest, OnlyWhatChangedIsMadeAgain) {
  const RebuildCase& t = GetParam();
  put("a.jpg", {800, 600, "jpg"});
  put("b.jpg", {800, 600, "jpg"});
  QStringList options{"--web-size", "400", "--thumbs", "100"};
  ASSERT_EQ(build(options).status, 0);
  const ino_t copy = inodeOf(folder() / "img_001.jpg"), thumb = inodeOf(folder() / "min_001.jpg");
  const ino_t other = inodeOf(folder() / "img_002.jpg");
  const std::string change = t.change;
  const auto photo = c() / "foto" / "a.jpg";
  if (change == "photo touched")
    std::filesystem::last_write_time(
        photo, std::filesystem::last_write_time(photo) - std::chrono::hours(1));
  if (change == "photo replaced") writeFile(photo, pictureBytes({800, 601, "jpg"}));
  if (change == "web size") options[1] = "500";
  if (change == "thumbnail size") options[3] = "120";
  if (change == "keep metadata") options << "--keep-metadata";
  if (change == "thumbnail removed") std::filesystem::remove(folder() / "min_001.jpg");
  if (change == "copy edited") writeFile(folder() / "img_001.jpg", "edited");
  if (change == "record lost") std::filesystem::remove(folder() / ".immagini_web");
  ASSERT_EQ(build(options).status, 0);
  EXPECT_EQ(inodeOf(folder() / "img_001.jpg") != copy, t.madeAgain);
  EXPECT_EQ(inodeOf(folder() / "min_001.jpg") != thumb, t.madeAgain);
  EXPECT_TRUE(pictureFacts(folder() / "img_001.jpg").read);
  EXPECT_EQ(inodeOf(folder() / "img_002.jpg") != other, t.othersToo);
}

INSTANTIATE_TEST_SUITE_P(
    EachChange, WebRebuildTest,
    ::testing::Values(RebuildCase{"nothing", false}, RebuildCase{"photo touched", true},
                      RebuildCase{"photo replaced", true}, RebuildCase{"web size", true, true},
                      RebuildCase{"thumbnail size", true, true},
                      RebuildCase{"keep metadata", true, true},
                      RebuildCase{"thumbnail removed", true}, RebuildCase{"copy edited", true},
                      RebuildCase{"record lost", true, true}),
    testing::ReadableName());

// Back to byte copies: the album is the one a build without web mode writes, thumbnails gone.
TEST_F(WebBuildTest, BuildWithoutWebModeAfterOneWithItWritesTheByteCopyAlbum) {
  put("a.tif", {800, 600, "tif"});
  put("b.jpg", {800, 600, "jpg"});
  ASSERT_EQ(build({"--web-size", "400"}).status, 0);
  ASSERT_EQ(build({}).status, 0);
  const auto afterWeb = entryFolder();

  testing::TempFolder fresh;
  std::filesystem::copy(c() / "foto", fresh.path() / "foto",
                        std::filesystem::copy_options::recursive);
  root_ = fresh.path();
  ASSERT_EQ(build({}).status, 0);
  EXPECT_EQ(afterWeb, entryFolder());
  EXPECT_EQ(afterWeb.count("min_001.jpg"), 0u);
}

struct MarkerCase {
  bool web;
  const char* page;  // the slideshow page written from the small template below
};
void PrintTo(const MarkerCase& t, std::ostream* os) { *os << (t.web ? "web" : "copies"); }

class SlideshowMarkerTest : public WebBuildTest,
                            public ::testing::WithParamInterface<MarkerCase> {};

// The template's lines for one kind of copies: without web mode the web lines leave no trace
// and the others lose their marker only; in web mode the reverse, thumbnails named too.
TEST_P(SlideshowMarkerTest, EachModeWritesItsOwnLinesOnly) {
  testing::TempFolder program;
  std::filesystem::copy(VORTENA_RESOURCES_DIR, program.path(),
                        std::filesystem::copy_options::recursive);
  writeFile(program.path() / "MENU.HTM",
            "<p>\n<!--copie--><img src=\"img_001.jpg\">\n"
            "<!--web--><img src=\"min_001.jpg\" data-grande=\"img_001.jpg\">\n"
            "<!--copie-->show(img.src);\n<!--web-->show(img.dataset.grande);\n"
            "<!--copie--><!--altre--><img src=\"img_010.jpg\">\n"
            "<!--web--><!--altre--><img src=\"min_010.jpg\" data-grande=\"img_010.jpg\">\n");
  program_ = program.path();
  for (int n = 1; n <= 9; ++n) put("p" + std::to_string(n) + ".jpg", {40, 30, "jpg"});
  put("q.gif", {40, 30, "gif", 0, false, true});  // kept as it is, its thumbnail a PNG
  QStringList options{"--per-folder", "10"};
  if (GetParam().web)
    options << "--web-size"
            << "400";
  ASSERT_EQ(build(options).status, 0);
  EXPECT_EQ(menu(), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(
    BothModes, SlideshowMarkerTest,
    ::testing::Values(MarkerCase{false,
                                 "<p>\r\n<img src=\"img_001.jpg\">\r\nshow(img.src);\r\n"
                                 "<img src=\"img_010.gif\">\r\n"},
                      MarkerCase{true,
                                 "<p>\r\n<img src=\"min_001.jpg\" data-grande=\"img_001.jpg\">\r\n"
                                 "show(img.dataset.grande);\r\n"
                                 "<img src=\"min_010.png\" data-grande=\"img_010.gif\">\r\n"}),
    testing::ReadableName());

}  // namespace
}  // namespace vortena
