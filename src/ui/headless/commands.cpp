#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "album/album_check.h"
#include "album/builds.h"
#include "app/main_window.h"
#include "core/text.h"
#include "medialist/folder_scan.h"
#include "ui/headless/command_line.h"
#include "ui/headless/command_options.h"
#include "ui/headless/console_user.h"

namespace vortena {
namespace {

// Whether the path was given in its host form (not as a drive path "C:...").
bool isHostPath(const QString& given) {
  const std::string path = bytes(given);
  return !(path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':');
}

// A folder or page as the window's boxes take it: a drive path as it is, a host path (made
// absolute) in its drive form.
std::string boxPath(const WindowsFileSystem& fs, const QString& given) {
  const std::string path = bytes(given);
  if (!isHostPath(given)) return path;
  if (path.starts_with("~")) return fs.toDriveForm(path);
  return fs.toDriveForm(std::filesystem::absolute(path).lexically_normal().string());
}

const QCommandLineOption kExt(
    QStringLiteral("ext"),
    QStringLiteral("list the files of the extensions EXT, separated by commas (jpg,jpeg,png); "
                   "* (the default) for the known picture types, an empty EXT for the folders"),
    QStringLiteral("EXT"), QStringLiteral("*"));

// The extensions of --ext, split at its commas.
std::vector<std::string> extensionsOf(const QCommandLineParser& parser) {
  std::vector<std::string> extensions;
  for (const QString& extension : parser.value(kExt).split(QLatin1Char(',')))
    extensions.push_back(bytes(extension));
  return extensions;
}

// The disk, the console user and the program folder of one command.
struct CommandWorld {
  CommandWorld(const RunnerOptions& options, ConsoleUser& user)
      : fs(withProgramFolder(options.drives, options.programFolder)),
        folders(fs, fs.drives()),
        files(folders),
        programFolder(programFolderDriveForm(fs, options.programFolder)),
        user(user) {
    // The default folder of the page path exists as the window makes it at start.
    makeDefaultFolder(fs);
  }
  // The paths given are full (boxPath); the build makes its page's folder current, and the
  // page writer names some files from it.
  WindowsFileSystem fs;
  DriveFolders folders;
  FolderRelativeFileSystem files;
  std::string programFolder;
  ConsoleUser& user;
};

// The load of the list, as the window's load button runs it: the entries of `folder` with the
// `extensions`; what cannot be listed is told as a warning. Nothing when the load is refused
// (told as a failure).
std::optional<MediaList> load(CommandWorld& world, FolderScan& scan, const std::string& folder,
                              const std::vector<std::string>& extensions) {
  if (const auto refusal = refusedExtension(extensions)) {
    world.user.message(*refusal);
    return std::nullopt;
  }
  ListedEntries entries;
  const ScanServices services{world.files, world.user, world.programFolder};
  scan.scanFolder({scanStartFolder(folder), extensions}, services, entries);
  world.user.endWork();
  if (!scan.leftOut().empty()) world.user.tellLeftOut(scan.leftOut());
  return std::move(entries.list);
}

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
  CommandWorld world(options, user);
  if (isHostPath(folders[0])) user.tellHostPaths(world.fs.drives());
  FolderScan scan;
  const std::optional<MediaList> entries =
      load(world, scan, boxPath(world.fs, folders[0]), extensionsOf(parser));
  if (entries)
    for (size_t i = 0; i < entries->size(); ++i) out << (*entries)[i] << "\n";
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
  BuildSettings settings;
  if (std::optional<std::string> problem = webOptions(parser, settings.web))
    return badCommandLine(err, kBuildText, " build", *problem);
  const QStringList paths = parser.positionalArguments();
  if (paths.size() != 2)
    return badCommandLine(
        err, kBuildText, " build",
        paths.size() < 2 ? "missing SOURCE_FOLDER or PAGE" : "too many arguments");

