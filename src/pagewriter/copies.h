// The copies that fill an entry folder: each entry under a numbered name, and the five
// navigation pictures of its slideshow page. Every failed copy is reported in a message of its
// own; none ends the page pass.
#pragma once

#include <string>

#include "pagewriter/folder_state.h"
#include "pagewriter/page_types.h"

namespace vortena {

// Tells a failed copy of `entry` to `copyPath`; nothing when `status` is ok.
void reportCopyFailure(const PassContext& pass, EntryFolders& folders, FsStatus status,
                       const std::string& entry, const std::string& copyPath);

// Copies the file at `sourcePath` into folders.path as picture number folders.count + 1:
// IMG_001.JPG / img_001.jpg, keeping the last three characters of the entry (in the build's
// case) as its type. Records that type in folders.copyTypes, whether or not the copy succeeds.
// The copy is queued on pass.copies; a failure is reported when its result comes back, naming
// the entry.
void queuePictureCopy(const PassContext& pass, EntryFolders& folders, const std::string& entry,
                      const std::string& sourcePath);

// Queues the copies of the five navigation pictures into folders.path under their names in
// the build's case, each failure reported on its own.
void copyNavigationPictures(const PassContext& pass, const EntryFolders& folders);

}  // namespace vortena
