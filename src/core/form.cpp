#include "core/form.h"

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
  form.txtPATH_RICERCA = text("txtPATH_RICERCA");
  form.txtESTENSIONE = text("txtESTENSIONE");
  form.txtNOME_FILE_HTM = text("txtNOME_FILE_HTM");
  form.List1 = dynamic_cast<ListBox*>(find("List1"));
  form.cmdCONFERMA = button("cmdCONFERMA");
  form.Command1 = button("Command1");
  form.cmdFINE = button("cmdFINE");
  form.txtNUM_FILE = text("txtNUM_FILE");
  form.Command2 = button("Command2");
  form.Command3 = button("Command3");
  form.cmdCONFERMA_Tutti = button("cmdCONFERMA_Tutti");
  form.cmdCANC_FILE = button("cmdCANC_FILE");
  form.cmdIns_File = button("cmdIns_File");
  form.Command4 = button("Command4");
  form.txtMAX_N_FILES = text("txtMAX_N_FILES");
  form.txtMAX_PER_RIGA = text("txtMAX_PER_RIGA");
  form.Check1 = dynamic_cast<CheckBox*>(find("Check1"));
  form.Command5 = button("Command5");
  form.Check2 = dynamic_cast<CheckBox*>(find("Check2"));
  form.Option1 = dynamic_cast<OptionButton*>(find("Option1"));
  form.Option2 = dynamic_cast<OptionButton*>(find("Option2"));
  return form;
}

}  // namespace vortena
