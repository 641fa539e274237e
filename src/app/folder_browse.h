// Choosing the search folder in the file dialog.
#pragma once

#include <string>

#include "app/session.h"

namespace vortena {

// The path up to and including its last "\"; empty when it has none.
std::string folderPart(const std::string& path);
// The rest of the path after its last "\"; the whole path when it has none.
std::string fileNamePart(const std::string& path);

// The dialog sequence shared by the browse and the single-file insert: stores `folderPart` as
// the root folder of the labels, shows the dialog there, yields once to the window and returns
// the result trimmed (empty when cancelled).
std::string runDialogSequence(const Services& services, JobState& job,
                              const std::string& folderPart);

// "Sfoglia / Ricerca Cartella/Directory...": the chosen file's folder becomes the search folder
// and the root folder of the labels, and the page path moves into it.
void browseForSearchFolder(Session& session);

}  // namespace vortena
