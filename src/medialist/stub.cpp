// TEMPORARY STUB: replaced by the real media list.
#include "medialist/folder_browse.h"
#include "medialist/folder_scan.h"
#include "medialist/list_commands.h"
namespace vortena {
void FolderScan::Legge_Dir(Album&, const std::string&, int) {}
void cmdCONFERMA_Click(Album&, FolderScan&) {}
void cmdCONFERMA_Tutti_Click(Album&, FolderScan&) {}
void cmdIns_File_Click(Album&) {}
void cmdCANC_FILE_Click(Album&) {}
void Command2_Click(Album&) {}
std::string runDialogSequence(Album&, const std::string&) { return {}; }
void Sfoglia_Cartella(Album&) {}
}  // namespace vortena
