#include "fs/drive_table.h"

#include <utility>

#include "fs/windows_path.h"

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

bool DriveTable::parseList(std::string_view list) {
  for (const std::string& item : splitPieces(list, ";"))
    if (!parseAssignment(item)) return false;
  return true;
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
