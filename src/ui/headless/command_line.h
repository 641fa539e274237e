// The command-line faces of the program: the window and --script forms' options
// (command_options.cpp), and the commands `vortena build` and `vortena scan` (commands.cpp),
// which fill the settings of a load and a build from the command line and run them as the
// window's buttons do, telling the user at the console (console_user.h). Every form answers
// --help and --version.
#pragma once

#include <QStringList>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "core/services.h"
#include "ui/headless/headless_window.h"

namespace vortena {

// What the program brings to every form from outside the command line.
struct CommandLineSetup {
  // The drives of VORTENA_DRIVES and the program folder found at start; the options change them.
  RunnerOptions options;
  // Standard error is a terminal: progress is shown as a bar redrawn in place.
  bool terminal = false;
  // The launcher that opens a built page (`build --open`); nothing means none can be opened.
  std::function<std::unique_ptr<Launcher>(WindowsFileSystem&)> opener;
};

// The window or --script form, read by parseWindowForm.
struct WindowForm {
  RunnerOptions options;
  std::optional<std::string> script;  // --script FILE ("-" for standard input)
};

// Reads the arguments of the window and --script forms (args[0] is the program). Returns the
// exit status when the program is to end at once: 0 after --help or --version (text on `out`),
// 2 after a bad command line (message and usage on `err`); nothing when `form` is to be run.
std::optional<int> parseWindowForm(const QStringList& args, const RunnerOptions& defaults,
                                   std::ostream& out, std::ostream& err, WindowForm& form);

// True when args[1] names a command (build, scan or check).
bool isCommand(const QStringList& args);

// Runs `vortena build ...`, `vortena scan ...` or `vortena check ...` (args as the program
// received them). The messages of the window's boxes go to `err`, one line each; the scan's list
// and the check's findings go to `out`. Returns 0 when nothing was reported (or found), 1 when a
// failure was (or something was found), 2 for a bad command line or a page check cannot read.
int runCommand(const QStringList& args, std::ostream& out, std::ostream& err,
               const CommandLineSetup& setup);

// One line of progress: a bar, the counts and the time left ("[#####-----] 5/10 0:07 left")
// when `total` is known, the count found so far otherwise.
std::string progressLine(long done, long total, double elapsedSeconds);

}  // namespace vortena
