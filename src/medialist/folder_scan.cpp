#include "medialist/folder_scan.h"

#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/album_files.h"
#include "core/text.h"

namespace vortena {
namespace {

constexpr std::array<std::string_view, 5> kKnownPictureTypes{"JPG", "BMP", "TIF", "GIF", "WMF"};

bool isKnownPictureType(std::string_view extension) {
  for (std::string_view known : kKnownPictureTypes)
    if (extension == known) return true;
  return false;
}

// The extension box as the scan compares it: trimmed, upper case.
std::string filterText(const ScanTarget& target) {
  return toUpper(trim(target.txtESTENSIONE.text()));
}

// Whether a file name is listed for the filter text: its extension (after the last dot,
// trimmed, upper case) equals the filter, or the filter is "*" and the extension is a known
// picture type. A name without a dot is never listed; "2023.05.12 beach.jpg" is a JPG.
bool fileMatches(const std::string& name, const std::string& filter) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = toUpper(trim(std::string_view(name).substr(dot + 1)));
  return extension == filter || (filter == "*" && isKnownPictureType(extension));
}

// Runs `undo` when the scope ends, also when a failure escapes it.
template <typename Undo>
class ScopeExit {
 public:
  explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
  ~ScopeExit() { undo_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Undo undo_;
};

// Whether one of the first lines of the page at `path` carries the program's mark.
bool carriesProgramMark(FileSystem& fs, const std::string& path) {
  return firstLinesHold(fs, path, kProgramMark, kProgramMarkLines);
}

// Whether a listed folder is an entry folder that a build wrote: its slideshow page carries
// the program's mark. A folder of the user's that merely holds a menu.htm of its own is listed.
bool isEntryFolder(FileSystem& fs, const std::string& folder, const std::vector<DirEntry>& names) {
  for (const DirEntry& entry : names)
    if (!entry.isFolder && toLower(entry.name) == kSlideshowPage)
      return carriesProgramMark(fs, folder + entry.name);
  return false;
}

// Whether a file of the tree is something a build put there: a site file identical to the
// program folder's, or a page written from the program's templates. A photo that merely shares
// a site file's name is the user's own and is listed.
bool isBuildOutput(const ScanTarget& target, const std::string& folder, const std::string& name) {
  static const std::vector<std::string> siteNames = [] {
    std::vector<std::string> names;
    for (std::string_view site : kSiteAssets) names.push_back(toUpper(site));
    return names;
  }();
  const std::string upper = toUpper(name);
  for (size_t i = 0; i < siteNames.size(); ++i) {
    if (siteNames[i] != upper) continue;
    const std::string programCopy = target.programFolder + "\\" + std::string(kSiteAssets[i]);
    bool same = false;
    return !target.programFolder.empty() &&
           target.fs.sameContent(folder + name, programCopy, same).ok() && same;
  }
  const size_t dot = upper.rfind('.');
  const std::string type = dot == std::string::npos ? "" : upper.substr(dot + 1);
  return (type == "HTM" || type == "HTML") && carriesProgramMark(target.fs, folder + name);
}

}  // namespace

void FolderScan::Legge_Dir(const ScanTarget& target, const std::string& Path_Ricerca,
                           int Tipo_File) {
  static_cast<void>(Tipo_File);  // passed on unchanged by the original walk; no use of its own
  leftOut_.clear();
  // The disk may keep the tree's listings for the next scan of it, and serve what did not change.
  target.fs.beginTreeListing(Path_Ricerca);
  ScopeExit endTreeListing([&target] { target.fs.endTreeListing(); });
  listTree(target, Path_Ricerca, "");
}

void FolderScan::listTree(const ScanTarget& target, const std::string& Path_Ricerca,
                          const std::string& folderEntry) {
  FileSystem& fs = target.fs;
  Ui& ui = target.ui;
  ListBox& list = target.List1;
  const auto addFolderEntry = [&] {
    if (folderEntry.empty()) return;
    list.addItem(folderEntry);
    ui.progress(list.count(), 0);
    ui.processEvents();
  };

  dirCorrente_ = Path_Ricerca;
  if (dirCorrente_.empty() || dirCorrente_.back() != '\\') dirCorrente_ += '\\';
  const std::string folder = dirCorrente_;

  // A folder below the deepest level is never listed, but gets its folder entry unless it is
  // an entry folder of a build. It is not read, so what it holds is told as one.
  if (livello_ > kDeepestScanLevel) {
    if (!carriesProgramMark(fs, folder + std::string(kSlideshowPage))) {
      addFolderEntry();
      leftOut_.push_back({Path_Ricerca, LeftOut::Why::TooDeep});
    }
    return;
  }

  std::vector<std::string> subfolders;
  DirEntry identity;
  {
    std::vector<DirEntry> names;
    std::vector<UnusableName> unusable;
    // A folder that cannot be listed gives no entries but its own. One that is not there
    // (gone since its parent was listed, a start folder typed wrong) leaves nothing out.
    if (FsStatus listed = fs.listFolder(folder, names, identity, unusable); !listed.ok()) {
      if (listed.number != kPathNotFound)
        leftOut_.push_back({Path_Ricerca, LeftOut::Why::Unreadable});
      addFolderEntry();
      return;
    }
    // A symbolic link back to a folder that is being scanned would make the walk endless: such
    // a folder gets its entry but is not entered a second time.
    for (const FolderId& open : openFolders_)
      if (open.device == identity.device && open.inode == identity.inode) {
        addFolderEntry();
        return;
      }
    // An entry folder written by a build holds copies, not the user's media: neither it nor
    // anything below it is listed.
    if (isEntryFolder(fs, folder, names)) return;
    addFolderEntry();

    if (!filterText(target).empty()) {
      for (const DirEntry& entry : names) {
        if (entry.isFolder) continue;
        // The box is read again for every name: an edit made while the scan yields to the
        // window applies from the next name on.
        std::string filter = filterText(target);
        if (filter.empty() || !fileMatches(entry.name, filter)) continue;
        if (isBuildOutput(target, folder, entry.name)) continue;
        list.addItem(folder + entry.name);
        ui.progress(list.count(), 0);
        ui.processEvents();
      }
    }
    // A name no path can reach: a folder with all it holds, a file when the box would list it.
    for (const UnusableName& name : unusable) {
      if (!name.isFolder && !fileMatches(name.name, filterText(target))) continue;
      leftOut_.push_back({folder + name.name, name.why == UnusableName::Why::PathTooLong
                                                  ? LeftOut::Why::PathTooLong
                                                  : LeftOut::Why::UnusableName});
    }
    for (const DirEntry& entry : names)
      if (entry.isFolder) subfolders.push_back(folder + entry.name);
  }  // the listing is let go before descending, so only the subfolder paths stay per level
  if (subfolders.empty()) return;

  // The depth and the open folders are put back also when a failure leaves the walk early, so
  // the next scan starts clean.
  const size_t openBefore = openFolders_.size();
  openFolders_.push_back({identity.device, identity.inode});
  ScopeExit closeFolder([this, openBefore] { openFolders_.resize(openBefore); });
  for (const std::string& subfolder : subfolders) {
    // The folder entry is decided now, as the box reads; it is appended by the nested call.
    const std::string entry = filterText(target).empty() ? "<" + trim(subfolder) + ">" : "";
    ++livello_;
    ScopeExit goBackUp([this] { --livello_; });
    listTree(target, subfolder, entry);
  }
  ui.processEvents();
}

}  // namespace vortena
