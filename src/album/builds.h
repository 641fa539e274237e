// The two builds of an album from their settings: one album page of the whole list, or
// numbered pages of a fixed number of entries and an index of those pages. Each works from
// its settings alone (read once when it starts), writes the job state the window shows and
// keeps, and tells the user through the services it is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/build_settings.h"
#include "core/job_state.h"
#include "core/services.h"
#include "fs/file_system.h"
#include "fs/windows/drive_folders.h"

namespace vortena {

// What a build reaches outside itself: the disk, the user, the opener of pages, and the
// program folder of the templates (drive form, without a trailing backslash).
struct BuildServices {
  FileSystem& fs;
  // The current folders the build resolves its paths with (the page path, the copies).
  DriveFolders& folders;
  Ui& ui;
  Launcher& launcher;
  std::string programFolder;
};

// How the question after a build that offers to open the page begins.
inline constexpr std::string_view kViewQuestionStart = "Visualizzo ";

// The page a build offers to open, once it is done: the question, and the two attempts that
// open the page.
struct ViewOffer {
  std::string question;
  std::string page;  // the page's path, as the message of a page that cannot be opened names it
  PageLaunch first, fallback;
};

// What a build leaves for the window beside the job state.
struct BuildResult {
  // The list the window shows now: a paged build replaces it by the names of its pages.
  std::optional<MediaList> listNow;
  // The page offered for viewing; nothing when no page was written to offer.
  std::optional<ViewOffer> view;
};

// "Creazione INDEX.HTM": the whole list as one album page.
[[nodiscard]] BuildResult buildSinglePage(const BuildSettings& settings,
                                          const BuildServices& services, JobState& job);

// "Creazione vari ALBUM.HTM secondo massimo numero files": numbered pages of at most
// `settings.entriesPerFolder` entries, then the index of pages under the typed page name.
[[nodiscard]] BuildResult buildPagedAlbum(const BuildSettings& settings,
                                          const BuildServices& services, JobState& job);

// Asks the offer's question; on yes, opens the page (see openPage).
void offerView(const ViewOffer& offer, const BuildServices& services);

// Opens `first`; when that fails, `fallback`. When neither opens, the user is told that `page`
// could not be opened.
void openPage(const BuildServices& services, const std::string& page, const PageLaunch& first,
              const PageLaunch& fallback);

// "Vedo risultato INDEX.HTM": opens the last page built, when there is one.
void viewLastPage(const BuildServices& services, const JobState& job);

}  // namespace vortena
