// Choosing the search folder in the file dialog.
#pragma once

#include <string>

#include "core/form.h"
#include "core/job_state.h"
#include "core/services.h"

namespace vortena {

// The path up to and including its last "\"; empty when it has none.
std::string folderPart(const std::string& path);
// The rest of the path after its last "\"; the whole path when it has none.
std::string fileNamePart(const std::string& path);

// The dialog sequence shared by the browse and the single-file insert: stores `folderPart` in
// Dir_Radice, shows the dialog there, yields once to the window and returns the result trimmed
// (empty when cancelled).
std::string runDialogSequence(const Services& sys, JobState& job, const std::string& folderPart);

// Sfoglia_Cartella (Command3): the chosen file's folder becomes txtPATH_RICERCA and Dir_Radice,
// and the page path moves into it.
void Sfoglia_Cartella(Form& form, const Services& sys, JobState& job);

}  // namespace vortena
