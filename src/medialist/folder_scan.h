// The folder scan: the media of a folder tree, appended to a list one entry at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/build_settings.h"
#include "core/media_list.h"
#include "core/services.h"
#include "fs/file_system.h"

namespace vortena {

// Where a scan puts the entries it finds, as it finds them (the window's list fills while the
// scan runs).
class ScanResults {
 public:
  virtual ~ScanResults() = default;
  virtual void add(std::string entry) = 0;
  // The entries the list holds now, for the progress shown.
  virtual long count() const = 0;
};

// Results kept as a value (the command line, the tests).
class ListedEntries : public ScanResults {
 public:
  void add(std::string entry) override { list.add(entry); }
  long count() const override { return static_cast<long>(list.size()); }
  MediaList list;
};

// What a scan reaches outside itself: the disk, the window's event processing and progress,
// and the program folder in drive form (a file of the tree that is one of its site files, byte
// for byte, was put there by a build and is not listed).
struct ScanServices {
  FileSystem& fs;
  Ui& ui;
  std::string programFolder;
};

// The scan, with its depth and the folders open on the way down; lives in the main window for
// the whole run.
class FolderScan {
 public:
  // Appends to `results` the entries of settings.folder and the folders below it, depth-first,
  // as settings.extensions ask: none = folder entries "<path>", "*" = the known picture types
  // (JPG, BMP, TIF, GIF, WMF), any other the files of that extension; a name's extension is
  // the text after its last dot. What a build wrote is left out: entry folders (their slideshow page carries the
  // program's mark), pages carrying the mark, and site files identical to the program
  // folder's. What it cannot list is gathered (see leftOut).
  void scanFolder(const ScanSettings& settings, const ScanServices& services,
                  ScanResults& results);

  int depth() const { return depth_; }
  // What the last scan left out of the list, in the order met: a folder below the deepest
  // level or one that cannot be read counts once for all it holds; a file only when the
  // extension would have listed it. A start folder that is not there leaves nothing out.
  const std::vector<LeftOut>& leftOut() const { return leftOut_; }

 private:
  // Lists one folder; `folderEntry` is the folder's own entry "<path>", appended once the folder
  // is known not to be an entry folder (empty for the start folder and outside folder mode).
  void listTree(const std::string& path, const std::string& folderEntry);
  bool isBuildOutput(const std::string& folder, const std::string& name) const;

  struct FolderId {
    std::uint64_t device;
    std::uint64_t inode;
  };

  // The scan under way.
  const ScanServices* services_ = nullptr;
  ScanResults* results_ = nullptr;
  std::vector<std::string> filters_;  // the extensions trimmed and in upper case, none empty

  int depth_ = 0;
  // The folders from the start folder down to the one being listed, by identity, so that a
  // link back up the tree is not followed again.
  std::vector<FolderId> openFolders_;
  std::vector<LeftOut> leftOut_;
};

// The message that refuses a load of which an extension holds a dot (only the extension is to
// be typed); nothing when the load may go on.
std::optional<std::string> refusedExtension(const std::vector<std::string>& extensions);

// The folder a load scans, from the folder typed: trimmed; empty, the root of drive C:; a
// pattern such as C:\VORTENA\*.* cut back to its folder.
std::string scanStartFolder(const std::string& typed);

// The images a row proposed for a list of `count` entries on a screen `screenWidth` pixels
// wide: one for a short list, else five (four on a narrow screen).
int proposedImagesPerRow(long count, int screenWidth);

}  // namespace vortena
