// vortena: with no arguments the main window; with --script FILE the same window headless.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "fs/windows_fs.h"
#include "ui/headless/script_runner.h"
#include "ui/qt/qt_window.h"

namespace {

// The folder of the running executable: the program folder of the templates and pictures.
std::string executableFolder(const char* argv0) {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(argv0);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

int usage(const std::string& problem) {
  std::cerr << "vortena: " << problem << "\n"
            << "usage: vortena [--drive L=DIR]... [--program-dir DIR]\n"
            << "       vortena --script FILE|- [--drive L=DIR]... [--program-dir DIR]"
               " [--screen-width N]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vortena::DriveTable drives = vortena::DriveTable::defaults();
  if (const char* list = std::getenv("VORTENA_DRIVES")) drives.parseList(list);
  std::string script;
  std::string programFolder = executableFolder(argv[0]);
  int screenWidth = 1024;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--script") {
      const char* v = value();
      if (!v) return usage("--script needs a file");
      script = v;
    } else if (arg == "--drive") {
      const char* v = value();
      if (!v || !drives.parseAssignment(v)) return usage("--drive needs L=DIR");
    } else if (arg == "--program-dir") {
      const char* v = value();
      if (!v) return usage("--program-dir needs a folder");
      // Made absolute now: the commands change folder, and a relative program folder would
      // then point elsewhere.
      programFolder = std::filesystem::absolute(v).lexically_normal().string();
      if (programFolder.size() > 1 && programFolder.back() == '/') programFolder.pop_back();
    } else if (arg == "--screen-width") {
      const char* v = value();
      char* end = nullptr;
      long width = v ? std::strtol(v, &end, 10) : 0;
      if (!v || *end != '\0' || width <= 0) return usage("--screen-width needs a number of pixels");
      screenWidth = static_cast<int>(width);
    } else {
      return usage("unknown argument " + arg);
    }
  }

  if (script.empty()) {
    vortena::WindowOptions options{drives, programFolder};
    return vortena::runWindow(argc, argv, options);
  }
  vortena::RunnerOptions options{drives, programFolder, screenWidth};
  if (script == "-") return vortena::runScript(std::cin, std::cout, std::cerr, options);
  std::ifstream in(script, std::ios::binary);
  if (!in) {
    std::cerr << "vortena: cannot read " << script << "\n";
    return 2;
  }
  return vortena::runScript(in, std::cout, std::cerr, options);
}
