// The main window's controls as the commands name them.
#pragma once

#include <memory>
#include <vector>

#include "core/controls.h"

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

// The Form over a window's controls, each found by its name (the Qt window and the headless
// runner keep their controls in focus order in such a vector).
Form bindForm(const std::vector<std::unique_ptr<Control>>& controls);

}  // namespace vortena
