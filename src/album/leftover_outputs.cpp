#include "album/leftover_outputs.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "core/album_files.h"
#include "core/text.h"
#include "pagewriter/output_names.h"
#include "pagewriter/web_copies.h"

namespace vortena {
namespace {

// The number of `name` when it is `prefix` (upper case), digits and `suffix` (upper case) in
// either letter case, with at least `digits` digits; -1 otherwise.
long numberOf(const std::string& name, std::string_view prefix, std::string_view suffix,
              size_t digits) {
  const std::string upper = toUpper(name);
  if (!upper.starts_with(prefix) || !upper.ends_with(suffix) ||
      upper.size() < prefix.size() + digits + suffix.size())
    return -1;
  const std::string_view number =
      std::string_view(upper).substr(prefix.size(), upper.size() - prefix.size() - suffix.size());
  long n = -1;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), n);
  return error == std::errc() && end == number.data() + number.size() ? n : -1;
}

bool isNavigationPicture(const std::string& name) {
  for (std::string_view picture : kNavigationPictures)
    if (toUpper(name) == toUpper(picture)) return true;
  return false;
}

bool carriesMark(FileSystem& fs, const std::string& page) {
  return firstLinesHold(fs, page, kProgramMark, kProgramMarkLines);
}

// Empties the program's entry folder `folder` of the program's files, then removes it when
// nothing else is left in it.
void removeEntryFolder(FileSystem& fs, const std::string& folder) {
  const Expected<FolderListing> listing = fs.listFolder(folder);
  if (!listing.ok()) return;
  for (const DirEntry& entry : listing->entries) {
    const bool programs = !entry.isFolder && (isCopyName(entry.name) ||
                                              isNavigationPicture(entry.name) ||
                                              toLower(entry.name) == kSlideshowPage);
    if (programs)
      ignoreFailure(fs.removeFile(folder + "\\" + entry.name),
                    "a file that cannot be removed keeps its folder, which stays as it is");
  }
  ignoreFailure(fs.removeFile(folder + "\\" + std::string(kWebRecordName)),
                "the folder of a build without web pictures has no such record");
  ignoreFailure(fs.removeStaleTemporaryFiles(folder),
                "a file a build under way still writes keeps its folder");
  ignoreFailure(fs.removeFolder(folder), "a folder that holds a file of the user's stays");
}

}  // namespace

void removeLeftoverOutputs(FileSystem& fs, BuildRecord& record, const std::string& albumFolder,
                           long firstUnusedFolder, long lastPage) {
  const Expected<FolderListing> listing = fs.listFolder(albumFolder);
  if (!listing.ok()) return;
  for (const DirEntry& entry : listing->entries) {
    const std::string path = albumFolder + entry.name;
    if (entry.isFolder) {
      const long n = numberOf(entry.name, "DIR_", "", 4);
      if (n < firstUnusedFolder || n < 1) continue;
      if (!record.madeByProgram(albumFolder, entry.name) &&
          !carriesMark(fs, path + "\\" + std::string(kSlideshowPage)))
        continue;
      removeEntryFolder(fs, path);
    } else {
      const long n = numberOf(entry.name, "PAG_", ".HTM", 1);
      if (n <= lastPage || n < 1) continue;
      if (!record.madeByProgram(albumFolder, entry.name) && !carriesMark(fs, path)) continue;
      if (!fs.removeFile(path).ok()) continue;
    }
    record.removed(albumFolder, entry.name);
  }
}

}  // namespace vortena
