#include "app/main_window.h"

#include <exception>
#include <utility>

#include "app/build_commands.h"
#include "app/folder_browse.h"
#include "app/list_commands.h"

namespace vortena {
namespace {

// The buttons, by their control names, and their click handlers. The check boxes and option
// buttons have no click action of their own.
struct Command {
  std::string_view name;
  Button* Form::*button;
  void (*run)(Session&, FolderScan&);
};

const Command kCommands[] = {
    {"cmdCONFERMA", &Form::loadByExtensionButton,
     [](Session& s, FolderScan& scan) { loadByExtensionCommand(s, scan); }},
    {"Command1", &Form::buildPageButton, [](Session& s, FolderScan&) { buildSinglePageCommand(s); }},
    {"cmdFINE", &Form::endButton, [](Session& s, FolderScan&) { s.services.ui->endProgram(); }},
    {"Command2", &Form::newListButton, [](Session& s, FolderScan&) { newListCommand(s); }},
    {"Command3", &Form::browseButton, [](Session& s, FolderScan&) { browseForSearchFolder(s); }},
    {"cmdCONFERMA_Tutti", &Form::loadAllKnownButton,
     [](Session& s, FolderScan& scan) { loadAllKnownCommand(s, scan); }},
    {"cmdCANC_FILE", &Form::deleteEntryButton, [](Session& s, FolderScan&) { deleteEntryCommand(s); }},
    {"cmdIns_File", &Form::insertFileButton, [](Session& s, FolderScan&) { insertFileCommand(s); }},
    {"Command4", &Form::buildPagedButton, [](Session& s, FolderScan&) { buildPagedAlbumCommand(s); }},
    {"Command5", &Form::viewButton, [](Session& s, FolderScan&) { viewResultCommand(s); }},
};

}  // namespace

void makeDefaultFolder(FileSystem& fs) {
  if (fs.fileIdentity(kDefaultFolder).ok()) return;  // there already, in any spelling
  ignoreFailure(fs.makeFolder(kDefaultFolder),
                "without it (no drive C:, a read-only home) the page goes to the write recovery");
}

MainWindow::MainWindow(Form form, Services services) {
  session_.form = form;
  session_.services = std::move(services);
}

void MainWindow::load() {
  makeDefaultFolder(*session_.services.fs);
  Form& f = session_.form;
  f.imagesPerRowBox->setText(session_.services.ui->screenWidth() < 800 ? "4" : "5");
  f.entriesPerFolderBox->setText("9");
  f.buildPageButton->setEnabled(false);
  f.buildPagedButton->setEnabled(false);
  f.viewButton->setEnabled(false);
}

bool MainWindow::click(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    if (!(session_.form.*command.button)->enabled()) return false;
    // The end button acts at once, also in the middle of another command: the files being
    // written are only replaced when whole, so ending leaves the earlier ones intact.
    if (busy_ && command.button != &Form::endButton) return true;
    const bool wasBusy = std::exchange(busy_, true);
    try {
      command.run(session_, scan_);
    } catch (...) {
      tellUnexpected(*session_.services.ui, name, std::current_exception());
    }
    busy_ = wasBusy;
    return true;
  }
  return false;
}

}  // namespace vortena
