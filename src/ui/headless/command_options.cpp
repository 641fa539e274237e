#include "ui/headless/command_options.h"

#include <filesystem>
#include <sstream>

#include "ui/headless/command_line.h"

#ifndef VORTENA_VERSION
#define VORTENA_VERSION "0"
#endif

namespace vortena {

std::string bytes(const QString& text) { return text.toUtf8().toStdString(); }

const FormText kWindowText{
    "vortena [OPTION]...\n  or:  vortena --script FILE [OPTION]...\n"
    "  or:  vortena build [OPTION]... SOURCE_FOLDER PAGE\n"
    "  or:  vortena scan [OPTION]... SOURCE_FOLDER\n"
    "  or:  vortena check [OPTION]... PAGE",
    "Without --script, opens the window that turns a folder tree of pictures into a\n"
    "web album. With --script, runs that window without a display, one command a line\n"
    "from FILE (- for standard input), and writes a transcript of what a user would\n"
    "have seen.\n"
    "'vortena build --help', 'vortena scan --help' and 'vortena check --help'\n"
    "describe the commands.\n"};

const FormText kBuildText{
    "vortena build [OPTION]... SOURCE_FOLDER PAGE",
    "Builds the album page PAGE from the media of SOURCE_FOLDER and the folders below\n"
    "it, as the window does with its buttons 3 and 4. Paths are host paths\n"
    "(/home/me/foto) or drive paths (C:\\foto). The listed files are renamed to the\n"
    "letter case of the build (lower case unless --upper). The messages of the window\n"
    "go to standard error, one line each. The folder of PAGE must exist.\n"};

const FormText kScanText{
    "vortena scan [OPTION]... SOURCE_FOLDER",
    "Lists the media of SOURCE_FOLDER and the folders below it, one entry a line, as\n"
    "the window's button 3 lists them. A name's extension is the text after its last\n"
    "dot. What cannot be listed (a path too long, a folder too deep or unreadable, a\n"
    "name holding a backslash) is told in a warning on standard error.\n"};

const FormText kCheckText{
    "vortena check [OPTION]... PAGE",
    "Audits the album of the page PAGE before it is published, reading it and\n"
    "changing nothing. PAGE is a host path (/home/me/foto/index.htm) or a drive path\n"
    "(C:\\foto\\index.htm). From PAGE the links of every page are followed: the index\n"
    "of pages, its numbered pages and the slideshow page of each entry folder. Told:\n"
    "  - broken links: an href, src or background that reaches no file, that reaches\n"
    "    it only in another letter case (a web server tells letters apart), or that\n"
    "    leaves the folder of PAGE;\n"
    "  - files linked nowhere that the program did not make, in the entry folders\n"
    "    (the user's own files beside the album are not the album's);\n"
    "  - published pictures carrying a GPS position, a serial number or other\n"
    "    personal metadata;\n"
    "  - hidden files in the folder of PAGE and below, which an upload would take\n"
    "    (the program's records .cartelle_album and .immagini_web are listed apart:\n"
    "    they hold no private data);\n"
    "  - the number of files and bytes of the album.\n"
    "A summary goes to standard output, or with --json one object: page, pages,\n"
    "brokenLinks (page, link, problem: missing, case or outside, onDisk), orphans,\n"
    "privateMetadata (file, found: gps, serial, other), hiddenFiles, programRecords,\n"
    "files and bytes; paths relative to the folder of PAGE.\n",
    "\nExit status:\n"
    " 0  if nothing was found,\n"
    " 1  if something was found,\n"
    " 2  if the command line was wrong or PAGE cannot be read.\n"};

namespace {

const char* const kExitText =
    "\nExit status:\n"
    " 0  if nothing was reported (a warning is no failure),\n"
    " 1  if a failure was reported (a message of the window, or a question answered\n"
    "    no),\n"
    " 2  if the command line was wrong,\n"
    " 128+N  if signal N ended it (130 for Ctrl+C, 143 for a kill, 129 for a closed\n"
    "    terminal), once the temporary files of the pages and copies under way are\n"
    "    removed.\n";

QString helpName(const QCommandLineOption& option) {
  QString names;
  for (const QString& name : option.names()) {
    if (!names.isEmpty()) names += QStringLiteral(", ");
    names += (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  }
  if (!option.valueName().isEmpty()) names += QLatin1Char(' ') + option.valueName();
  return names;
}

// The description column starts here, and no line goes past 80 columns.
constexpr size_t kDescriptionColumn = 26;
constexpr size_t kLineWidth = 80;

std::string helpText(const FormText& text, const QList<QCommandLineOption>& options) {
  std::ostringstream out;
  out << "Usage: " << text.usage << "\n" << text.about << "\nOptions:\n";
  const std::string indent(kDescriptionColumn, ' ');
  for (const QCommandLineOption& option : options) {
    const std::string name = "  " + bytes(helpName(option));
    out << name;
    size_t column = name.size();
    if (column + 2 > kDescriptionColumn) {
      out << "\n";
      column = 0;
    }
    out << std::string(kDescriptionColumn - column, ' ');
    column = kDescriptionColumn;
    std::istringstream words(bytes(option.description()));
    std::string word;
    bool first = true;
    while (words >> word) {
      if (!first && column + 1 + word.size() > kLineWidth) {
        out << "\n" << indent;
        column = kDescriptionColumn;
      } else if (!first) {
        out << ' ';
        ++column;
      }
      out << word;
      column += word.size();
      first = false;
    }
    out << "\n";
  }
  out << (text.exit ? text.exit : kExitText);
  return out.str();
}

std::string versionText() {
  return "vortena " VORTENA_VERSION
         "\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace

// A command line that cannot be run: the problem, the usage line and where to read more.
int badCommandLine(std::ostream& err, const FormText& text, const std::string& command,
                   const std::string& problem) {
  const std::string usage = text.usage;
  err << "vortena: " << problem << "\n"
      << "Usage: " << usage.substr(0, usage.find('\n')) << "\n"
      << "Try 'vortena" << command << " --help' for more information.\n";
  return 2;
}

namespace {

const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("display this help and exit"));
const QCommandLineOption kVersion(QStringLiteral("version"),
                                  QStringLiteral("output version information and exit"));
const QCommandLineOption kDrive(QStringLiteral("drive"),
                                QStringLiteral("map drive letter L to host folder DIR "
                                               "(repeatable; wins over VORTENA_DRIVES)"),
                                QStringLiteral("L=DIR"));
const QCommandLineOption kProgramDir(QStringLiteral("program-dir"),
                                     QStringLiteral("folder of the templates and pictures"),
                                     QStringLiteral("DIR"));

}  // namespace

// Gives `parser` the form's own options and those every form takes, parses `args` and answers
// --help and --version. The exit status when the program is to end at once; nothing when the
// command is to run with `options` changed by the common options.
std::optional<int> parseCommon(QCommandLineParser& parser, QList<QCommandLineOption> own,
                               const QStringList& args, const FormText& text,
                               const std::string& command, std::ostream& out, std::ostream& err,
                               RunnerOptions& options) {
  own << kDrive << kProgramDir << kHelp << kVersion;
  parser.addOptions(own);
  if (!parser.parse(args)) return badCommandLine(err, text, command, bytes(parser.errorText()));
  if (parser.isSet(kHelp)) {
    out << helpText(text, own);
    return 0;
  }
  if (parser.isSet(kVersion)) {
    out << versionText();
    return 0;
  }
  for (const QString& drive : parser.values(kDrive))
    if (!options.drives.parseAssignment(bytes(drive)))
      return badCommandLine(err, text, command, "--drive needs L=DIR, not '" + bytes(drive) + "'");
  // A drive over a folder that is not there lists nothing and takes no page: said at once, the
  // program going on as asked.
  for (const std::string& drive : options.drives.missingFolders())
    err << "vortena: warning: drive " << drive.substr(0, 2) << " is mapped to " << drive.substr(3)
        << ", which is not a folder\n";
  if (parser.isSet(kProgramDir)) {
    // Made absolute now: the commands change folder, and a relative program folder would then
    // point elsewhere.
    std::string folder =
        std::filesystem::absolute(bytes(parser.value(kProgramDir))).lexically_normal().string();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    options.programFolder = folder;
  }
  return std::nullopt;
}

std::optional<int> parseWindowForm(const QStringList& args, const RunnerOptions& defaults,
                                   std::ostream& out, std::ostream& err, WindowForm& form) {
  const QCommandLineOption script(QStringLiteral("script"),
                                  QStringLiteral("run the window without a display from FILE "
                                                 "(- for standard input)"),
                                  QStringLiteral("FILE"));
  const QCommandLineOption screenWidth(QStringLiteral("screen-width"),
                                       QStringLiteral("screen width in pixels with --script "
                                                      "(default 1024)"),
                                       QStringLiteral("N"));
  QCommandLineParser parser;
  form.options = defaults;
  if (auto status =
          parseCommon(parser, {script, screenWidth}, args, kWindowText, "", out, err, form.options))
    return status;
  if (!parser.positionalArguments().isEmpty())
    return badCommandLine(err, kWindowText, "",
                          "unknown argument '" + bytes(parser.positionalArguments()[0]) + "'");
  if (parser.isSet(script)) form.script = bytes(parser.value(script));
  if (parser.isSet(screenWidth)) {
    bool ok = false;
    const int width = parser.value(screenWidth).toInt(&ok);
    if (!ok || width <= 0)
      return badCommandLine(err, kWindowText, "", "--screen-width needs a number of pixels");
    form.options.screenWidth = width;
  }
  return std::nullopt;
}

bool isCommand(const QStringList& args) {
  return args.size() > 1 && (args[1] == QLatin1String("build") ||
                             args[1] == QLatin1String("scan") || args[1] == QLatin1String("check"));
}

}  // namespace vortena
