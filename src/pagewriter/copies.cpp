#include "pagewriter/copies.h"

#include "core/text.h"
#include "pagewriter/copy_queue.h"
#include "pagewriter/output_names.h"

namespace vortena {

namespace {

std::string errorDetail(FsStatus status) {
  return "ERR=" + signedNumber(status.number) + " - " + status.description();
}

std::string copyFailureText(FsStatus status, const std::string& entry,
                            const std::string& copyPath) {
  return "Errore nella copia delle immagini " + errorDetail(status) + "\r\r" + "Copia " + entry +
         " " + copyPath;
}

}  // namespace

void reportCopyFailure(const PassContext& pass, EntryFolders& folders, FsStatus status,
                       const std::string& entry, const std::string& copyPath) {
  if (status.ok()) return;
  folders.current.failed = true;
  if (pass.copies.failureToTell(status, copyPath))
    pass.sys.ui.message(copyFailureText(status, entry, copyPath));
}

namespace {

// Whether copy `name` of the folder is, by the build record, the copy an earlier build made of
// this very source: the folder is as that build left it and the source's stamp is the one it
// copied. The source's stamp is taken in any case, for this build's record of the folder.
bool copiedAsRecorded(const PassContext& pass, EntryFolders& folders, const std::string& sourcePath,
                      const std::string& name) {
  EntryFolders::Current& folder = folders.current;
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
bool heldAnotherSource(const EntryFolders& folders) {
  const EntryFolders::Current& folder = folders.current;
  const size_t k = folder.entries.size() - 1;
  return folder.recorded && folder.entries[k] != 0 && k < folder.recorded->entries.size() &&
         folder.recorded->entries[k] != folder.entries[k];
}

}  // namespace

void queuePictureCopy(const PassContext& pass, EntryFolders& folders, const std::string& entry,
                      const std::string& sourcePath) {
  const std::string type = toCase(copyType(entry), pass.upper());
  const std::string name = numberedName(pass.upper(), kCopyPrefix, folders.count + 1, type);
  folders.copyTypes.push_back(type);
  if (copiedAsRecorded(pass, folders, sourcePath, name)) return;
  std::string copyName = folders.path + "\\" + name;
  // Told after the pass may have ended: through the queue's own interface, which lives on.
  pass.copies.copy(
      sourcePath, copyName,
      [&ui = pass.copies.ui(), entry, copyName](FsStatus status) {
        ui.message(copyFailureText(status, entry, copyName));
      },
      heldAnotherSource(folders) ? EarlierCopy::Replace : folders.current.earlier);
}

void copyNavigationPictures(const PassContext& pass, const EntryFolders& folders) {
  for (std::string_view name : kNavigationPictures) {
    const std::string source = pass.programFile(name);
    const std::string destination = toCase(folders.path + "\\" + std::string(name), pass.upper());
    pass.copies.copy(
        source, destination,
        [&ui = pass.copies.ui(), name, source, destination](FsStatus status) {
          ui.message("Errore nella copia dell'immagine " + std::string(name) + "\r\n" +
                     errorDetail(status) + "\r\r" + "Copia " + source + " " + destination);
        },
        folders.current.earlier);
  }
}

}  // namespace vortena
