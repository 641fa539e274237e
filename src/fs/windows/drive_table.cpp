#include "fs/windows/drive_table.h"

#include <sys/stat.h>

#include <utility>

#include "fs/host/host_path.h"

namespace vortena {

// Drive table.

DriveTable DriveTable::defaults() {
  DriveTable table;
  table.set('C', homeFolder());
  table.set('Z', "/");
  return table;
}

void DriveTable::set(char letter, std::string hostFolder) {
  drives_[upperLetter(letter)] = normalHostPath(hostFolder);
}

bool DriveTable::parseAssignment(std::string_view assignment) {
  if (assignment.size() < 3 || assignment[1] != '=' || !isAsciiLetter(assignment[0])) return false;
  set(assignment[0], std::string(assignment.substr(2)));
  return true;
}

std::vector<std::string> DriveTable::parseList(std::string_view list) {
  std::vector<std::string> malformed;
  for (const std::string& item : splitPieces(list, ";"))
    if (!parseAssignment(item)) malformed.push_back(item);
  return malformed;
}

std::vector<std::string> DriveTable::missingFolders() const {
  std::vector<std::string> missing;
  for (const auto& [letter, folder] : drives_) {
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      missing.push_back(std::string(1, letter) + ": " + folder);
  }
  return missing;
}

std::optional<std::string> DriveTable::hostFolder(char letter) const {
  auto it = drives_.find(upperLetter(letter));
  if (it == drives_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> DriveTable::toDriveForm(std::string_view hostPath) const {
  if (hostPath.empty() || hostPath[0] != '/') return std::nullopt;
  const std::string path = normalHostPath(hostPath);
  // The longest host folder that is the path itself or a whole-component prefix of it.
  const std::pair<const char, std::string>* best = nullptr;
  for (const auto& drive : drives_) {
    const std::string& root = drive.second;
    bool covers = root == "/" || path == root ||
                  (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                   path[root.size()] == '/');
    if (covers && (!best || root.size() > best->second.size())) best = &drive;
  }
  if (!best) return std::nullopt;
  std::string rest = best->second == "/" ? path : path.substr(best->second.size());
  std::string inside = joinComponents(splitPieces(rest, "/"), '\\');
  return std::string(1, best->first) + ":" + (inside.empty() ? "\\" : inside);
}

}  // namespace vortena
