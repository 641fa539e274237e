// The image library lives in a module of its own, vortena_imaging.so, loaded at the first web
// picture: a build without web pictures, and the window at its start, never load the library
// and the many libraries it depends on (they double the program's memory at start and slow
// every start). This is the module's one entry point, a table of the functions behind
// web_picture.h; imaging_loader.cpp finds the module and calls through the table.
#pragma once

#include <string>

#include "imaging/web_picture.h"

namespace vortena {

// Changes with the table's layout: a module of another version is not used.
inline constexpr int kImagingModuleVersion = 2;

struct ImagingModule {
  int version;
  void (*startImaging)();
  void (*endImagingThread)();
  bool (*imagingReads)(const std::string& kind);
  WebPicture (*makeWebPicture)(const std::string& bytes, const WebOptions& options);
};

// The module's file name, and the name of its table.
inline constexpr const char* kImagingModuleFile = "vortena_imaging.so";
inline constexpr const char* kImagingModuleSymbol = "vortena_imaging_module";

}  // namespace vortena

extern "C" const vortena::ImagingModule* vortena_imaging_module();
