// The outcome of a file operation in the program's terms: 0 or one of the error numbers its
// messages show. Every layer of the file system reports through it, from the host calls up.
#pragma once

#include <string>

namespace vortena {

// Error numbers of failed file operations, as the program's messages show them.
enum FsErrorNumber : int {
  kFsOk = 0,
  kFileNotFound = 53,       // the folder exists, the file does not
  kDeviceIoError = 57,      // EIO
  kFileAlreadyExists = 58,  // rename onto another existing file
  kDiskFull = 61,           // ENOSPC, EDQUOT
  kPathFileAccess = 75,     // access denied, read-only, folder exists, copy onto itself, other
  kPathNotFound = 76,       // a folder of the path is missing, unmapped drive
};

// Italian description of an error number ("Impossibile trovare il file" for 53); the numbers
// outside the table get the description of 75.
std::string errorDescription(int number);

// Outcome of one operation: 0 for success, otherwise one of FsErrorNumber. It cannot be dropped
// unseen: a caller reports it, recovers from it, or passes it to ignoreFailure.
struct [[nodiscard]] FsStatus {
  int number = kFsOk;
  bool ok() const { return number == kFsOk; }
  std::string description() const { return errorDescription(number); }
};

// The status of a host call that failed with `error` (an errno value; a failure whatever the
// value, 0 included, which gives 75). `missing` is what
// ENOENT means where the call was made: the file (53) when its folder is known to exist, the
// path (76) when the name looked for is a folder or the folder of what is made.
FsStatus hostFailure(int error, int missing = kFileNotFound);
// The same for the errno of the host call that just failed.
FsStatus lastHostFailure(int missing = kFileNotFound);

// Ignores the outcome of an operation on purpose: the program goes on whether or not it
// succeeded, for the reason given at the call. Every such place calls this one function (or
// its form for a result with a value, fs/expected.h), so a search for it lists them all.
inline void ignoreFailure([[maybe_unused]] FsStatus status, [[maybe_unused]] const char* reason) {}

}  // namespace vortena
