#include "ui/headless/console_user.h"

#include <cctype>

namespace vortena {

std::string hostPathsIn(const std::string& text, const DriveTable& drives) {
  std::string out;
  bool inPath = false;  // a drive path began earlier on this line
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      inPath = false;
      out += c;
      continue;
    }
    const bool wordStart = i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1]));
    if (wordStart && std::isalpha(static_cast<unsigned char>(c)) && i + 2 < text.size() &&
        text[i + 1] == ':' && text[i + 2] == '\\') {
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (const std::optional<std::string> folder = drives.hostFolder(letter)) {
        out += *folder == "/" ? "" : *folder;
        out += '/';
        i += 2;
        inPath = true;
        continue;
      }
    }
    out += inPath && c == '\\' ? '/' : c;
  }
  return out;
}

}  // namespace vortena
