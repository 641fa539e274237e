#include "fs/windows/windows_path.h"

#include "fs/host/host_path.h"

namespace vortena {

WindowsPath parseWindowsPath(std::string_view path) {
  WindowsPath out;
  if (path.size() >= 2 && path[1] == ':' && isAsciiLetter(path[0])) {
    out.drive = upperLetter(path[0]);
    path.remove_prefix(2);
  }
  out.rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  out.components = splitPieces(path, "\\/");
  return out;
}

}  // namespace vortena
