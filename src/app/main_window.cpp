#include "app/main_window.h"

#include <utility>

#include "album/builds.h"
#include "fs/file_system.h"
#include "album/page_launch.h"
#include "medialist/folder_browse.h"
#include "medialist/list_commands.h"

namespace vortena {
namespace {

// The buttons and their click handlers. The check boxes and option buttons have no click
// action of their own.
struct Command {
  std::string_view name;
  Button* Form::*button;
  void (*run)(Album&, FolderScan&);
};

const Command kCommands[] = {
    {"cmdCONFERMA", &Form::cmdCONFERMA,
     [](Album& a, FolderScan& s) { cmdCONFERMA_Click(a.form, a.sys, s); }},
    {"Command1", &Form::Command1, [](Album& a, FolderScan&) { Command1_Click(a); }},
    {"cmdFINE", &Form::cmdFINE, [](Album& a, FolderScan&) { a.sys.ui->endProgram(); }},
    {"Command2", &Form::Command2, [](Album& a, FolderScan&) { Command2_Click(*a.form.List1); }},
    {"Command3", &Form::Command3,
     [](Album& a, FolderScan&) { Sfoglia_Cartella(a.form, a.sys, a.job); }},
    {"cmdCONFERMA_Tutti", &Form::cmdCONFERMA_Tutti,
     [](Album& a, FolderScan& s) { cmdCONFERMA_Tutti_Click(a.form, a.sys, s); }},
    {"cmdCANC_FILE", &Form::cmdCANC_FILE,
     [](Album& a, FolderScan&) { cmdCANC_FILE_Click(*a.form.List1, *a.sys.ui, a.job); }},
    {"cmdIns_File", &Form::cmdIns_File,
     [](Album& a, FolderScan&) { cmdIns_File_Click(a.form, a.sys, a.job); }},
    {"Command4", &Form::Command4, [](Album& a, FolderScan&) { Command4_Click(a); }},
    {"Command5", &Form::Command5, [](Album& a, FolderScan&) { Command5_Click(a); }},
};

}  // namespace

void makeDefaultFolder(FileSystem& fs) {
  DirEntry found;
  if (fs.fileIdentity(kDefaultFolder, found).ok()) return;  // there already, in any spelling
  ignoreFailure(fs.makeFolder(kDefaultFolder),
                "without it (no drive C:, a read-only home) the page goes to the write recovery");
}

MainWindow::MainWindow(Form form, Services services) {
  album_.form = form;
  album_.sys = std::move(services);
}

void MainWindow::load() {
  makeDefaultFolder(*album_.sys.fs);
  Form& f = album_.form;
  f.txtMAX_PER_RIGA->setText(album_.sys.ui->screenWidth() < 800 ? "4" : "5");
  f.txtMAX_N_FILES->setText("9");
  f.Command1->setEnabled(false);
  f.Command4->setEnabled(false);
  f.Command5->setEnabled(false);
}

bool MainWindow::click(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    if (!(album_.form.*command.button)->enabled()) return false;
    // The end button acts at once, also in the middle of another command: the files being
    // written are only replaced when whole, so ending leaves the earlier ones intact.
    if (busy_ && command.button != &Form::cmdFINE) return true;
    const bool wasBusy = std::exchange(busy_, true);
    try {
      command.run(album_, scan_);
    } catch (...) {
      // No runtime failure ends the program: the command simply stops here.
      album_.sys.ui->setPointer(Pointer::Default);
    }
    busy_ = wasBusy;
    return true;
  }
  return false;
}

}  // namespace vortena
