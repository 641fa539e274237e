// The window's commands that fill and edit the media list.
#pragma once

#include "core/form.h"
#include "core/job_state.h"
#include "core/services.h"
#include "medialist/folder_scan.h"

namespace vortena {

// Load by extension.
void cmdCONFERMA_Click(Form& form, const Services& sys, FolderScan& scan);
// Load all known picture types.
void cmdCONFERMA_Tutti_Click(Form& form, const Services& sys, FolderScan& scan);
// Insert one file chosen in the file dialog (its folder becomes Dir_Radice).
void cmdIns_File_Click(Form& form, const Services& sys, JobState& job);
// Delete the selected entry (N_Files is set to the list's count, as the message shows it).
void cmdCANC_FILE_Click(ListBox& list, Ui& ui, JobState& job);
// New list.
void Command2_Click(ListBox& list);

}  // namespace vortena
