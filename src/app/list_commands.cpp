#include "app/list_commands.h"

#include <string>

#include "app/folder_browse.h"
#include "core/text.h"

namespace vortena {
namespace {

// Shows the number of entries in the counter box and returns it as read back from the box.
double refreshCounter(Form& form) {
  form.foundCountBox->setText(std::to_string(form.mediaListBox->count()));
  return numericValue(form.foundCountBox->text());
}

// The scan's results, appended to the window's list as they come.
class ListBoxResults : public ScanResults {
 public:
  explicit ListBoxResults(ListBox& list) : list_(list) {}
  void add(std::string entry) override { list_.addItem(std::move(entry)); }
  long count() const override { return list_.count(); }

 private:
  ListBox& list_;
};

// Disables the two load buttons and the boxes the load reads, and shows the wait pointer,
// while a load runs; all come back when the load ends, however it ends.
class LoadInProgress {
 public:
  LoadInProgress(Form& form, Ui& ui)
      : form_(form),
        ui_(ui),
        inputs_({form.searchFolderBox, form.extensionBox}) {
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
    inputs_.release();
    setLoadButtons(true);
    ui_.setPointer(Pointer::Default);
    finished_ = true;
  }

 private:
  void setLoadButtons(bool enabled) {
    form_.loadByExtensionButton->setEnabled(enabled);
    form_.loadAllKnownButton->setEnabled(enabled);
  }

  Form& form_;
  Ui& ui_;
  ControlsLock inputs_;
  bool finished_ = false;
};

}  // namespace

ControlsLock::ControlsLock(std::initializer_list<Control*> controls) {
  for (Control* control : controls) {
    controls_.emplace_back(control, control->enabled());
    control->setEnabled(false);
  }
}

void ControlsLock::release() {
  for (auto& [control, enabled] : controls_) control->setEnabled(enabled);
  controls_.clear();
}

void loadByExtensionCommand(Session& session, FolderScan& scan) {
  Form& form = session.form;
  Ui& ui = *session.services.ui;
  // The box holds one extension (a comma is part of it).
  const std::vector<std::string> extensions{form.extensionBox->text()};
  if (const auto refusal = refusedExtension(extensions)) {
    ui.beep();
    ui.message(*refusal);
    return;
  }
  // The folder and the extension are read once, as the load starts; their boxes cannot be
  // edited until it ends.
  const ScanSettings settings{scanStartFolder(form.searchFolderBox->text()), extensions};
  LoadInProgress load(form, ui);
  ListBoxResults results(*form.mediaListBox);
  const ScanServices services{*session.services.fs, ui, session.services.programFolder};
  scan.scanFolder(settings, services, results);

  const double count = refreshCounter(form);
  if (count > 0) {
    form.buildPageButton->setEnabled(true);
    form.buildPagedButton->setEnabled(true);
  }
  form.imagesPerRowBox->setText(
      std::to_string(proposedImagesPerRow(static_cast<long>(count), ui.screenWidth())));
  load.finish();
  // Once the load has ended: what it could not list, in one go.
  if (!scan.leftOut().empty()) ui.tellLeftOut(scan.leftOut());
}

void loadAllKnownCommand(Session& session, FolderScan& scan) {
  session.form.extensionBox->setText("*");
  loadByExtensionCommand(session, scan);
}

void insertFileCommand(Session& session) {
  Form& form = session.form;
  session.services.ui->beep();
  std::string chosen = runDialogSequence(session.services, session.job,
                                         folderPart(form.searchFolderBox->text()));
  if (chosen.empty()) return;
  form.mediaListBox->addItem(chosen);
  if (refreshCounter(form) > 0) {
    form.buildPageButton->setEnabled(true);
    form.buildPagedButton->setEnabled(true);
    form.viewButton->setEnabled(true);
  }
}

void deleteEntryCommand(Session& session) {
  ListBox& list = *session.form.mediaListBox;
  Ui& ui = *session.services.ui;
  session.job.entryCount = list.count();
  const int selected = list.selectedIndex();
  if (selected < 0 || selected >= list.count()) {
    ui.beep();
    ui.message("SELEZIONARE UN FILE IN ELENCO tra i possibili " +
               std::to_string(session.job.entryCount) + " files !!!");
    return;
  }
  if (ui.question("Confermi la cancellazione di " + list.item(selected) +
                  " dal solo elenco (S/N) "))
    list.removeItem(selected);
}

void newListCommand(Session& session) { session.form.mediaListBox->clear(); }

}  // namespace vortena
