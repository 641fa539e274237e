#include "pagewriter/output_names.h"

#include "core/text.h"

namespace vortena {
namespace {

// The last `count` characters of a UTF-8 text (whole characters, so an accented letter is
// never cut in two).
std::string lastCharacters(const std::string& text, int count) {
  size_t start = text.size();
  for (int taken = 0; taken < count && start > 0; ++taken) {
    --start;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  }
  return text.substr(start);
}

}  // namespace

// The entry's own extension, blanks around the name left out (`trailext.jpg ` is a jpg); a
// name without one keeps its last three characters, as copies of such names always had.
std::string copyType(const std::string& entry) {
  const std::string name = trim(entry);
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('\\');
  if (dot != std::string::npos && dot + 1 < name.size() &&
      (slash == std::string::npos || dot > slash))
    return name.substr(dot + 1);
  return lastCharacters(name, 3);
}

std::string siteNamesInCase(const std::string& line, bool upper) {
  std::string lowered = line;
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  std::string out = line;
  for (std::string_view name : kSiteAssets) {
    if (name.ends_with(".HTM")) continue;  // the templates are copied into the page, not linked
    const std::string cased = toCase(name, upper);
    for (size_t at = lowered.find(name); at != std::string::npos;
         at = lowered.find(name, at + name.size()))
      out.replace(at, name.size(), cased);
  }
  return out;
}

bool isCopyName(const std::string& name) {
  if (name.size() < 9) return false;
  std::string prefix = name.substr(0, 4);
  for (char& c : prefix)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (prefix != kCopyPrefix && prefix != kThumbPrefix) return false;
  size_t digits = 4;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  return digits - 4 >= 3 && digits + 1 < name.size() && name[digits] == '.';
}

std::string numberedName(bool upper, std::string_view prefix, long number,
                         const std::string& type) {
  return toCase(std::string(prefix) + zeroPad(number, 3) + "." + type, upper);
}

}  // namespace vortena
