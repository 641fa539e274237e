// Recovery from a failure to write the album page in the guarded stretch of a page pass
// (opening the page, its first line, the back link, the grid's opening lines and, when the
// range holds no entry, its closing lines). A page that cannot be made where asked moves to
// drive C:, first under the same folder path, then as C:\index.htm; any other failure is
// reported and the pass goes on.
#pragma once

#include <string>

#include "pagewriter/page_file.h"
#include "pagewriter/page_types.h"

namespace vortena {

// The places the write recovery moved the page to in this pass.
struct WriteRecovery {
  int fallbackCount = 0;    // fallbacks taken in this pass
  int checkedFallback = 0;  // the fallback whose place was checked for old files
};

// Description of an error number as the page writer's messages show it.
std::string pageErrorDescription(int number);

// Box C: the page could not be written at `path` (a beep, then the message with the error
// number and its description).
void reportPageFailure(const PassContext& pass, const std::string& path, FsStatus status);

// Handles the outcome of one step of the guarded stretch. Success: Flow::Next, nothing done.
// Failure: closes the album page (`page`) and beeps, then
//  - 75 or 76, first time in this pass: box A, the output folder moves to drive C:, Flow::Restart;
//  - 75 or 76, second time: box B, the page becomes C:\index.htm, Flow::Restart;
//  - 75 or 76 once C:\index.htm was tried: box C, Flow::EndPass;
//  - any other error: box C, Flow::Next (the failed step is skipped).
// The changed output folder and page file stay for the rest of the build.
Flow recoverFromWriteFailure(PassContext& pass, PageFile& page, WriteRecovery& recovery,
                             FsStatus status);

}  // namespace vortena