  ConsoleUser user(err, setup, parser.isSet(kYes), parser.isSet(kOpen));
  CommandWorld world(options, user);
  // The user who typed host paths hears of host paths; drive paths stay drive paths.
  if (std::any_of(paths.begin(), paths.end(), isHostPath)) user.tellHostPaths(world.fs.drives());
  if (parser.isSet(kOpen) && setup.opener) user.setOpener(setup.opener(world.fs));
  FolderScan scan;
  std::optional<MediaList> entries =
      load(world, scan, boxPath(world.fs, paths[0]), extensionsOf(parser));
  if (!entries || user.reported()) return 1;
  // The settings the window's boxes would hold after the load: 9 entries a folder and the
  // images a row the load proposes, unless given.
  settings.pagePath = boxPath(world.fs, paths[1]);
  settings.upperCase = parser.isSet(kUpper);
  settings.entriesPerFolder =
      parser.isSet(kPerFolder) ? numericValue(bytes(parser.value(kPerFolder))) : 9;
  settings.imagesPerRow =
      parser.isSet(kPerRow)
          ? numericValue(bytes(parser.value(kPerRow)))
          : proposedImagesPerRow(static_cast<long>(entries->size()), options.screenWidth);
  settings.leaveOutBackground = parser.isSet(kNoBackground);
  settings.leaveOutTitle = parser.isSet(kNoTitle);
  settings.shownCount = static_cast<double>(entries->size());
  settings.entries = std::move(*entries);
  const BuildServices services{world.files, world.folders, user, user, world.programFolder};
  JobState job;
  const BuildResult result = parser.isSet(kPaged) ? buildPagedAlbum(settings, services, job)
                                                  : buildSinglePage(settings, services, job);
  if (result.view) offerView(*result.view, services);
  user.endWork();
  return user.reported() ? 1 : 0;
}

const QCommandLineOption kJson(QStringLiteral("json"),
                               QStringLiteral("write the findings as one JSON object, for "
                                              "scripts, instead of the summary"));

// The kinds of personal metadata a picture carries, as the summary and the JSON name them.
std::vector<std::pair<std::string, std::string>> metadataKinds(const PrivateMetadata& found) {
  std::vector<std::pair<std::string, std::string>> kinds;
  if (found.gpsPosition) kinds.emplace_back("gps", "GPS position");
  if (found.serialNumber) kinds.emplace_back("serial", "serial number");
  if (found.other) kinds.emplace_back("other", "other metadata");
  return kinds;
}

QString text(const std::string& bytes) { return QString::fromStdString(bytes); }

QJsonArray textArray(const std::vector<std::string>& items) {
  QJsonArray array;
  for (const std::string& item : items) array.append(text(item));
  return array;
}

void writeJson(const AlbumReport& report, std::ostream& out) {
  QJsonArray broken;
  for (const BrokenLink& link : report.brokenLinks) {
    QJsonObject item{{"page", text(link.page)},
                     {"link", text(link.link)},
                     {"problem", text(std::string(problemName(link.problem)))}};
    if (link.problem == LinkProblem::kCaseDiffers) item.insert("onDisk", text(link.onDisk));
    broken.append(item);
  }
  QJsonArray metadata;
  for (const MetadataFinding& finding : report.privateMetadata) {
    QJsonArray found;
    for (const auto& kind : metadataKinds(finding.found)) found.append(text(kind.first));
    metadata.append(QJsonObject{{"file", text(finding.file)}, {"found", found}});
  }
  const QJsonObject object{{"page", text(report.page.string())},
                           {"pages", textArray(report.pages)},
                           {"brokenLinks", broken},
                           {"orphans", textArray(report.orphans)},
                           {"privateMetadata", metadata},
                           {"hiddenFiles", textArray(report.hiddenFiles)},
                           {"programRecords", textArray(report.programRecords)},
                           {"files", static_cast<qint64>(report.files)},
                           {"bytes", static_cast<qint64>(report.bytes)}};
  out << QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

void writeSummary(const AlbumReport& report, std::ostream& out) {
  out << "Album of " << report.page.string() << ": " << report.pages.size()
      << (report.pages.size() == 1 ? " page" : " pages") << "\n";
  for (const BrokenLink& link : report.brokenLinks) {
    out << "broken link: " << link.page << " -> " << link.link << " (";
    switch (link.problem) {
      case LinkProblem::kMissing:
        out << "no such file";
        break;
      case LinkProblem::kCaseDiffers:
        out << "letter case differs: " << link.onDisk << " on disk";
        break;
      case LinkProblem::kOutside:
        out << "outside the album folder";
        break;
    }
    out << ")\n";
  }
  for (const std::string& orphan : report.orphans) out << "linked nowhere: " << orphan << "\n";
  for (const MetadataFinding& finding : report.privateMetadata) {
    out << "personal metadata: " << finding.file << " (";
    const auto kinds = metadataKinds(finding.found);
    for (size_t i = 0; i < kinds.size(); ++i) out << (i > 0 ? ", " : "") << kinds[i].second;
    out << ")\n";
  }
  for (const std::string& hidden : report.hiddenFiles) out << "hidden file: " << hidden << "\n";
  for (const std::string& record : report.programRecords)
    out << "record of the program (no private data, harmless): " << record << "\n";
  out << "To upload: " << report.files << (report.files == 1 ? " file, " : " files, ")
      << report.bytes << " bytes\n";
  const size_t findings = report.brokenLinks.size() + report.orphans.size() +
                          report.privateMetadata.size() + report.hiddenFiles.size();
  if (findings == 0)
    out << "Nothing found: the album is whole and safe to publish.\n";
  else
    out << findings << (findings == 1 ? " finding" : " findings") << " to look at.\n";
}

int runCheck(const QStringList& args, std::ostream& out, std::ostream& err,
             const CommandLineSetup& setup) {
  QCommandLineParser parser;
  RunnerOptions options = setup.options;
  if (auto status = parseCommon(parser, {kJson}, args, kCheckText, " check", out, err, options))
    return *status;
  const QStringList pages = parser.positionalArguments();
  if (pages.size() != 1)
    return badCommandLine(err, kCheckText, " check",
                          pages.empty() ? "missing PAGE" : "too many arguments");
  // The page as build takes it, then on the host: the audit reads the disk as a web server
  // would, with the exact letter case, and makes nothing (not even the default folder).
  const std::string given = bytes(pages[0]);
  std::string host = given;
  if (given.size() >= 2 && std::isalpha(static_cast<unsigned char>(given[0])) && given[1] == ':') {
    const std::optional<std::string> found = WindowsFileSystem(options.drives).toHostPath(given);
    if (!found) {
      err << "vortena: " << given << ": drive " << given.substr(0, 2) << " is not mapped\n";
      return 2;
    }
    host = *found;
  } else if (given == "~" || given.starts_with("~/")) {
    const char* home = std::getenv("HOME");
    host = std::string(home ? home : "") + given.substr(1);
  }
  const AlbumCheck check = checkAlbum(host);
  if (!check.report) {
    err << "vortena: cannot read the page " << given << ": " << check.error << "\n";
    return 2;
  }
  if (parser.isSet(kJson))
    writeJson(*check.report, out);
  else
    writeSummary(*check.report, out);
  out.flush();
  return check.report->clean() ? 0 : 1;
}

}  // namespace

int runCommand(const QStringList& args, std::ostream& out, std::ostream& err,
               const CommandLineSetup& setup) {
  // The parser takes the first argument as the program: the command word stands in for it.
  const QStringList rest = args.mid(1);
  if (args[1] == QLatin1String("build")) return runBuild(rest, out, err, setup);
  if (args[1] == QLatin1String("check")) return runCheck(rest, out, err, setup);
  return runScan(rest, out, err, setup);
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
