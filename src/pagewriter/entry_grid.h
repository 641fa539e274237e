// The grid of button cells of an album page: one cell for every entry folder, made for the
// folder's first entry, at most the images a row of the settings; then the closing lines, the
// footer template and the closing of the page.
#pragma once

#include <string>

#include "pagewriter/folder_state.h"
#include "pagewriter/page_file.h"
#include "pagewriter/page_types.h"
#include "pagewriter/write_recovery.h"

namespace vortena {

// An entry (list item in the build's case) split at its last backslash.
struct EntryParts {
  std::string folderPart;  // up to and including the last backslash; empty without one
  std::string fileName;    // after the last backslash; the whole entry without one
};
EntryParts splitEntry(const std::string& entryText);

// The entry's folder part below the root folder: the folder part without as many leading
// characters as the root folder has, when the root folder is not empty and the folder part is
// longer; otherwise empty. Only the lengths are compared.
std::string entryLabel(const std::string& folderPart, const std::string& dirRadice);

// The text after the last "." of the file name, in upper case; empty without a dot.
std::string entryExtension(const std::string& fileName);

// A direct entry (sound, film, HTML page) is linked as a file; any other is a picture entry
// whose button opens its folder's slideshow page.
bool isDirectEntry(const std::string& extension);

// Writes the grid, completes the entry folders, closes the grid, copies the footer and closes
// the page. The grid's opening lines, and its closing lines when the range holds no non-blank
// entry, go through the write recovery; from the first non-blank entry on failures are
// ignored. Flow::Restart or Flow::EndPass when the recovery asks for it.
Flow writeGrid(PassContext& pass, PageFile& page, WriteRecovery& recovery, EntryFolders& folders);

}  // namespace vortena
