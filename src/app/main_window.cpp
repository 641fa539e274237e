#include "app/main_window.h"

#include <functional>
#include <map>
#include <string>

#include "build/builds.h"
#include "build/page_launch.h"
#include "medialist/folder_browse.h"
#include "medialist/list_commands.h"

namespace vortena {

MainWindow::MainWindow(Form form, Services services) {
  album_.form = form;
  album_.sys = std::move(services);
}

void MainWindow::load() {
  Form& f = album_.form;
  f.txtMAX_PER_RIGA->setText(album_.sys.ui->screenWidth() < 800 ? "4" : "5");
  f.txtMAX_N_FILES->setText("9");
  f.Command1->setEnabled(false);
  f.Command4->setEnabled(false);
  f.Command5->setEnabled(false);
}

bool MainWindow::click(std::string_view name) {
  using Handler = std::function<void()>;
  const std::map<std::string_view, Handler> handlers{
      {"cmdCONFERMA", [this] { cmdCONFERMA_Click(album_, scan_); }},
      {"Command1", [this] { Command1_Click(album_); }},
      {"cmdFINE", [this] { album_.sys.ui->endProgram(); }},
      {"Command2", [this] { Command2_Click(album_); }},
      {"Command3", [this] { Sfoglia_Cartella(album_); }},
      {"cmdCONFERMA_Tutti", [this] { cmdCONFERMA_Tutti_Click(album_, scan_); }},
      {"cmdCANC_FILE", [this] { cmdCANC_FILE_Click(album_); }},
      {"cmdIns_File", [this] { cmdIns_File_Click(album_); }},
      {"Command4", [this] { Command4_Click(album_); }},
      {"Command5", [this] { Command5_Click(album_); }},
      // The check boxes and option buttons have no click action of their own.
  };
  auto handler = handlers.find(name);
  if (handler == handlers.end()) return false;
  const Form& f = album_.form;
  for (Button* b : {f.cmdCONFERMA, f.Command1, f.cmdFINE, f.Command2, f.Command3,
                    f.cmdCONFERMA_Tutti, f.cmdCANC_FILE, f.cmdIns_File, f.Command4, f.Command5})
    if (b->name() == name && !b->enabled()) return false;
  try {
    handler->second();
  } catch (...) {
    // No runtime failure ends the program: the command simply stops here.
    album_.sys.ui->setPointer(Pointer::Default);
  }
  return true;
}

}  // namespace vortena
