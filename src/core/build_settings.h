// What a build is asked to do, as one value: read from the window's boxes once, when the build
// starts (the boxes cannot be edited while it runs), or given on the command line. Nothing
// below the window reads a control; a build works from its settings from its first page to its
// last.
#pragma once

#include <string>
#include <vector>

#include "core/media_list.h"
#include "core/web_options.h"

namespace vortena {

struct BuildSettings {
  std::string pagePath;   // the album page as the user typed it (trimmed when used)
  bool upperCase = false;  // every generated name in upper case ("Maiuscole"), else lower case
  // The numeric values of the two maxima as typed: entries a folder (and a page of a paged
  // build), images a row of the grid.
  double entriesPerFolder = 0;
  double imagesPerRow = 0;
  bool leaveOutBackground = false;  // "Elimino sfondo" ticked
  bool leaveOutTitle = false;       // "Elimino titolo" ticked
  WebOptions web;
  MediaList entries;
  // The count shown beside the list ("N.files trovati"), as a number: a build of none is
  // refused whatever the list holds.
  double shownCount = 0;
};

// What a folder scan is asked for: the folder and the extensions of the files to list ("*":
// the known picture types). Without any (or only empty ones) the scan lists the folders.
struct ScanSettings {
  std::string folder;
  std::vector<std::string> extensions;
};

}  // namespace vortena
