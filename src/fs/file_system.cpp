#include "fs/file_system.h"

#include <algorithm>

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

namespace {

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

bool firstLinesHold(FileSystem& fs, const std::string& path, std::string_view text, int lines) {
  std::unique_ptr<TextReader> reader;
  if (!fs.openRead(path, reader).ok() || !reader) return false;
  const std::string wanted = asciiLower(text);
  std::string line;
  for (int n = 0; n < lines && reader->readLine(line); ++n)
    if (asciiLower(line).find(wanted) != std::string::npos) return true;
  return false;
}

}  // namespace vortena
