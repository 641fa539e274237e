#include "album/job_steps.h"

#include "core/text.h"

namespace vortena {

void splitPagePath(const BuildSettings& settings, const DriveFolders& folders, JobState& job) {
  const bool upper = settings.upperCase;
  std::string path = toCase(trim(settings.pagePath), upper);
  size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    job.outputFolder.clear();
    job.pageName = path;
  } else {
    job.outputFolder = path.substr(0, slash + 1);
    job.pageName = path.substr(slash + 1);
  }
  // A folder typed without its drive and root ("album\") is taken from the current folder now,
  // once: the build then makes it current, and a relative name would point one level deeper.
  const bool rooted = job.outputFolder.size() >= 3 && job.outputFolder[1] == ':' &&
                      (job.outputFolder[2] == '\\' || job.outputFolder[2] == '/');
  if (!job.outputFolder.empty() && !rooted) {
    std::string full = folders.fullPath(job.outputFolder);
    if (full.back() != '\\') full += '\\';
    job.outputFolder = toCase(full, upper);
  }
}

void changeToOutputFolder(DriveFolders& folders, const JobState& job) {
  const std::string& folder = job.outputFolder;
  // A folder that cannot be made current is ignored: the page then goes to the write recovery
  // if it cannot be opened where the current folder lies.
  if (folder.empty()) return;
  if (!folders.changeFolder(folder).ok()) return;
  const char drive = static_cast<char>(folder[0] | 0x20);
  if (folder.size() >= 2 && folder[1] == ':' && drive >= 'a' && drive <= 'z')
    ignoreFailure(folders.changeDrive(folder[0]), "the folder change just made the drive known");
}

void wholeListRange(const BuildSettings& settings, JobState& job) {
  job.entryCount = static_cast<long>(settings.entries.size());
  job.firstEntry = 1;
  job.lastEntry = job.entryCount;
}

void pageFileNameRule(const BuildSettings& settings, JobState& job) {
  const std::string& name = job.pageName;
  job.pageFile = name.substr(0, name.find('.')) + (settings.upperCase ? ".HTM" : ".htm");
}

}  // namespace vortena
