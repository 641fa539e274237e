#include "album/builds.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "album/album.h"
#include "album/asset_installer.h"
#include "album/job_steps.h"
#include "album/leftover_outputs.h"
#include "album/page_launch.h"
#include "core/text.h"
#include "pagewriter/build_record.h"
#include "pagewriter/copy_queue.h"

namespace vortena {
namespace {

// Keeps the build and view buttons disabled while a build runs, so that a click made while the
// page writer lets the window process its events cannot start a second build in the middle of
// the first; each button gets back the state it had.
class BuildButtonsLock {
 public:
  explicit BuildButtonsLock(Form& form)
      : buttons_{form.Command1, form.Command4, form.Command5},
        states_{form.Command1->enabled(), form.Command4->enabled(), form.Command5->enabled()} {
    for (Button* b : buttons_) b->setEnabled(false);
  }
  ~BuildButtonsLock() { release(); }
  void release() {
    if (released_) return;
    released_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setEnabled(states_[i]);
  }

 private:
  std::array<Button*, 3> buttons_;
  std::array<bool, 3> states_;
  bool released_ = false;
};

// What a build keeps from its first page pass to its last: the record of its entry folders,
// read where the build writes, and the copies made beside the passes. Once the pages are done
// (or when the build ends early) the copies are all delivered, with their messages, and the
// record is written back; a build that stops early writes back only records it found.
class BuildScope {
 public:
  explicit BuildScope(Album& album)
      : album_(album), record_(*album.sys.fs, album.sys.programFolder),
        copies_(*album.sys.fs, *album.sys.ui) {
    album_.record = &record_;
    album_.copies = &copies_;
  }
  ~BuildScope() {
    try {
      finish(false);
    } catch (...) {
      // A message that could not be shown; the record is a saving only.
    }
  }
  // `completed`: the build wrote what it was to write.
  void finish(bool completed) {
    if (!album_.record) return;
    copies_.deliver();
    record_.save(completed && !copies_.stopped());
    album_.record = nullptr;
    album_.copies = nullptr;
  }
  // The build stopped on a full disk (told already): it ends without its last steps.
  bool stopped() const { return copies_.stopped(); }
  BuildRecord& record() { return record_; }

