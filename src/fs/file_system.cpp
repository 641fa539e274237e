#include "fs/file_system.h"

#include <algorithm>

namespace vortena {

namespace {

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

bool isFullDrivePath(std::string_view path) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return path.size() >= 3 && letter(path[0]) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

bool firstLinesHold(FileSystem& fs, const std::string& path, std::string_view text, int lines) {
  Expected<std::unique_ptr<TextReader>> reader = fs.openRead(path);
  if (!reader.ok()) return false;
  const std::string wanted = asciiLower(text);
  std::string line;
  for (int n = 0; n < lines && (*reader)->readLine(line); ++n)
    if (asciiLower(line).find(wanted) != std::string::npos) return true;
  return false;
}

}  // namespace vortena
