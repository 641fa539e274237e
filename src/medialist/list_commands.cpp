#include "medialist/list_commands.h"

#include <string>

#include "core/text.h"
#include "medialist/folder_browse.h"

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
  LoadInProgress(Form& form, Ui& ui) : form_(form), ui_(ui) {
    ui_.setPointer(Pointer::Hourglass);
    setLoadButtons(false);
  }
  ~LoadInProgress() {
    if (finished_) return;
    setLoadButtons(true);
    ui_.setPointer(Pointer::Default);
  }
  LoadInProgress(const LoadInProgress&) = delete;
  LoadInProgress& operator=(const LoadInProgress&) = delete;

  // The normal end of a load: a beep, the load buttons back, the default pointer.
  void finish() {
    ui_.beep();
    setLoadButtons(true);
    ui_.setPointer(Pointer::Default);
    finished_ = true;
  }

 private:
  void setLoadButtons(bool enabled) {
    form_.cmdCONFERMA->setEnabled(enabled);
    form_.cmdCONFERMA_Tutti->setEnabled(enabled);
  }

  Form& form_;
  Ui& ui_;
  bool finished_ = false;
};

}  // namespace

void cmdCONFERMA_Click(Form& form, const Services& sys, FolderScan& scan) {
  Ui& ui = *sys.ui;
  if (form.txtESTENSIONE->text().find('.') != std::string::npos) {
    ui.beep();
    ui.message("Indicare solo l'estensione dei files da cercare !!!");
    return;
  }
  LoadInProgress load(form, ui);

  std::string start = trim(form.txtPATH_RICERCA->text());
  if (start.empty()) start = "c:\\";
  // A typed pattern such as C:\VORTENA\*.* is cut back to its folder.
  while (start.substr(start.size() < 3 ? 0 : start.size() - 3).find('*') != std::string::npos)
    start.pop_back();
  scan.Legge_Dir({*sys.fs, ui, *form.List1, *form.txtESTENSIONE, sys.programFolder}, start, 16);

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
  // Once the load has ended: what it could not list, in one go.
  if (!scan.leftOut().empty()) ui.tellLeftOut(scan.leftOut());
}

void cmdCONFERMA_Tutti_Click(Form& form, const Services& sys, FolderScan& scan) {
  form.txtESTENSIONE->setText("*");
  cmdCONFERMA_Click(form, sys, scan);
}

void cmdIns_File_Click(Form& form, const Services& sys, JobState& job) {
  sys.ui->beep();
  std::string chosen = runDialogSequence(sys, job, folderPart(form.txtPATH_RICERCA->text()));
  if (chosen.empty()) return;
  form.List1->addItem(chosen);
  if (refreshCounter(form) > 0) {
    form.Command1->setEnabled(true);
    form.Command4->setEnabled(true);
    form.Command5->setEnabled(true);
  }
}

void cmdCANC_FILE_Click(ListBox& list, Ui& ui, JobState& job) {
  job.N_Files = list.count();
  int selected = list.selectedIndex();
  if (selected < 0 || selected >= list.count()) {
    ui.beep();
    ui.message("SELEZIONARE UN FILE IN ELENCO tra i possibili " + std::to_string(job.N_Files) +
               " files !!!");
    return;
  }
  if (ui.question("Confermi la cancellazione di " + list.item(selected) +
                  " dal solo elenco (S/N) "))
    list.removeItem(selected);
}

void Command2_Click(ListBox& list) { list.clear(); }

}  // namespace vortena
