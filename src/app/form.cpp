#include "app/form.h"

#include <string_view>

namespace vortena {

Form bindForm(const std::vector<std::unique_ptr<Control>>& controls) {
  auto find = [&controls](std::string_view name) -> Control* {
    for (const auto& control : controls)
      if (control->name() == name) return control.get();
    return nullptr;
  };
  auto text = [&](std::string_view n) { return dynamic_cast<TextBox*>(find(n)); };
  auto button = [&](std::string_view n) { return dynamic_cast<Button*>(find(n)); };
  Form form;
  form.searchFolderBox = text("txtPATH_RICERCA");
  form.extensionBox = text("txtESTENSIONE");
  form.pagePathBox = text("txtNOME_FILE_HTM");
  form.mediaListBox = dynamic_cast<ListBox*>(find("List1"));
  form.loadByExtensionButton = button("cmdCONFERMA");
  form.buildPageButton = button("Command1");
  form.endButton = button("cmdFINE");
  form.foundCountBox = text("txtNUM_FILE");
  form.newListButton = button("Command2");
  form.browseButton = button("Command3");
  form.loadAllKnownButton = button("cmdCONFERMA_Tutti");
  form.deleteEntryButton = button("cmdCANC_FILE");
  form.insertFileButton = button("cmdIns_File");
  form.buildPagedButton = button("Command4");
  form.entriesPerFolderBox = text("txtMAX_N_FILES");
  form.imagesPerRowBox = text("txtMAX_PER_RIGA");
  form.noBackgroundCheck = dynamic_cast<CheckBox*>(find("Check1"));
  form.viewButton = button("Command5");
  form.noTitleCheck = dynamic_cast<CheckBox*>(find("Check2"));
  form.upperCaseOption = dynamic_cast<OptionButton*>(find("Option1"));
  form.lowerCaseOption = dynamic_cast<OptionButton*>(find("Option2"));
  return form;
}

}  // namespace vortena
