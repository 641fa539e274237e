#include "fs/file_system.h"

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

}  // namespace vortena
