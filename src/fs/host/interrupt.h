// The signals that end the program from outside: Ctrl+C (SIGINT), a kill (SIGTERM) and a closed
// terminal (SIGHUP).
#pragma once

namespace vortena {

// From now on each of the three signals removes the process's pending temporary files (see
// PendingFile), which may be in the middle of a page or a copy, and then ends the process by
// that same signal, so that a shell sees the status 128 + its number. A signal ignored when
// this is called (a build started under nohup) stays ignored. Called once, early in main.
void removePendingFilesOnInterrupt();

}  // namespace vortena
