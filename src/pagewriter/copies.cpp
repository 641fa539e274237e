#include "pagewriter/copies.h"

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

namespace {

std::string errorDetail(FsStatus status) {
  return "ERR=" + signedNumber(status.number) + " - " + status.description();
}

}  // namespace

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

std::string numberedName(const PagePass& pass, std::string_view prefix, long number,
                         const std::string& type) {
  return toCase(std::string(prefix) + zeroPad(number, 3) + "." + type, pass.upper());
}

void reportCopyFailure(PagePass& pass, FsStatus status, const std::string& entry,
                       const std::string& copyPath) {
  if (status.ok()) return;
  pass.sys.ui.message("Errore nella copia delle immagini " + errorDetail(status) + "\r\r" +
                      "Copia " + entry + " " + copyPath);
}

void Copia_Immagine(PagePass& pass, const std::string& entry, const std::string& sourcePath) {
  const std::string type = toCase(copyType(entry), pass.upper());
  const std::string copyName =
      pass.folderPath + "\\" + numberedName(pass, kCopyPrefix, pass.folderCount + 1, type);
  pass.copyTypes.push_back(type);
  reportCopyFailure(pass, pass.sys.fs.copyFile(sourcePath, copyName), entry, copyName);
}

void Copia_Pulsanti(PagePass& pass) {
  for (std::string_view name : kNavigationPictures) {
    const std::string source = pass.programFile(name);
    const std::string destination =
        toCase(pass.folderPath + "\\" + std::string(name), pass.upper());
    FsStatus status = pass.sys.fs.copyFile(source, destination);
    if (!status.ok()) {
      pass.sys.ui.message("Errore nella copia dell'immagine " + std::string(name) + "\r\n" +
                          errorDetail(status) + "\r\r" + "Copia " + source + " " + destination);
    }
  }
}

}  // namespace vortena
