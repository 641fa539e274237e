#include "medialist/folder_scan.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text.h"

namespace vortena {
namespace {

// The deepest level listed: the start folder is level 0.
constexpr int kDeepestLevel = 50;

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

// Whether a file name is listed for the filter text: its extension (after the first dot,
// trimmed, upper case) equals the filter, or the filter is "*" and the extension is a known
// picture type. A name without a dot is never listed.
bool fileMatches(const std::string& name, const std::string& filter) {
  size_t dot = name.find('.');
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

}  // namespace

void FolderScan::Legge_Dir(const ScanTarget& target, const std::string& Path_Ricerca,
                           int Tipo_File) {
  // A folder below the deepest level is never listed; its parent has already given it its
  // folder entry.
  if (livello_ > kDeepestLevel) return;
  FileSystem& fs = target.fs;
  Ui& ui = target.ui;
  ListBox& list = target.List1;

  dirCorrente_ = Path_Ricerca;
  if (dirCorrente_.empty() || dirCorrente_.back() != '\\') dirCorrente_ += '\\';
  const std::string folder = dirCorrente_;

  // A symbolic link back to a folder that is being scanned would make the walk endless: such
  // a folder is not entered a second time.
  DirEntry identity;
  bool identified = fs.folderIdentity(folder, identity).ok();
  if (identified) {
    for (const FolderId& open : openFolders_)
      if (open.device == identity.device && open.inode == identity.inode) return;
  }

  std::vector<std::string> subfolders;
  {
    std::vector<DirEntry> names;
    // A folder that cannot be listed gives no entries and no message.
    if (!fs.listFolder(folder, names).ok()) return;

    if (!filterText(target).empty()) {
      for (const DirEntry& entry : names) {
        if (entry.isFolder) continue;
        // The box is read again for every name: an edit made while the scan yields to the
        // window applies from the next name on.
        std::string filter = filterText(target);
        if (filter.empty() || !fileMatches(entry.name, filter)) continue;
        list.addItem(folder + entry.name);
        ui.progress(list.count(), 0);
        ui.processEvents();
      }
    }
    for (const DirEntry& entry : names)
      if (entry.isFolder) subfolders.push_back(folder + entry.name);
  }  // the listing is let go before descending, so only the subfolder paths stay per level
  if (subfolders.empty()) return;

  // The depth and the open folders are put back also when a failure leaves the walk early, so
  // the next scan starts clean.
  const size_t openBefore = openFolders_.size();
  if (identified) openFolders_.push_back({identity.device, identity.inode});
  ScopeExit closeFolder([this, openBefore] { openFolders_.resize(openBefore); });
  for (const std::string& subfolder : subfolders) {
    if (filterText(target).empty()) {
      list.addItem("<" + trim(subfolder) + ">");
      ui.progress(list.count(), 0);
      ui.processEvents();
    }
    ++livello_;
    ScopeExit goBackUp([this] { --livello_; });
    Legge_Dir(target, subfolder, Tipo_File);
  }
  ui.processEvents();
}

}  // namespace vortena
