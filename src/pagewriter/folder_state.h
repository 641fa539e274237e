// The entry folders of one page pass: the folder being filled, the types of its copies, the web
// pictures under way, and the folder against the build record. The stages that place entries,
// make their copies and write the slideshow pages share it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "pagewriter/build_record.h"

namespace vortena {

class WebCopies;

struct EntryFolders {
  explicit EntryFolders(BuildRecord& r) : record(r) {}

  // The build's record of its entry folders; it outlives the pass.
  BuildRecord& record;

  long number = 1;  // n: the folder being filled
  long count = 0;   // c: entries already copied into folder n; 0 means none is open
  std::string path;
  int lastFolderMarker = 0;
  // File type given to each copy of folder n, in order, and to each thumbnail in web mode; in
  // web mode an empty type for a copy or thumbnail that was not written.
  std::vector<std::string> copyTypes;
  std::vector<std::string> thumbTypes;
  // The web pictures under way, made when the first one is asked for (web_copies.h).
  std::shared_ptr<WebCopies> webCopies;

  // Folder n against the build record: what the last build left there, whether the folder is
  // still as it was left (no name made, removed or renamed in it since) and its copies made
  // from the same sources so far, and this build's record of it.
  struct Current {
    const BuildRecord::Folder* recorded = nullptr;
    bool intact = false;  // as recorded, and every copy so far recorded as it is
    bool opened = false;  // made, or found there already, by makeFolder
    bool isNew = false;   // made by this build just now: nothing of an earlier build in it
    bool failed = false;  // something in it failed: it is not recorded
    // How a copy found there already is taken: by its size and times, or, where the album
    // has no build record (a first build, or the user asks for every file to be checked),
    // only when it holds its source's bytes.
    EarlierCopy earlier = EarlierCopy::Keep;
    std::vector<std::uint64_t> entries;  // the digest of each copy (BuildRecord::entryDigest)
  } current;
};

}  // namespace vortena
