// The window's commands that fill and edit the media list.
#pragma once

#include "app/session.h"
#include "medialist/folder_scan.h"

namespace vortena {

// "Carica i nomi dei files della estensione indicata": the list gains the files of the search
// folder's tree with the extension in its box.
void loadByExtensionCommand(Session& session, FolderScan& scan);
// "Carica tutti i files multimediali conosciuti della cartella": the same for the known
// picture types.
void loadAllKnownCommand(Session& session, FolderScan& scan);
// "Inserisce un solo file in elenco": one file chosen in the file dialog (its folder becomes
// the root folder of the labels).
void insertFileCommand(Session& session);
// "Elimina file da elenco": the selected entry goes from the list, after a yes (the job's
// entry count takes the list's count, as the message shows it).
void deleteEntryCommand(Session& session);
// "Nuovo elenco files".
void newListCommand(Session& session);

// Keeps some of the window's controls disabled while a command that reads them runs, so that
// what it read cannot be edited half-way; each gets back the state it had.
class ControlsLock {
 public:
  explicit ControlsLock(std::initializer_list<Control*> controls);
  ~ControlsLock() { release(); }
  ControlsLock(const ControlsLock&) = delete;
  ControlsLock& operator=(const ControlsLock&) = delete;
  void release();

 private:
  std::vector<std::pair<Control*, bool>> controls_;
};

}  // namespace vortena
