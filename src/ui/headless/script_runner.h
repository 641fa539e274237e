// The headless script runner: the main window without a display, driven by the lines of a
// script, writing a transcript of what a user would have seen.
#pragma once

#include <iosfwd>
#include <string>

#include "ui/headless/headless_window.h"

namespace vortena {

// Runs start-up and the load handler, then every line of `script`. Returns 0 when the script
// ran to its end (or to `end`), 2 after a line it cannot read (message on `errors`, beginning
// "line N:").
int runScript(std::istream& script, std::ostream& transcript, std::ostream& errors,
              const RunnerOptions& options);

}  // namespace vortena
