// The steps that fill the job state from a build's settings before a page.
#pragma once

#include "core/build_settings.h"
#include "core/job_state.h"
#include "fs/file_system.h"
#include "fs/windows/drive_folders.h"

namespace vortena {

// Page path split: the output folder and the page name from the trimmed page path in the
// build's case. A relative folder is made full from the current folder.
void splitPagePath(const BuildSettings& settings, const DriveFolders& folders, JobState& job);
// Change to the output folder: the output folder becomes the current folder of its drive and
// that drive the current drive. A change that cannot be made is ignored.
void changeToOutputFolder(DriveFolders& folders, const JobState& job);
// Whole-list range: every entry of the settings, from the first to the last.
void wholeListRange(const BuildSettings& settings, JobState& job);
// Page file name rule: the page file is the page name up to its first dot, then ".HTM" or
// ".htm" in the build's case.
void pageFileNameRule(const BuildSettings& settings, JobState& job);

}  // namespace vortena
