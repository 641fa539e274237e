#include "medialist/list_commands.h"

#include <string>

#include "medialist/folder_browse.h"
#include "platform/text.h"

namespace vortena {
namespace {

// Above this many entries the grid is proposed several images wide.
constexpr int kEntriesForOneImagePerRow = 54;
constexpr int kNarrowScreenPixels = 800;

// Shows the number of entries in the counter box and returns it as read back from the box.
double refreshCounter(Form& form) {
  form.txtNUM_FILE->setText(std::to_string(form.List1->count()));
  return numericValue(form.txtNUM_FILE->text());
}

// Disables the two load buttons and shows the wait pointer while a load runs; both come back
// when the load ends, however it ends.
class LoadInProgress {
 public:
  explicit LoadInProgress(Album& album) : album_(album) {
    album_.sys.ui->setPointer(Pointer::Hourglass);
    setLoadButtons(false);
  }
  ~LoadInProgress() {
    if (finished_) return;
    setLoadButtons(true);
    album_.sys.ui->setPointer(Pointer::Default);
  }
  LoadInProgress(const LoadInProgress&) = delete;
  LoadInProgress& operator=(const LoadInProgress&) = delete;

  // The normal end of a load: a beep, the load buttons back, the default pointer.
  void finish() {
    album_.sys.ui->beep();
    setLoadButtons(true);
    album_.sys.ui->setPointer(Pointer::Default);
    finished_ = true;
  }

 private:
  void setLoadButtons(bool enabled) {
    album_.form.cmdCONFERMA->setEnabled(enabled);
    album_.form.cmdCONFERMA_Tutti->setEnabled(enabled);
  }

  Album& album_;
  bool finished_ = false;
};

}  // namespace

void cmdCONFERMA_Click(Album& album, FolderScan& scan) {
  Form& form = album.form;
  Ui& ui = *album.sys.ui;
  if (form.txtESTENSIONE->text().find('.') != std::string::npos) {
    ui.beep();
    ui.message("Indicare solo l'estensione dei files da cercare !!!");
    return;
  }
  LoadInProgress load(album);

  std::string start = trim(form.txtPATH_RICERCA->text());
  if (start.empty()) start = "c:\\";
  // A typed pattern such as C:\VORTENA\*.* is cut back to its folder.
  while (start.substr(start.size() < 3 ? 0 : start.size() - 3).find('*') != std::string::npos)
    start.pop_back();
  scan.Legge_Dir(album, start, 16);

  double count = refreshCounter(form);
  if (count > 0) {
    form.Command1->setEnabled(true);
    form.Command4->setEnabled(true);
  }
  if (count > kEntriesForOneImagePerRow)
    form.txtMAX_PER_RIGA->setText(ui.screenWidth() < kNarrowScreenPixels ? "4" : "5");
  else
    form.txtMAX_PER_RIGA->setText("1");
  load.finish();
}

void cmdCONFERMA_Tutti_Click(Album& album, FolderScan& scan) {
  album.form.txtESTENSIONE->setText("*");
  cmdCONFERMA_Click(album, scan);
}

void cmdIns_File_Click(Album& album) {
  Form& form = album.form;
  album.sys.ui->beep();
  std::string chosen = runDialogSequence(album, folderPart(form.txtPATH_RICERCA->text()));
  if (chosen.empty()) return;
  form.List1->addItem(chosen);
  if (refreshCounter(form) > 0) {
    form.Command1->setEnabled(true);
    form.Command4->setEnabled(true);
    form.Command5->setEnabled(true);
  }
}

void cmdCANC_FILE_Click(Album& album) {
  ListBox& list = *album.form.List1;
  Ui& ui = *album.sys.ui;
  album.job.N_Files = list.count();
  int selected = list.selectedIndex();
  if (selected < 0 || selected >= list.count()) {
    ui.beep();
    ui.message("SELEZIONARE UN FILE IN ELENCO tra i possibili " +
               std::to_string(album.job.N_Files) + " files !!!");
    return;
  }
  if (ui.question("Confermi la cancellazione di " + list.item(selected) +
                  " dal solo elenco (S/N) "))
    list.removeItem(selected);
}

void Command2_Click(Album& album) { album.form.List1->clear(); }

}  // namespace vortena
