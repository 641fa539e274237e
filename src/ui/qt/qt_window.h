// The main window on screen, built with Qt widgets from the control table.
#pragma once

#include <string>

#include "fs/windows/windows_fs.h"

namespace vortena {

struct WindowOptions {
  DriveTable drives = DriveTable::defaults();
  std::string programFolder;  // host path of the program folder
};

// Creates the application and the main window, shows it and runs until it is closed or the
// end button is pressed. Returns the program's exit status.
int runWindow(int argc, char** argv, const WindowOptions& options);

}  // namespace vortena
