#include "ui/headless/command_line.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "album/builds.h"

#ifndef VORTENA_VERSION
#define VORTENA_VERSION "0"
#endif

namespace vortena {
namespace {

std::string bytes(const QString& text) { return text.toUtf8().toStdString(); }

// The forms and what their help says; the options are the parser's own.
struct FormText {
  const char* usage;  // after "Usage: "
  const char* about;  // what the form does, and its arguments
};

const FormText kWindowText{
    "vortena [OPTION]...\n  or:  vortena --script FILE [OPTION]...\n"
    "  or:  vortena build [OPTION]... SOURCE_FOLDER PAGE\n"
    "  or:  vortena scan [OPTION]... SOURCE_FOLDER",
    "Without --script, opens the window that turns a folder tree of pictures into a\n"
    "web album. With --script, runs that window without a display, one command a line\n"
    "from FILE (- for standard input), and writes a transcript of what a user would\n"
    "have seen.\n"
    "'vortena build --help' and 'vortena scan --help' describe the two commands.\n"};

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
  out << kExitText;
  return out.str();
}

std::string versionText() {
  return "vortena " VORTENA_VERSION
         "\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

// A command line that cannot be run: the problem, the usage line and where to read more.
int badCommandLine(std::ostream& err, const FormText& text, const std::string& command,
                   const std::string& problem) {
  const std::string usage = text.usage;
  err << "vortena: " << problem << "\n"
      << "Usage: " << usage.substr(0, usage.find('\n')) << "\n"
      << "Try 'vortena" << command << " --help' for more information.\n";
  return 2;
}

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

// The user at the console: the window's messages go to standard error, one line each; the
// questions are answered as the options say; progress is a bar on a terminal, a line every few
// seconds otherwise.
class ConsoleUser : public Ui, public FileDialog, public Launcher {
 public:
  ConsoleUser(std::ostream& err, const CommandLineSetup& setup, bool yes, bool open)
      : err_(err),
        screenWidth_(setup.options.screenWidth),
        terminal_(setup.terminal),
        yes_(yes),
        open_(open) {}

  void setOpener(std::unique_ptr<Launcher> opener) { opener_ = std::move(opener); }
  bool reported() const { return reported_; }

  void beep() override {}
  void message(const std::string& text) override {
    say(oneLine(text));
    reported_ = true;
  }
  // The view question takes --open, any other --yes. A question answered no stops the work it
  // guards, so it is reported.
  bool question(const std::string& text) override {
    if (text.starts_with(kViewQuestionStart)) return open_;
    if (!yes_) {
      say(oneLine(text) + " -> no");
      reported_ = true;
    }
    return yes_;
  }
  // What the scan left out is a warning, not a failure: the list is printed and the build
  // goes on. One line: the count and the first few with their reasons.
  void tellLeftOut(const std::vector<LeftOut>& items) override {
    constexpr size_t kShown = 3;
    std::string line = "warning: " + std::to_string(items.size()) +
                       (items.size() == 1 ? " file or folder" : " files or folders") +
                       " left out of the list: ";
    for (size_t i = 0; i < items.size() && i < kShown; ++i)
      line += (i > 0 ? "; " : "") + items[i].path + " (" + reasonText(items[i].why) + ")";
    if (items.size() > kShown) line += "; and " + std::to_string(items.size() - kShown) + " more";
    say(oneLine(line));
  }
  void setPointer(Pointer pointer) override {
    if (pointer == Pointer::Default) clearBar();
  }
  void processEvents() override {}
  int screenWidth() const override { return screenWidth_; }
  void endProgram() override {}
  void progress(long done, long total) override {
    const auto now = std::chrono::steady_clock::now();
    if (!started_) {
      started_ = true;
      start_ = now;
      shown_ = now;
    }
    const double sinceShown = std::chrono::duration<double>(now - shown_).count();
    if (sinceShown < (terminal_ ? 0.1 : 5.0)) return;
    shown_ = now;
    const std::string line =
        progressLine(done, total, std::chrono::duration<double>(now - start_).count());
    if (terminal_) {
      err_ << "\r" << line << "\x1b[K" << std::flush;
      barShown_ = true;
    } else {
      err_ << "vortena: " << line << "\n" << std::flush;
    }
  }

  // The build never opens a file dialog.
  std::string choose(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  // A page that cannot be opened is told by the build, once.
  bool start(const std::string& commandLine) override {
    return opener_ && opener_->start(commandLine);
  }

  // The progress of one command ends; the next starts its clock afresh.
  void endWork() {
    clearBar();
    started_ = false;
  }

 private:
  static std::string reasonText(LeftOut::Why why) {
    switch (why) {
      case LeftOut::Why::PathTooLong:
        return "path too long";
      case LeftOut::Why::TooDeep:
        return "deeper than " + std::to_string(kDeepestScanLevel) + " folder levels";
      case LeftOut::Why::Unreadable:
        return "folder cannot be read";
      case LeftOut::Why::UnusableName:
        return "name holds a backslash";
    }
    return {};
  }
  static std::string oneLine(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (!line.empty() && line.back() != ' ') line += ' ';
      } else {
        line += text[i];
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
  }
  void say(const std::string& line) {
    clearBar();
    err_ << "vortena: " << line << "\n" << std::flush;
  }
  void clearBar() {
    if (!barShown_) return;
    err_ << "\r\x1b[K" << std::flush;
    barShown_ = false;
  }

  std::ostream& err_;
  int screenWidth_;
  bool terminal_;
  bool yes_;
  bool open_;
  std::unique_ptr<Launcher> opener_;
  bool reported_ = false;
  bool started_ = false;
  bool barShown_ = false;
  std::chrono::steady_clock::time_point start_, shown_;
};

// A folder or page as the window's boxes take it: a drive path as it is, a host path (made
// absolute) in its drive form.
std::string boxPath(const WindowsFileSystem& fs, const QString& given) {
  const std::string path = bytes(given);
  const bool drivePath =
      path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  if (drivePath) return path;
  if (path.starts_with("~")) return fs.toDriveForm(path);
  return fs.toDriveForm(std::filesystem::absolute(path).lexically_normal().string());
}

const QCommandLineOption kExt(
    QStringLiteral("ext"),
    QStringLiteral("list the files of extension EXT; * (the default) for "
                   "the known picture types, an empty EXT for the folders"),
    QStringLiteral("EXT"), QStringLiteral("*"));

int runScan(const QStringList& args, std::ostream& out, std::ostream& err,
            const CommandLineSetup& setup) {
  QCommandLineParser parser;
  RunnerOptions options = setup.options;
  if (auto status = parseCommon(parser, {kExt}, args, kScanText, " scan", out, err, options))
    return *status;
  const QStringList folders = parser.positionalArguments();
  if (folders.size() != 1)
    return badCommandLine(err, kScanText, " scan",
                          folders.empty() ? "missing SOURCE_FOLDER" : "too many arguments");

  ConsoleUser user(err, setup, false, false);
  HeadlessWindow headless(options, user, user, user);
  const Form& form = headless.form();
  form.txtPATH_RICERCA->setText(boxPath(headless.fs(), folders[0]));
  form.txtESTENSIONE->setText(bytes(parser.value(kExt)));
  headless.window().click("cmdCONFERMA");
  user.endWork();
  for (int i = 0; i < form.List1->count(); ++i) out << form.List1->item(i) << "\n";
  out.flush();
  return user.reported() ? 1 : 0;
}

const QCommandLineOption kPerFolder(QStringLiteral("per-folder"),
                                    QStringLiteral("at most N entries a folder, and a page of a "
                                                   "--paged build (default 9)"),
                                    QStringLiteral("N"));
const QCommandLineOption kPerRow(QStringLiteral("per-row"),
                                 QStringLiteral("N images a row (default: 1 for a list of up to "
                                                "54 entries, else 5, 4 on a narrow screen)"),
                                 QStringLiteral("N"));
const QCommandLineOption kPaged(QStringLiteral("paged"),
                                QStringLiteral("numbered pages of --per-folder entries each and "
                                               "an index of pages at PAGE (button 4, second)"));
const QCommandLineOption kUpper(
    QStringLiteral("upper"), QStringLiteral("upper-case names (Maiuscole); lower case otherwise"));
const QCommandLineOption kNoBackground(QStringLiteral("no-background"),
                                       QStringLiteral("leave the page background out "
                                                      "(Elimino sfondo)"));
const QCommandLineOption kNoTitle(QStringLiteral("no-title"),
                                  QStringLiteral("leave the scrolling title out (Elimino titolo)"));
const QCommandLineOption kYes(QStringLiteral("yes"),
                              QStringLiteral("answer yes when asked to replace a page or to go "
                                             "on without a template; no otherwise"));
const QCommandLineOption kOpen(QStringLiteral("open"),
                               QStringLiteral("open the page in the browser when it is built"));

const QCommandLineOption kWebSize(QStringLiteral("web-size"),
                                  QStringLiteral("web mode: each picture copy a JPEG (PNG with "
                                                 "transparency) of at most N pixels on its "
                                                 "longer side, upright, in sRGB, without its "
                                                 "metadata, and a thumbnail beside it"),
                                  QStringLiteral("N"));
const QCommandLineOption kThumbs(QStringLiteral("thumbs"),
                                 QStringLiteral("thumbnails of at most M pixels on their longer "
                                                "side in web mode (default 200)"),
                                 QStringLiteral("M"));
const QCommandLineOption kKeepMetadata(QStringLiteral("keep-metadata"),
                                       QStringLiteral("keep the pictures' metadata (GPS "
                                                      "position included) in web mode"));

// A size in pixels: a whole number above 0, not too large for any picture.
std::optional<int> pixelSize(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value <= 0 || value > 100000) return std::nullopt;
  return value;
}

// The web mode the options ask for; a message for options that cannot be taken.
std::optional<std::string> webOptions(const QCommandLineParser& parser, WebOptions& web) {
  for (const QCommandLineOption* option : {&kWebSize, &kThumbs}) {
    if (!parser.isSet(*option)) continue;
    std::optional<int> size = pixelSize(parser.value(*option));
    if (!size)
      return "--" + bytes(option->names()[0]) + " needs a number of pixels above 0, not '" +
             bytes(parser.value(*option)) + "'";
    (option == &kWebSize ? web.webSize : web.thumbSize) = *size;
  }
  if (!web.on() && (parser.isSet(kThumbs) || parser.isSet(kKeepMetadata)))
    return std::string(parser.isSet(kThumbs) ? "--thumbs" : "--keep-metadata") +
           " is for web mode: give --web-size too";
  if (web.on() && web.thumbSize == 0) web.thumbSize = kDefaultThumbSize;
  web.keepMetadata = parser.isSet(kKeepMetadata);
  return std::nullopt;
}

int runBuild(const QStringList& args, std::ostream& out, std::ostream& err,
             const CommandLineSetup& setup) {
  QCommandLineParser parser;
  RunnerOptions options = setup.options;
  if (auto status = parseCommon(parser,
                                {kExt, kPerFolder, kPerRow, kPaged, kUpper, kNoBackground, kNoTitle,
                                 kYes, kOpen, kWebSize, kThumbs, kKeepMetadata},
                                args, kBuildText, " build", out, err, options))
    return *status;
  WebOptions web;
  if (std::optional<std::string> problem = webOptions(parser, web))
    return badCommandLine(err, kBuildText, " build", *problem);
  const QStringList paths = parser.positionalArguments();
  if (paths.size() != 2)
    return badCommandLine(
        err, kBuildText, " build",
        paths.size() < 2 ? "missing SOURCE_FOLDER or PAGE" : "too many arguments");

  ConsoleUser user(err, setup, parser.isSet(kYes), parser.isSet(kOpen));
  HeadlessWindow headless(options, user, user, user);
  headless.window().album().web = web;
  if (parser.isSet(kOpen) && setup.opener) user.setOpener(setup.opener(headless.fs()));
  const Form& form = headless.form();
  // The steps a user takes at the window: the boxes and options, button 3, the images per
  // row (which the load proposes anew), then button 4.
  form.txtPATH_RICERCA->setText(boxPath(headless.fs(), paths[0]));
  form.txtESTENSIONE->setText(bytes(parser.value(kExt)));
  form.txtNOME_FILE_HTM->setText(boxPath(headless.fs(), paths[1]));
  if (parser.isSet(kPerFolder)) form.txtMAX_N_FILES->setText(bytes(parser.value(kPerFolder)));
  form.Check1->setValue(parser.isSet(kNoBackground) ? 1 : 0);
  form.Check2->setValue(parser.isSet(kNoTitle) ? 1 : 0);
  (parser.isSet(kUpper) ? form.Option1 : form.Option2)->select();
  headless.window().click("cmdCONFERMA");
  user.endWork();
  if (user.reported()) return 1;
  if (parser.isSet(kPerRow)) form.txtMAX_PER_RIGA->setText(bytes(parser.value(kPerRow)));
  // An empty list leaves the build buttons disabled; enabled here, the build itself refuses
  // the empty list with its own message.
  Button* build = parser.isSet(kPaged) ? form.Command4 : form.Command1;
  build->setEnabled(true);
  headless.window().click(build->name());
  user.endWork();
  return user.reported() ? 1 : 0;
}

}  // namespace

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
  return args.size() > 1 && (args[1] == QLatin1String("build") || args[1] == QLatin1String("scan"));
}

int runCommand(const QStringList& args, std::ostream& out, std::ostream& err,
               const CommandLineSetup& setup) {
  // The parser takes the first argument as the program: the command word stands in for it.
  const QStringList rest = args.mid(1);
  return args[1] == QLatin1String("build") ? runBuild(rest, out, err, setup)
                                           : runScan(rest, out, err, setup);
}

std::string progressLine(long done, long total, double elapsedSeconds) {
  if (total <= 0) return std::to_string(done) + " found";
  constexpr int kWidth = 20;
  const long shown = std::min(done, total);
  const int filled = static_cast<int>(kWidth * shown / total);
  std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] " +
                     std::to_string(done) + "/" + std::to_string(total);
  if (shown <= 0) return line;
  const long left =
      std::lround(elapsedSeconds * static_cast<double>(total - shown) / static_cast<double>(shown));
  const std::string seconds = std::to_string(left % 60);
  return line + " " + std::to_string(left / 60) + ":" + (seconds.size() < 2 ? "0" : "") + seconds +
         " left";
}

}  // namespace vortena
