// The window's commands that fill and edit the media list.
#pragma once

#include "build/album.h"
#include "medialist/folder_scan.h"

namespace vortena {

void cmdCONFERMA_Click(Album& album, FolderScan& scan);        // load by extension
void cmdCONFERMA_Tutti_Click(Album& album, FolderScan& scan);  // load all known picture types
void cmdIns_File_Click(Album& album);                          // insert one file
void cmdCANC_FILE_Click(Album& album);                         // delete the selected entry
void Command2_Click(Album& album);                             // new list

}  // namespace vortena
