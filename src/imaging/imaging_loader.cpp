#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "imaging/imaging_module.h"

namespace vortena {
namespace {

// The folder of the running executable: the module is built beside it.
std::string executableFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  const std::string exe(path, static_cast<size_t>(n));
  return exe.substr(0, exe.rfind('/'));
}

struct Loaded {
  const ImagingModule* module = nullptr;
  std::string error;  // why no module could be used
};

// Loads the module once for the process: from the executable's folder (the build tree, and
// the tests), else from the library folder it is installed in, found from the executable's
// folder too, so that the installed program works wherever its tree is put.
const Loaded& loaded() {
  static const Loaded result = [] {
    Loaded out;
    const std::string folder = executableFolder();
    std::vector<std::string> places = {folder + "/" + kImagingModuleFile};
#ifdef VORTENA_IMAGING_DIR
    places.push_back(folder + "/" + VORTENA_IMAGING_DIR + "/" + kImagingModuleFile);
#endif
    for (const std::string& place : places) {
      void* handle = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!handle) {
        out.error = ::dlerror();
        continue;
      }
      using Entry = const ImagingModule* (*)();
      auto entry = reinterpret_cast<Entry>(::dlsym(handle, kImagingModuleSymbol));
      const ImagingModule* module = entry ? entry() : nullptr;
      if (module && module->version == kImagingModuleVersion) {
        out.module = module;
        out.error.clear();
        return out;
      }
      out.error = place + ": not an image module of this version";
      ::dlclose(handle);
    }
    return out;
  }();
  return result;
}

}  // namespace

void startImaging() {
  if (const ImagingModule* m = loaded().module) m->startImaging();
}

void endImagingThread() {
  if (const ImagingModule* m = loaded().module) m->endImagingThread();
}

bool imagingReads(const std::string& kind) {
  const ImagingModule* m = loaded().module;
  return m && m->imagingReads(kind);
}

// Without the module no picture can be made: each is told as one that could not be read.
WebPicture makeWebPicture(const std::string& bytes, const WebOptions& options) {
  if (const ImagingModule* m = loaded().module) return m->makeWebPicture(bytes, options);
  WebPicture none;
  none.error = "the image library cannot be loaded: " + loaded().error;
  return none;
}

}  // namespace vortena
