// The folder scan Legge_Dir: appends the media of a folder tree to List1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/services.h"
#include "fs/file_system.h"

namespace vortena {

// What a scan reads and fills: the disk, the window's event processing, the media list it
// appends to, and the extension box, which stays live (it is read for every name).
struct ScanTarget {
  FileSystem& fs;
  Ui& ui;
  ListBox& List1;
  const TextBox& txtESTENSIONE;
  // The program folder in drive form: a file of the tree that is one of its site files, byte
  // for byte, was put there by a build and is not listed.
  std::string programFolder;
};

// Lives in the main window for the whole run; holds the scan's depth and current folder.
class FolderScan {
 public:
  // Appends to List1 the entries of Path_Ricerca and the folders below it, depth-first,
  // as txtESTENSIONE asks (read afresh for every name): empty = folder entries "<path>",
  // "*" = the known picture types, else one extension. Tipo_File is passed on unchanged.
  // What a build wrote is left out: entry folders (their slideshow page carries the program's
  // mark), pages carrying the mark, and site files identical to the program folder's.
  // What it cannot list is gathered (see leftOut).
  void Legge_Dir(const ScanTarget& target, const std::string& Path_Ricerca, int Tipo_File);

  int Livello() const { return livello_; }
  // What the last scan left out of the list, in the order met: a folder below the deepest
  // level or one that cannot be read counts once for all it holds; a file only when the
  // extension box would have listed it. A start folder that is not there leaves nothing out.
  const std::vector<LeftOut>& leftOut() const { return leftOut_; }

 private:
  // Lists one folder; `folderEntry` is the folder's own entry "<path>", appended once the folder
  // is known not to be an entry folder (empty for the start folder and outside folder mode).
  void listTree(const ScanTarget& target, const std::string& Path_Ricerca,
                const std::string& folderEntry);

  struct FolderId {
    std::uint64_t device;
    std::uint64_t inode;
  };

  int livello_ = 0;
  std::string dirCorrente_;
  // The folders from the start folder down to the one being listed, by identity, so that a
  // link back up the tree is not followed again.
  std::vector<FolderId> openFolders_;
  std::vector<LeftOut> leftOut_;
};

}  // namespace vortena
