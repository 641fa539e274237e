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

// Whether a file name is listed for the filters: its extension (after the last dot, trimmed,
// upper case) equals one of them, or one is "*" and the extension is a known picture type. A
// name without a dot is never listed; "2023.05.12 beach.jpg" is a JPG.
bool fileMatches(const std::string& name, const std::vector<std::string>& filters) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = toUpper(trim(std::string_view(name).substr(dot + 1)));
  for (const std::string& filter : filters)
    if (extension == filter || (filter == "*" && isKnownPictureType(extension))) return true;
  return false;
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

}  // namespace

// Whether a file of the tree is something a build put there: a site file identical to the
// program folder's, or a page written from the program's templates. A photo that merely shares
// a site file's name is the user's own and is listed.
bool FolderScan::isBuildOutput(const std::string& folder, const std::string& name) const {
  FileSystem& fs = services_->fs;
  const std::string& programFolder = services_->programFolder;
  static const std::vector<std::string> siteNames = [] {
    std::vector<std::string> names;
    for (std::string_view site : kSiteAssets) names.push_back(toUpper(site));
    return names;
  }();
  const std::string upper = toUpper(name);
  for (size_t i = 0; i < siteNames.size(); ++i) {
    if (siteNames[i] != upper) continue;
    const std::string programCopy = programFolder + "\\" + std::string(kSiteAssets[i]);
    return !programFolder.empty() && fs.sameContent(folder + name, programCopy).valueOr(false);
  }
  const size_t dot = upper.rfind('.');
  const std::string type = dot == std::string::npos ? "" : upper.substr(dot + 1);
  return (type == "HTM" || type == "HTML") && carriesProgramMark(fs, folder + name);
}

void FolderScan::scanFolder(const ScanSettings& settings, const ScanServices& services,
                            ScanResults& results) {
  services_ = &services;
  results_ = &results;
  filters_.clear();
  for (const std::string& extension : settings.extensions)
    if (std::string filter = toUpper(trim(extension)); !filter.empty())
      filters_.push_back(std::move(filter));
  leftOut_.clear();
  // The disk may keep the tree's listings for the next scan of it, and serve what did not change.
  const TreeListing tree(services.fs, settings.folder);
  ScopeExit endScan([this] {
    services_ = nullptr;
    results_ = nullptr;
  });
  listTree(settings.folder, "");
}

void FolderScan::listTree(const std::string& path, const std::string& folderEntry) {
  FileSystem& fs = services_->fs;
  Ui& ui = services_->ui;
  ScanResults& results = *results_;
  const auto add = [&](std::string entry) {
    results.add(std::move(entry));
    ui.progress(results.count(), 0);
    ui.processEvents();
  };
  const auto addFolderEntry = [&] {
    if (!folderEntry.empty()) add(folderEntry);
  };

  const std::string folder = path.empty() || path.back() != '\\' ? path + '\\' : path;

  // A folder below the deepest level is never listed, but gets its folder entry unless it is
  // an entry folder of a build. It is not read, so what it holds is told as one.
  if (depth_ > kDeepestScanLevel) {
    if (!carriesProgramMark(fs, folder + std::string(kSlideshowPage))) {
      addFolderEntry();
      leftOut_.push_back({path, LeftOut::Why::TooDeep});
    }
    return;
  }

  std::vector<std::string> subfolders;
  DirEntry identity;
  {
    // A folder that cannot be listed gives no entries but its own. One that is not there
    // (gone since its parent was listed, a start folder typed wrong) leaves nothing out.
    Expected<FolderListing> listed = fs.listFolder(folder);
    if (!listed.ok()) {
      if (listed.status().number != kPathNotFound)
        leftOut_.push_back({path, LeftOut::Why::Unreadable});
      addFolderEntry();
      return;
    }
    identity = listed->folder;
    const std::vector<DirEntry>& names = listed->entries;
    const std::vector<UnusableName>& unusable = listed->unusable;
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

    if (!filters_.empty()) {
      for (const DirEntry& entry : names) {
        if (entry.isFolder || !fileMatches(entry.name, filters_)) continue;
        if (isBuildOutput(folder, entry.name)) continue;
        add(folder + entry.name);
      }
    }
    // A name no path can reach: a folder with all it holds, a file when the box would list it.
    for (const UnusableName& name : unusable) {
      if (!name.isFolder && !fileMatches(name.name, filters_)) continue;
      leftOut_.push_back({folder + name.name,
                          name.why == UnusableName::Why::PathTooLong ? LeftOut::Why::PathTooLong
                                                                     : LeftOut::Why::UnusableName,
                          folder.size()});
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
    // The folder entry is appended by the nested call, once it knows what the folder is.
    const std::string entry = filters_.empty() ? "<" + trim(subfolder) + ">" : "";
    ++depth_;
    ScopeExit goBackUp([this] { --depth_; });
    listTree(subfolder, entry);
  }
  ui.processEvents();
}

}  // namespace vortena

namespace vortena {

std::optional<std::string> refusedExtension(const std::vector<std::string>& extensions) {
  for (const std::string& extension : extensions)
    if (extension.find('.') != std::string::npos)
      return "Indicare solo l'estensione dei files da cercare !!!";
  return std::nullopt;
}

std::string scanStartFolder(const std::string& typed) {
  std::string start = trim(typed);
  if (start.empty()) start = "c:\\";
  while (start.substr(start.size() < 3 ? 0 : start.size() - 3).find('*') != std::string::npos)
    start.pop_back();
  return start;
}

int proposedImagesPerRow(long count, int screenWidth) {
  // Above this many entries the grid is proposed several images wide.
  constexpr long kEntriesForOneImagePerRow = 54;
  constexpr int kNarrowScreenPixels = 800;
  if (count <= kEntriesForOneImagePerRow) return 1;
  return screenWidth < kNarrowScreenPixels ? 4 : 5;
}

}  // namespace vortena
