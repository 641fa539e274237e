#include "album/builds.h"

#include <cmath>
#include <string>
#include <vector>

#include "album/asset_installer.h"
#include "album/job_steps.h"
#include "album/leftover_outputs.h"
#include "core/text.h"
#include "pagewriter/build_record.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/page_pass.h"

namespace vortena {
namespace {

// One build from its first page pass to its last: the record of its entry folders, read where
// the build writes, the copies made beside the passes, and the numbering of its entry folders.
// Once the pages are done (or when the build ends early) the copies are all delivered, with
// their messages, and the record is written back; a build that stops early writes back only
// records it found.
class Build {
 public:
  Build(const BuildServices& services, JobState& job)
      : services_(services),
        job_(job),
        record_(services.fs, services.programFolder),
        copies_(services.fs, services.ui, &services.folders) {}
  ~Build() {
    try {
      finish(false);
    } catch (...) {
      tellUnexpected(services_.ui, "build", std::current_exception());
    }
  }
  Build(const Build&) = delete;
  Build& operator=(const Build&) = delete;

  // One page pass over the job's range of `settings` (the build's own, or the list of pages
  // of the index); the places the write recovery moves the page to, the consent to replace and
  // the next folder number are written back to the job state.
  PageOutcome writePage(const BuildSettings& settings, bool lastPage) {
    PageJob page;
    page.outputFolder = job_.outputFolder;
    page.pageFile = job_.pageFile;
    page.replaceConfirmed = job_.replaceConfirmed;
    page.firstEntry = job_.firstEntry;
    page.lastEntry = job_.lastEntry;
    page.rootFolder = job_.rootFolder;
    page.indexPage = job_.indexPage;
    page.folders = folders;
    page.record = &record_;
    page.copies = &copies_;
    page.lastPage = lastPage;
    const PassServices pass{services_.fs, services_.ui, services_.programFolder};
    const PageOutcome outcome = writeAlbumPage(page, settings, pass);
    job_.outputFolder = page.outputFolder;
    job_.pageFile = page.pageFile;
    job_.replaceConfirmed = page.replaceConfirmed;
    folders = page.folders;
    return outcome;
  }

  // `completed`: the build wrote what it was to write.
  void finish(bool completed) {
    if (finished_) return;
    finished_ = true;
    copies_.deliver();
    record_.save(completed && !copies_.stopped());
  }
  // The build stopped on a full disk (told already): it ends without its last steps.
  bool stopped() const { return copies_.stopped(); }
  BuildRecord& record() { return record_; }

  // How the site files beside the page are checked: byte for byte where the album has no build
  // record of the program's (its copies are all checked then).
  EarlierCopy siteFileCheck() {
    return record_.checkEveryCopy(job_.outputFolder) ? EarlierCopy::KeepIfSame : EarlierCopy::Keep;
  }

  // A build killed outright left its pending files where it wrote; they go before this build
  // writes there (the folders a write recovery moves to, and the entry folders, are cleared by
  // the page writer).
  void removeStaleFiles() {
    ignoreFailure(services_.fs.removeStaleTemporaryFiles(job_.outputFolder),
                  "a leftover costs room, not a page; the next build tries again");
  }

  FolderNumbering folders;

