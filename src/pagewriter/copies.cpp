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

std::string numberedName(const PagePass& pass, std::string_view prefix, long number,
                         const std::string& type) {
  return toCase(std::string(prefix) + zeroPad(number, 3) + "." + type, pass.upper());
}

namespace {

std::string copyFailureText(FsStatus status, const std::string& entry,
                            const std::string& copyPath) {
  return "Errore nella copia delle immagini " + errorDetail(status) + "\r\r" + "Copia " + entry +
         " " + copyPath;
}

}  // namespace

void reportCopyFailure(PagePass& pass, FsStatus status, const std::string& entry,
                       const std::string& copyPath) {
  if (status.ok()) return;
  pass.folder.failed = true;
  if (pass.copies.failureToTell(status, copyPath))
    pass.sys.ui.message(copyFailureText(status, entry, copyPath));
}

namespace {

// Whether copy `name` of the folder is, by the build record, the copy an earlier build made of
// this very source: the folder is as that build left it and the source's stamp is the one it
// copied. The source's stamp is taken in any case, for this build's record of the folder.
bool copiedAsRecorded(PagePass& pass, const std::string& sourcePath, const std::string& name) {
  PagePass::FolderState& folder = pass.folder;
  const Expected<EntryStamp> source = pass.sys.fs.entryStamp(sourcePath);
  const std::uint64_t digest = source.ok() && !source->isFolder
                                   ? BuildRecord::entryDigest(*source, name)
                                   : 0;  // never recorded: the copy reports what is wrong
  folder.entries.push_back(digest);
  const size_t k = folder.entries.size() - 1;
  folder.intact = folder.intact && digest != 0 && k < folder.recorded->entries.size() &&
                  folder.recorded->entries[k] == digest;
  return folder.intact;
}

// Whether, by the build record, the copy just looked at was made of another source than this
// one (the entries moved up or down since). Its size and time may match this source's all the
// same (pictures of one size copied with one time): only the record tells them apart.
bool heldAnotherSource(const PagePass& pass) {
  const PagePass::FolderState& folder = pass.folder;
  const size_t k = folder.entries.size() - 1;
  return folder.recorded && folder.entries[k] != 0 && k < folder.recorded->entries.size() &&
         folder.recorded->entries[k] != folder.entries[k];
}

}  // namespace

void queuePictureCopy(PagePass& pass, const std::string& entry, const std::string& sourcePath) {
  const std::string type = toCase(copyType(entry), pass.upper());
  const std::string name = numberedName(pass, kCopyPrefix, pass.folderCount + 1, type);
  pass.copyTypes.push_back(type);
  if (copiedAsRecorded(pass, sourcePath, name)) return;
  std::string copyName = pass.folderPath + "\\" + name;
  // Told after the pass may have ended: through the queue's own interface, which lives on.
  pass.copies.copy(
      sourcePath, copyName,
      [&ui = pass.copies.ui(), entry, copyName](FsStatus status) {
        ui.message(copyFailureText(status, entry, copyName));
      },
      heldAnotherSource(pass) ? EarlierCopy::Replace : pass.folder.earlier);
}

void copyNavigationPictures(PagePass& pass) {
  for (std::string_view name : kNavigationPictures) {
    const std::string source = pass.programFile(name);
    const std::string destination =
        toCase(pass.folderPath + "\\" + std::string(name), pass.upper());
    pass.copies.copy(
        source, destination,
        [&ui = pass.copies.ui(), name, source, destination](FsStatus status) {
          ui.message("Errore nella copia dell'immagine " + std::string(name) + "\r\n" +
                     errorDetail(status) + "\r\r" + "Copia " + source + " " + destination);
        },
        pass.folder.earlier);
  }
}

}  // namespace vortena
