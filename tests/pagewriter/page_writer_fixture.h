// A page pass over the real file system: drive C: a temporary folder, the program folder P: a
// temporary folder of small hand-made templates and pictures, so that the expected pages below
// depend on nothing but these files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/build_commands.h"
#include "pagewriter/page_pass.h"
#include "support/album_fixture.h"

namespace vortena::testing {

// LF line ends turned into the CR LF that every written line ends with.
inline std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The header template: a background line, a title line, and a line holding both words.
inline const std::string kIntestaz =
    "<HEAD><TITLE>Album</TITLE></HEAD>\n"
    "<BODY BACKGROUND=\"sfondo1g.jpg\" text=\"#FFFFFF\">\n"
    "<marquee>Le mie foto</marquee>\n"
    "<!-- Background e Marquee -->\n"
    "<div align=\"center\"><center>\n";
inline const std::string kIntest2 =
    "<HEAD><TITLE>Album due</TITLE></HEAD>\n"
    "<body Backgrounds=\"sfondo1p.jpg\">\n"
    "<MARQUEE>titolo</MARQUEE>\n"
    "<div align=\"center\"><center>\n";
inline const std::string kPiede = "</BODY>\n</HTML>\n";
inline const std::string kMenu =
    "<HTML><BODY>\n"
    "<a href=\"../dir_000p/menu.htm\"><img src=\"puls_sx3.jpg\"></a>\n"
    "<A HREF=\"../DIR_000S/MENU.HTM\"><IMG SRC=\"puls_dx3.jpg\"></A>\n"
    "<img src=\"img_001.jpg\"> <img src=\"img_002.jpg\">\n"
    "<IMG SRC=\"IMG_003.JPG\">\n"
    "<img src=\"img_010.jpg\">\n"
    "</BODY></HTML>\n";

class PageWriterTest : public ::testing::Test {
 protected:
  PageWriterTest() {
    for (const char* name :
         {"puls_sx3.jpg", "puls_su3.jpg", "puls_dx3.jpg", "sfondo_1.gif", "sfondo_2.gif"})
      putProgramFile(name, std::string("picture ") + name);
    putProgramFile("INTESTAZ.HTM", kIntestaz);
    putProgramFile("INTEST_2.HTM", kIntest2);
    putProgramFile("PIEDE.HTM", kPiede);
    putProgramFile("MENU.HTM", kMenu);
    std::filesystem::create_directories(fx.driveC() / "album");
    form().entriesPerFolderBox->setText("9");
    form().imagesPerRowBox->setText("4");
    JobState& job = fx.session().job;
    job.outputFolder = "c:\\album\\";
    job.pageFile = "index.htm";
    job.rootFolder = "C:\\foto\\";
    fx.takeTranscript();
  }

  const Form& form() { return fx.form().form(); }
  void upperCase() {
    form().upperCaseOption->select();
    fx.session().job.outputFolder = "C:\\ALBUM\\";
    fx.session().job.pageFile = "INDEX.HTM";
  }

  void putProgramFile(const std::string& name, const std::string& bytes) {
    writeFile(program.path() / name, bytes);
  }
  void removeProgramFile(const std::string& name) {
    std::filesystem::remove(program.path() / name);
  }

  // Adds list items for the range 1..count; "C:\foto\x.jpg" items get a file under drive C:
  // whose content is its own name.
  void addEntries(std::initializer_list<std::string> items) {
    for (const std::string& item : items) addEntry(item);
  }
  void addEntry(const std::string& item, bool makeFile = true) {
    form().mediaListBox->addItem(item);
    const std::string prefix = "C:\\";
    if (makeFile && item.rfind(prefix, 0) == 0) {
      std::string relative = item.substr(prefix.size());
      for (char& c : relative)
        if (c == '\\') c = '/';
      writeFile(fx.driveC() / relative, relative);
    }
    fx.session().job.firstEntry = 1;
    fx.session().job.lastEntry = form().mediaListBox->count();
  }
  // n pictures C:\foto\p01.jpg, C:\foto\p02.jpg, ...
  void addPictures(int n) {
    for (int i = 1; i <= n; ++i)
      addEntry("C:\\foto\\p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg");
  }

  // One page pass with the settings the window's controls give and the job state's fields; its
  // outcome is kept in `outcome`, and what the pass changes goes back to the job state.
  void run() {
    JobState& job = fx.session().job;
    PageJob page;
    page.outputFolder = job.outputFolder;
    page.pageFile = job.pageFile;
    page.replaceConfirmed = job.replaceConfirmed;
    page.firstEntry = job.firstEntry;
    page.lastEntry = job.lastEntry;
    page.rootFolder = job.rootFolder;
    page.indexPage = job.indexPage;
    page.folders = folders;
    const Services& services = fx.session().services;
    outcome = writeAlbumPage(page, readBuildSettings(fx.session()),
                             {*services.fs, *services.ui, services.programFolder});
    job.outputFolder = page.outputFolder;
    job.pageFile = page.pageFile;
    job.replaceConfirmed = page.replaceConfirmed;
    folders = page.folders;
  }
  // A file below drive C:, read as bytes ("album/index.htm").
  std::string onC(const std::string& relative) { return readFile(fx.driveC() / relative); }
  bool existsOnC(const std::string& relative) {
    return std::filesystem::exists(fx.driveC() / relative);
  }

  TempFolder program;
  AlbumFixture fx{program.path()};
  PageOutcome outcome = PageOutcome::NotWritten;
  FolderNumbering folders;  // the pass's folder numbering, as a build keeps it
};

// The twelve frame lines of a button around its link and text lines, and the two lines after;
// the button's picture is named in the build's case, as it is copied beside the page.
inline std::string cell(const std::string& href, const std::string& text, bool upper = false) {
  return "<td valign=\"Top\">\n"
         "  <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\" 130\">\n"
         "  <tr>\n"
         "   <td background=\"" + std::string(upper ? "PULSANTE.JPG" : "pulsante.jpg") +
         "\" width=\"130\" height=\"30\">\n"
         "    <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"130\" "
         "height=\"30\">\n"
         "     <tr>\n"
         "      <td><p align=\"center\">\n"
         "        <A HREF=\"" +
         href + "\">\n" + text +
         "</A>\n"
         "      </td>\n"
         "     </tr>\n"
         "    </table>\n"
         "   </td>\n"
         "  </tr>\n"
         "</table></td>\n"
         " \n";
}
inline const std::string kRowBreak = " \n</tr>\n<tr>\n \n";
inline const std::string kGridStart =
    "<table border=\"0\" cellpadding=\"0\" cellspacing=\"10\" width=\"130\">\n<tr>\n \n";
inline const std::string kGridEnd = " </tr>\n</table>\n</center></div>\n";
inline const std::string kBackLinkLower =
    "<H2><a href=\"index.htm\" target=\"_top\"><p align=\"center\"><font color=\"#FFFF80\">"
    "<strong><em>Ritorna alla pagina iniziale</strong></em></font></p></a></H2>\n";
inline const std::string kBackLinkUpper =
    "<H2><a href=\"INDEX.HTM\" target=\"_top\"><p align=\"center\"><font color=\"#FFFF80\">"
    "<strong><em>Ritorna alla pagina iniziale</strong></em></font></p></a></H2>\n";

}  // namespace vortena::testing
