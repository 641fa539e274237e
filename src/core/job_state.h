// The shared fields that carry a build from the window to the page writer.
#pragma once

#include <string>
#include <vector>

namespace vortena {

// The shared fields of a build, created empty or zero at start and never reset as a whole.
struct JobState {
  std::string outputFolder;  // the album page's folder, ending with "\" or empty
  std::string pageName;      // page name as typed, case applied
  std::string pageFile;      // page being generated (after a build: the last one)
  std::string rootFolder;    // root folder of the media, cut off the entry labels
  long entryCount = 0;       // entries of the list when the build began
  std::vector<std::string> pageNames;  // names of the numbered pages; page n at index n - 1
  long firstEntry = 0;                 // 1-based list positions of the page's range
  long lastEntry = 0;
  long pageNumber = 0;             // the numbered page being written (its count once written)
  bool replaceConfirmed = false;  // the user agreed to replace a page in this build
  // The page a paged build writes as its index, while it writes its pages (the back links and
  // slideshows of the numbered pages lead there; the index itself has no back link); empty in
  // a single-page build.
  std::string indexPage;
};

// How a page pass numbers its entry folders. A single-page build uses the defaults; a paged
// build runs the numbers on across its pages and gives every page name of the index of pages
// a folder (and so a button) of its own.
struct FolderNumbering {
  long firstFolder = 1;         // number of the pass's first entry folder
  bool folderPerEntry = false;  // every entry completes its folder at once
  long nextFolder = 1;          // set by the pass: the number after its last folder
};

}  // namespace vortena
