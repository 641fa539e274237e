// The copies of an entry folder in web mode: each picture read here, made into a web copy and
// a thumbnail by the workers, and written here in the order of the entries, so that the disk
// is only ever touched from the pass's own thread and the messages come in the order the
// user knows. A folder's pictures are all written when the folder is completed, before its
// slideshow page, which names them.
#pragma once

#include <string>
#include <string_view>

#include "pagewriter/folder_state.h"
#include "pagewriter/page_types.h"

namespace vortena {

// The hidden record of the web pictures an entry folder holds.
inline constexpr std::string_view kWebRecordName = ".immagini_web";

// Hands the picture at `sourcePath` to the workers as picture folderCount + 1 of the open
// folder, unless the files an earlier build made of it still stand. With a few pictures under
// way per worker, the oldest is written first (the memory a build takes stays bounded).
void queueWebPicture(const PassContext& pass, EntryFolders& folders, const std::string& entry,
                     const std::string& sourcePath);

// Writes every web picture of the open folder still under way, in order: its copy
// (img_001.jpg, of the type written) and its thumbnail (min_001.jpg), their types recorded in
// folders.copyTypes and folders.thumbTypes (an empty type for a file not written), each failure
// reported as a failed copy of the entry and a photo the image library cannot read as such.
// Then writes the folder's record of what it made, by which a rebuild knows them.
void writeWebPictures(const PassContext& pass, EntryFolders& folders);

}  // namespace vortena
