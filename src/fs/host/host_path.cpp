#include "fs/host/host_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vortena {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char upperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The non-empty pieces of `text` between any of the `separators`.
std::vector<std::string> splitPieces(std::string_view text, const char* separators) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(separators, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// Adds `more` to the components `base`, applying "." and ".."; ".." stops at the root.
void appendComponents(std::vector<std::string>& base, const std::vector<std::string>& more) {
  for (const std::string& part : more) {
    if (part == ".") continue;
    if (part == "..") {
      if (!base.empty()) base.pop_back();
      continue;
    }
    base.push_back(part);
  }
}

// "\a\b" (or "/a/b") from {"a", "b"}; empty for no components.
std::string joinComponents(const std::vector<std::string>& parts, char separator) {
  std::string out;
  for (const std::string& part : parts) {
    out += separator;
    out += part;
  }
  return out;
}

std::string joinHost(const std::string& folder, const std::string& name) {
  if (name.empty()) return folder;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string workingFolder() {
  std::string cwd(4096, '\0');
  if (!getcwd(cwd.data(), cwd.size())) return {};
  return cwd.c_str();
}

// Absolute host path without ".", "..", repeated or trailing "/"; "/" for the root. A relative
// path is taken from the working folder.
std::string normalHostPath(std::string_view path) {
  std::vector<std::string> parts;
  if (path.empty() || path[0] != '/') parts = splitPieces(workingFolder(), "/");
  appendComponents(parts, splitPieces(path, "/"));
  return parts.empty() ? "/" : joinComponents(parts, '/');
}

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
    return entry->pw_dir;
  return "/";
}

}  // namespace vortena