 private:
  Album& album_;
  BuildRecord record_;
  CopyQueue copies_;
};

// A build killed outright left its pending files where it wrote; they go before this build
// writes there (the folders a write recovery moves to, and the entry folders, are cleared by the
// page writer).
void removeStaleFiles(Album& album) {
  ignoreFailure(album.sys.fs->removeStaleTemporaryFiles(album.job.Dir_Album),
                "a leftover costs room, not a page; the next build tries again");
}

// How the site files beside the page are checked: byte for byte where the album has no build
// record of the program's (its copies are all checked then).
EarlierCopy checkedSiteFiles(BuildRecord& record, const std::string& albumFolder) {
  return record.checkEveryCopy(albumFolder) ? EarlierCopy::KeepIfSame : EarlierCopy::Keep;
}

// A refused command: a beep, then its message.
void refuse(Album& album, const std::string& text) {
  album.sys.ui->beep();
  album.sys.ui->message(text);
}

}  // namespace

void Command1_Click(Album& album) {
  JobState& job = album.job;
  job.Elenco_Confermato = 0;
  if (numericValue(album.form.txtNUM_FILE->text()) == 0) {
    refuse(album, "Nessun files da elaborare !!!");
    return;
  }
  BuildButtonsLock lock(album.form);
  std::vector<std::string> keep = sourcesNamedLikeSiteFiles(album);
  splitPagePath(album);
  const std::string chosenFolder = job.Dir_Album;
  changeToOutputFolder(album);
  removeStaleFiles(album);
  wholeListRange(album);
  pageFileNameRule(album);
  album.folders = FolderNumbering{};
  BuildScope scope(album);
  // Without a page written whole there is nothing to install beside it and nothing to view:
  // after a No, a refused new place or a reported failure the build ends here.
  if (Crea_Pagina(album) != PageOutcome::Written) return;
  // The album holds what the list gives and nothing more; only at the place the user chose.
  if (job.Dir_Album == chosenFolder)
    removeLeftoverOutputs(*album.sys.fs, scope.record(), job.Dir_Album,
                          album.folders.nextFolder, 0);
  const EarlierCopy siteFiles = checkedSiteFiles(scope.record(), job.Dir_Album);
  scope.finish(true);
  if (scope.stopped()) return;
  keep.push_back(filePlace(*album.sys.fs, job.Dir_Album + job.File_Pagina));
  Copia_Modelli(album, keep, siteFiles);
  lock.release();
  if (album.sys.ui->question(std::string(kViewQuestionStart) + "la pagina creata " + job.Dir_Album +
                             job.File_Pagina + " (S/N) ")) {
    // The page is named without its folder, the output folder being the current one; a page
    // that the write recovery moved elsewhere is named by its full path.
    const std::string page =
        job.Dir_Album == chosenFolder ? job.File_Pagina : job.Dir_Album + job.File_Pagina;
    Apri_Pagina(album, job.Dir_Album + job.File_Pagina, "START /max /w " + page,
                "CMD /C " + page);
  }
  album.form.Command5->setEnabled(true);
}

void Command4_Click(Album& album) {
  JobState& job = album.job;
  Form& form = album.form;
  job.Elenco_Confermato = 0;
  if (numericValue(form.txtNUM_FILE->text()) == 0) {
    refuse(album, "Nessun files da elaborare !!!");
    return;
  }
  // The per-page maximum is taken whole (toward zero) and read once, so that neither a
  // fraction, a negative value nor an edit made during the build can keep the loop from ending.
  const double maximum = std::trunc(numericValue(form.txtMAX_N_FILES->text()));
  if (!(maximum >= 1)) {
    refuse(album, "Indicare numero massimo files per pagina .HTM da elaborare !!!");
    return;
  }
  if (numericValue(form.txtMAX_PER_RIGA->text()) < 1) {
    refuse(album, "Indicare quante immagini si voglio per ogni riga !!!");
    return;
  }
  const long perPage = maximum > 1e9 ? 1000000000L : static_cast<long>(maximum);

  BuildButtonsLock lock(form);
  std::vector<std::string> keep = sourcesNamedLikeSiteFiles(album);
  splitPagePath(album);
  const std::string chosenFolder = job.Dir_Album;
  changeToOutputFolder(album);
  removeStaleFiles(album);
  job.N_Files = form.List1->count();
  long placed = 0;
  job.N_Pag = 1;
  job.Pagine.clear();
  // Entry-folder numbers run on across the pages of the build, so that no page replaces the
  // folders of another.
  album.folders = FolderNumbering{};
  BuildScope scope(album);
  bool anyWritten = false, allWritten = true;
  // The numbered pages lead back to the index of pages, under the name it is written with.
  pageFileNameRule(album);
  job.indexPage = job.File_Pagina;
  for (;;) {
    job.Primo_File = placed + 1;
    job.Ultimo_File = placed + perPage;
    job.File_Pagina = album.upperCase() ? "PAG_" + std::to_string(job.N_Pag) + ".HTM"
                                        : "pag_" + std::to_string(job.N_Pag) + ".htm";
    job.Pagine.push_back(job.File_Pagina);
    // A refused or failed page is skipped; a refused new place ends the build.
    album.lastPage = false;
    const PageOutcome outcome = Crea_Pagina(album);
    album.lastPage = true;
    if (outcome == PageOutcome::RecoveryRefused || outcome == PageOutcome::Stopped) {
      job.indexPage.clear();
      return;
    }
    if (outcome == PageOutcome::Written) {
      anyWritten = true;
      keep.push_back(filePlace(*album.sys.fs, job.Dir_Album + job.File_Pagina));
    }
    allWritten = allWritten && outcome == PageOutcome::Written && job.Dir_Album == chosenFolder;
    album.folders.firstFolder = album.folders.nextFolder;
    placed += perPage;
    if (placed >= job.N_Files) break;
    ++job.N_Pag;
  }

  // The index of pages: the media list becomes the list of page names, and every page name
  // gets a button of its own.
  form.List1->clear();
  for (const std::string& page : job.Pagine) form.List1->addItem(page);
  splitPagePath(album);
  job.Dir_Album = chosenFolder;  // a relative folder was made full when the build began
  wholeListRange(album);
  pageFileNameRule(album);
  album.folders.folderPerEntry = true;
  const PageOutcome index = Crea_Pagina(album);
  album.folders.folderPerEntry = false;
  job.indexPage.clear();
  // The album holds what the list gives and nothing more: once every page is written where the
  // user chose, the folders and pages of an earlier, longer album go.
  if (allWritten && index == PageOutcome::Written && job.Dir_Album == chosenFolder)
    removeLeftoverOutputs(*album.sys.fs, scope.record(), job.Dir_Album,
                          album.folders.nextFolder, job.N_Pag);
  const EarlierCopy siteFiles = checkedSiteFiles(scope.record(), job.Dir_Album);
  scope.finish(index == PageOutcome::Written);
  if (index == PageOutcome::RecoveryRefused || scope.stopped()) return;
  if (index == PageOutcome::Written)
    keep.push_back(filePlace(*album.sys.fs, job.Dir_Album + job.File_Pagina));

  // The site files and the view step only for a build that wrote some page; the view question
  // only for an index of pages that was written.
  if (!anyWritten && index != PageOutcome::Written) return;
  Copia_Modelli(album, keep, siteFiles);
  lock.release();
  if (index != PageOutcome::Written) return;
  if (album.sys.ui->question(std::string(kViewQuestionStart) + "la prima pagina creata " +
                             job.Dir_Album + job.File_Pagina + " (S/N) ")) {
    const std::string page = job.Dir_Album + job.File_Pagina;
    Apri_Pagina(album, page, "START /max /w " + page, "CMD /C " + page);
  }
  form.Command5->setEnabled(true);
}

}  // namespace vortena
