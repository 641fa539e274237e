// The album job state and the context every command works in: the main window's controls, the
// platform services and the shared fields that carry a build from the window to the page writer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/file_system.h"
#include "platform/services.h"

namespace vortena {

// The main window's controls that the commands read and change (the window owns them).
struct Form {
  TextBox* txtPATH_RICERCA = nullptr;
  TextBox* txtESTENSIONE = nullptr;
  TextBox* txtNOME_FILE_HTM = nullptr;
  ListBox* List1 = nullptr;
  Button* cmdCONFERMA = nullptr;
  Button* Command1 = nullptr;
  Button* cmdFINE = nullptr;
  TextBox* txtNUM_FILE = nullptr;
  Button* Command2 = nullptr;
  Button* Command3 = nullptr;
  Button* cmdCONFERMA_Tutti = nullptr;
  Button* cmdCANC_FILE = nullptr;
  Button* cmdIns_File = nullptr;
  Button* Command4 = nullptr;
  TextBox* txtMAX_N_FILES = nullptr;
  TextBox* txtMAX_PER_RIGA = nullptr;
  CheckBox* Check1 = nullptr;
  Button* Command5 = nullptr;
  CheckBox* Check2 = nullptr;
  OptionButton* Option1 = nullptr;
  OptionButton* Option2 = nullptr;
};

// What the program reaches outside itself.
struct Services {
  FileSystem* fs = nullptr;
  Ui* ui = nullptr;
  FileDialog* dialog = nullptr;
  Launcher* launcher = nullptr;
  // The program folder (templates and pictures) in drive form, without a trailing backslash.
  std::string programFolder;
};

// The shared fields of a build, created empty or zero at start and never reset as a whole.
struct JobState {
  std::string Dir_Album;    // output folder, ending with "\" or empty
  std::string Nome_Pagina;  // page name as typed, case applied
  std::string File_Pagina;  // page being generated (after a build: the last one)
  std::string Dir_Radice;   // root folder of the media, cut off the entry labels
  long N_Files = 0;
  std::vector<std::string> Pagine;  // names of the numbered pages; page n at index n - 1
  long Primo_File = 0;    // 1-based list positions of the page's range
  long Ultimo_File = 0;
  long N_Pag = 0;
  int Elenco_Confermato = 0;  // 1 once the user agreed to replace a page in this build
};

// How a page pass numbers its entry folders. A single-page build uses the defaults; a paged
// build runs the numbers on across its pages and gives every page name of the index of pages
// a folder (and so a button) of its own.
struct FolderNumbering {
  long firstFolder = 1;            // number of the pass's first entry folder
  bool folderPerEntry = false;     // every entry completes its folder at once
  long nextFolder = 1;             // set by the pass: the number after its last folder
};

struct Album {
  Form form;
  Services sys;
  JobState job;
  FolderNumbering folders;

  // The case option: "Maiuscole" selected means upper case.
  bool upperCase() const { return form.Option1->selected(); }
};

}  // namespace vortena

namespace vortena {

// The Form over a window's controls, each found by its name (the Qt window and the headless
// runner keep their controls in focus order in such a vector).
Form bindForm(const std::vector<std::unique_ptr<Control>>& controls);

}  // namespace vortena
