// The main window's controls as the commands name them.
#pragma once

#include <memory>
#include <vector>

#include "app/controls.h"

namespace vortena {

// The main window's controls that the commands read and change (the window owns them).
struct Form {
  TextBox* searchFolderBox = nullptr;
  TextBox* extensionBox = nullptr;
  TextBox* pagePathBox = nullptr;
  ListBox* mediaListBox = nullptr;
  Button* loadByExtensionButton = nullptr;
  Button* buildPageButton = nullptr;
  Button* endButton = nullptr;
  TextBox* foundCountBox = nullptr;
  Button* newListButton = nullptr;
  Button* browseButton = nullptr;
  Button* loadAllKnownButton = nullptr;
  Button* deleteEntryButton = nullptr;
  Button* insertFileButton = nullptr;
  Button* buildPagedButton = nullptr;
  TextBox* entriesPerFolderBox = nullptr;
  TextBox* imagesPerRowBox = nullptr;
  CheckBox* noBackgroundCheck = nullptr;
  Button* viewButton = nullptr;
  CheckBox* noTitleCheck = nullptr;
  OptionButton* upperCaseOption = nullptr;
  OptionButton* lowerCaseOption = nullptr;
};

// The Form over a window's controls, each found by its name (the Qt window and the headless
// runner keep their controls in focus order in such a vector).
Form bindForm(const std::vector<std::unique_ptr<Control>>& controls);

}  // namespace vortena
