// Runs a script through the headless runner in-process and keeps what it wrote.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "ui/headless/script_runner.h"

namespace vortena::testing {

struct ScriptRun {
  int status = -1;
  std::string transcript;
  std::string errors;
};

// Drive C: is `driveC`, the program folder `programFolder` (mapped as drive P:).
inline ScriptRun runScriptText(const std::string& script, const std::filesystem::path& driveC,
                               const std::filesystem::path& programFolder, int screenWidth = 1024) {
  RunnerOptions options;
  options.drives.set('C', driveC.string());
  options.drives.set('P', programFolder.string());
  options.programFolder = programFolder.string();
  options.screenWidth = screenWidth;
  std::istringstream in(script);
  std::ostringstream out, err;
  ScriptRun run;
  run.status = runScript(in, out, err, options);
  run.transcript = out.str();
  run.errors = err.str();
  return run;
}

}  // namespace vortena::testing
