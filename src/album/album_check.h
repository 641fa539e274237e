// The audit of a built album before it is published (`vortena check PAGE`): whether every link
// of its pages reaches its file as a case-sensitive web server would look it up, which files
// nothing links, which published pictures carry personal metadata, which hidden files an upload
// would take, and how much would be uploaded. The audit reads the host disk and writes nothing.
//
// The album of a page: the page, the pages it links (the index of pages and its numbered pages,
// the slideshow pages of the entry folders) and, through them, every file they link; the entry
// folders beside the page (dir_NNNN in either letter case) with all they hold; the site files the
// program installs beside the page; the program's records; and every hidden file, which an
// upload of the page's folder would take. The page's folder is often the user's own photo
// folder, so a file outside the entry folders that nothing links is the user's, none of the
// album's. An orphan is a file of an entry folder that nothing links and that the program did
// not make: not its slideshow page, copies, thumbnails, navigation pictures or record.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/picture_metadata.h"

namespace vortena {

enum class LinkProblem {
  kMissing,      // no file of that name, in any letter case
  kCaseDiffers,  // the file is there under another letter case: a web server will not find it
  kOutside,      // the link leaves the album's folder (../ above it, a root path, a drive)
};

// Paths are relative to the page's folder, with "/" between names, as the disk spells them.
struct BrokenLink {
  std::string page;  // the page that holds the link
  std::string link;  // the link as the page writes it, entities decoded
  LinkProblem problem = LinkProblem::kMissing;
  std::string onDisk;  // kCaseDiffers: the file as the disk names it
};

struct MetadataFinding {
  std::string file;
  PrivateMetadata found;
};

struct AlbumReport {
  std::filesystem::path page;      // the page checked, absolute
  std::vector<std::string> pages;  // the pages reached from it, itself first
  std::vector<BrokenLink> brokenLinks;
  std::vector<std::string> orphans;  // album files that nothing links and the program did not make
  std::vector<MetadataFinding> privateMetadata;
  std::vector<std::string> hiddenFiles;     // names beginning with "." (a folder ends with "/")
  std::vector<std::string> programRecords;  // the program's own hidden records: harmless
  long files = 0;                           // the album's files, as an upload takes them
  std::uintmax_t bytes = 0;
  // Nothing to fix before publishing (the program's records are no finding).
  bool clean() const {
    return brokenLinks.empty() && orphans.empty() && privateMetadata.empty() && hiddenFiles.empty();
  }
};

struct AlbumCheck {
  std::optional<AlbumReport> report;
  std::string error;  // why there is no report: the page cannot be read
};

// Audits the album of the host file `page`.
AlbumCheck checkAlbum(const std::filesystem::path& page);

// The link targets of a page's markup: the values of its href, src, background and data-grande
// attributes (the last names the picture a slideshow shows large), in any letter case, quoted
// with " or ' or not quoted, outside comments, scripts and style sheets; entities decoded.
std::vector<std::string> linksOfPage(std::string_view markup);

// What the word says in the report: "missing", "case", "outside".
std::string_view problemName(LinkProblem problem);

}  // namespace vortena
