#include "fs/fs_status.h"

#include <cerrno>

namespace vortena {

std::string errorDescription(int number) {
  switch (number) {
    case kFsOk:
      return "";
    case kFileNotFound:
      return "Impossibile trovare il file";
    case kDeviceIoError:
      return "Errore di I/O della periferica";
    case kFileAlreadyExists:
      return "File già esistente";
    case kDiskFull:
      return "Disco pieno";
    case kPathNotFound:
      return "Impossibile trovare il percorso";
    default:
      return "Errore di accesso al percorso/file";
  }
}

FsStatus hostFailure(int error, int missing) {
  switch (error) {
    case ENOENT:
      return {missing};
    case ENOTDIR:
      return {kPathNotFound};
    case EIO:
      return {kDeviceIoError};
    case ENOSPC:
    case EDQUOT:
      return {kDiskFull};
    default:
      return {kPathFileAccess};
  }
}

FsStatus lastHostFailure(int missing) { return hostFailure(errno, missing); }

}  // namespace vortena
