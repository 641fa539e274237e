// vortena: with no arguments the main window; with --script FILE the same window headless;
// `vortena build` and `vortena scan` the commands of the window from a terminal.
#include <unistd.h>

#include <QStringList>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "fs/host/interrupt.h"
#include "fs/windows/windows_fs.h"
#include "ui/headless/command_line.h"
#include "ui/headless/script_runner.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/qt_window.h"

namespace {

// The folder of the running executable.
std::string executableFolder(const char* argv0) {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(argv0);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// The program folder of the templates and pictures: the executable's own folder (a build
// tree), else ../share/vortena beside it (an installed program).
std::string programFolder(const char* argv0) {
  const std::string folder = executableFolder(argv0);
  std::error_code error;
  if (std::filesystem::exists(folder + "/MENU.HTM", error)) return folder;
  const std::filesystem::path installed =
      std::filesystem::path(folder).parent_path() / "share" / "vortena";
  if (std::filesystem::exists(installed / "MENU.HTM", error)) return installed.string();
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  // First: a Ctrl+C at any moment leaves no temporary file behind.
  vortena::removePendingFilesOnInterrupt();
  vortena::CommandLineSetup setup;
  if (const char* list = std::getenv("VORTENA_DRIVES"))
    for (const std::string& item : setup.options.drives.parseList(list))
      std::cerr << "vortena: warning: VORTENA_DRIVES item '" << item
                << "' is not L=DIR; it is ignored\n";
  setup.options.programFolder = programFolder(argv[0]);
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);

  if (vortena::isCommand(args)) {
    setup.terminal = isatty(STDERR_FILENO) == 1;
    setup.opener = [](vortena::WindowsFileSystem& fs) -> std::unique_ptr<vortena::Launcher> {
      return std::make_unique<vortena::QtLauncher>(fs);
    };
    return vortena::runCommand(args, std::cout, std::cerr, setup);
  }

  vortena::WindowForm form;
  if (auto status = vortena::parseWindowForm(args, setup.options, std::cout, std::cerr, form))
    return *status;
  if (!form.script) {
    vortena::WindowOptions options{form.options.drives, form.options.programFolder};
    return vortena::runWindow(argc, argv, options);
  }
  if (*form.script == "-") return vortena::runScript(std::cin, std::cout, std::cerr, form.options);
  std::ifstream in(*form.script, std::ios::binary);
  if (!in) {
    std::cerr << "vortena: cannot read " << *form.script << "\n";
    return 2;
  }
  return vortena::runScript(in, std::cout, std::cerr, form.options);
}