 private:
  const BuildServices& services_;
  JobState& job_;
  BuildRecord record_;
  CopyQueue copies_;
  bool finished_ = false;
};

// A refused command: a beep, then its message.
void refuse(const BuildServices& services, const std::string& text) {
  services.ui.beep();
  services.ui.message(text);
}

PageLaunch launch(const std::string& command, const std::string& page) {
  return {page, command + page};
}

// What both builds take from their start: the sources named like site files (never
// replaced by them) and the folder the user chose for the page.
struct BuildStart {
  std::vector<std::string> keep;
  std::string chosenFolder;
};

// Splits the page path into the job's folder and page and makes that folder current.
BuildStart startBuild(const BuildSettings& settings, const BuildServices& services, JobState& job) {
  BuildStart start{sourcesNamedLikeSiteFiles(settings.entries, services.folders), {}};
  splitPagePath(settings, services.folders, job);
  start.chosenFolder = job.outputFolder;
  changeToOutputFolder(services.folders, job);
  return start;
}

// The entries of a numbered page, from the settings; nothing (told) when the settings cannot
// make pages. The maximum is taken whole (toward zero), so that neither a fraction nor a
// negative value can keep the pages from ending.
std::optional<long> entriesPerPage(const BuildSettings& settings, const BuildServices& services) {
  if (settings.shownCount == 0) {
    refuse(services, "Nessun files da elaborare !!!");
    return std::nullopt;
  }
  const double maximum = std::trunc(settings.entriesPerFolder);
  if (!(maximum >= 1)) {
    refuse(services, "Indicare numero massimo files per pagina .HTM da elaborare !!!");
    return std::nullopt;
  }
  if (settings.imagesPerRow < 1) {
    refuse(services, "Indicare quante immagini si voglio per ogni riga !!!");
    return std::nullopt;
  }
  return maximum > 1e9 ? 1000000000L : static_cast<long>(maximum);
}

// How the numbered pages of a paged build went.
struct NumberedPages {
  bool buildEnded = false;  // a refused new place or a full disk: nothing more is written
  bool anyWritten = false;
  bool allWritten = true;  // every page written whole, where the user chose
};

// Writes the numbered pages of `perPage` entries each, their names into job.pageNames; the
// places of the pages written join `keep`.
NumberedPages writeNumberedPages(Build& build, DriveFolders& folders, const BuildSettings& settings,
                                 JobState& job, long perPage, const std::string& chosenFolder,
                                 std::vector<std::string>& keep) {
  NumberedPages pages;
  long placed = 0;
  job.pageNumber = 1;
  job.pageNames.clear();
  // The numbered pages lead back to the index of pages, under the name it is written with.
  // Entry-folder numbers run on across the pages of the build, so that no page replaces the
  // folders of another.
  pageFileNameRule(settings, job);
  job.indexPage = job.pageFile;
  for (;;) {
    job.firstEntry = placed + 1;
    job.lastEntry = placed + perPage;
    job.pageFile = settings.upperCase ? "PAG_" + std::to_string(job.pageNumber) + ".HTM"
                                      : "pag_" + std::to_string(job.pageNumber) + ".htm";
    job.pageNames.push_back(job.pageFile);
    // A refused or failed page is skipped; a refused new place ends the build.
    const PageOutcome outcome = build.writePage(settings, false);
    if (outcome == PageOutcome::RecoveryRefused || outcome == PageOutcome::Stopped) {
      job.indexPage.clear();
      pages.buildEnded = true;
      return pages;
    }
    if (outcome == PageOutcome::Written) {
      pages.anyWritten = true;
      keep.push_back(filePlace(folders, job.outputFolder + job.pageFile));
    }
    pages.allWritten =
        pages.allWritten && outcome == PageOutcome::Written && job.outputFolder == chosenFolder;
    build.folders.firstFolder = build.folders.nextFolder;
    placed += perPage;
    if (placed >= job.entryCount) break;
    ++job.pageNumber;
  }

  return pages;
}

}  // namespace

BuildResult buildSinglePage(const BuildSettings& settings, const BuildServices& services,
                            JobState& job) {
  FileSystem& fs = services.fs;
  job.replaceConfirmed = false;
  if (settings.shownCount == 0) {
    refuse(services, "Nessun files da elaborare !!!");
    return {};
  }
  BuildStart start = startBuild(settings, services, job);
  std::vector<std::string>& keep = start.keep;
  const std::string& chosenFolder = start.chosenFolder;
  Build build(services, job);
  build.removeStaleFiles();
  wholeListRange(settings, job);
  pageFileNameRule(settings, job);
  // Without a page written whole there is nothing to install beside it and nothing to view:
  // after a No, a refused new place or a reported failure the build ends here.
  if (build.writePage(settings, true) != PageOutcome::Written) return {};
  // The album holds what the list gives and nothing more; only at the place the user chose.
  if (job.outputFolder == chosenFolder)
    removeLeftoverOutputs(fs, build.record(), job.outputFolder, build.folders.nextFolder, 0);
  const EarlierCopy siteFiles = build.siteFileCheck();
  build.finish(true);
  if (build.stopped()) return {};
  keep.push_back(filePlace(services.folders, job.outputFolder + job.pageFile));
  installSiteFiles(fs, services.folders, services.programFolder, job.outputFolder,
                   settings.upperCase, keep, siteFiles);
  // The page is named without its folder, the output folder being the current one; a page
  // that the write recovery moved elsewhere is named by its full path.
  const std::string path = job.outputFolder + job.pageFile;
  const std::string page = job.outputFolder == chosenFolder ? job.pageFile : path;
  BuildResult result;
  result.view = ViewOffer{std::string(kViewQuestionStart) + "la pagina creata " + path + " (S/N) ",
                          path, launch("START /max /w ", page), launch("CMD /C ", page)};
  return result;
}

BuildResult buildPagedAlbum(const BuildSettings& settings, const BuildServices& services,
                            JobState& job) {
  FileSystem& fs = services.fs;
  job.replaceConfirmed = false;
  const std::optional<long> perPage = entriesPerPage(settings, services);
  if (!perPage) return {};

  BuildStart start = startBuild(settings, services, job);
  std::vector<std::string>& keep = start.keep;
  const std::string& chosenFolder = start.chosenFolder;
  Build build(services, job);
  build.removeStaleFiles();
  job.entryCount = static_cast<long>(settings.entries.size());
  const NumberedPages pages =
      writeNumberedPages(build, services.folders, settings, job, *perPage, chosenFolder, keep);
  if (pages.buildEnded) return {};

  // The index of pages: the list becomes the list of page names, and every page name gets a
  // button of its own.
  BuildResult result;
  BuildSettings index = settings;
  index.entries = MediaList();
  for (const std::string& page : job.pageNames) index.entries.add(page);
  result.listNow = index.entries;
  splitPagePath(index, services.folders, job);
  job.outputFolder = chosenFolder;  // a relative folder was made full when the build began
  wholeListRange(index, job);
  pageFileNameRule(index, job);
  build.folders.folderPerEntry = true;
  const PageOutcome indexPage = build.writePage(index, true);
  build.folders.folderPerEntry = false;
  job.indexPage.clear();
  // The album holds what the list gives and nothing more: once every page is written where the
  // user chose, the folders and pages of an earlier, longer album go.
  if (pages.allWritten && indexPage == PageOutcome::Written && job.outputFolder == chosenFolder)
    removeLeftoverOutputs(fs, build.record(), job.outputFolder, build.folders.nextFolder,
                          job.pageNumber);
  const EarlierCopy siteFiles = build.siteFileCheck();
  build.finish(indexPage == PageOutcome::Written);
  if (indexPage == PageOutcome::RecoveryRefused || build.stopped()) return result;
  if (indexPage == PageOutcome::Written)
    keep.push_back(filePlace(services.folders, job.outputFolder + job.pageFile));

  // The site files and the view step only for a build that wrote some page; the view question
  // only for an index of pages that was written.
  if (!pages.anyWritten && indexPage != PageOutcome::Written) return result;
  installSiteFiles(fs, services.folders, services.programFolder, job.outputFolder,
                   settings.upperCase, keep, siteFiles);
  if (indexPage != PageOutcome::Written) return result;
  const std::string path = job.outputFolder + job.pageFile;
  result.view =
      ViewOffer{std::string(kViewQuestionStart) + "la prima pagina creata " + path + " (S/N) ",
                path, launch("START /max /w ", path), launch("CMD /C ", path)};
  return result;
}

void offerView(const ViewOffer& offer, const BuildServices& services) {
  if (services.ui.question(offer.question))
    openPage(services, offer.page, offer.first, offer.fallback);
}

void openPage(const BuildServices& services, const std::string& page, const PageLaunch& first,
              const PageLaunch& fallback) {
  if (services.launcher.open(first)) return;
  if (services.launcher.open(fallback)) return;
  services.ui.beep();
  services.ui.message("Impossibile aprire la pagina " + page);
}

void viewLastPage(const BuildServices& services, const JobState& job) {
  if (trim(job.pageFile).empty()) return;
  const std::string page = job.outputFolder + job.pageFile;
  // The fallback has always been written without a blank after /C.
  openPage(services, page, launch("START /max /w ", page), launch("CMD /C", page));
}

}  // namespace vortena
