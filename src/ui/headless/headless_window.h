// The main window without a display: the file system over a drive table, the plain controls
// and the handlers over them, with the user services of its face (the script runner's scripted
// user, the command line's console user).
#pragma once

#include <string>

#include "app/main_window.h"
#include "app/program_folder.h"
#include "fs/windows/drive_folders.h"
#include "fs/windows/windows_fs.h"
#include "ui/headless/headless.h"

namespace vortena {

struct RunnerOptions {
  DriveTable drives = DriveTable::defaults();
  std::string programFolder;  // host path of the program folder (templates and pictures)
  int screenWidth = 1024;
};

class HeadlessWindow {
 public:
  // The load handler has run when the constructor returns.
  HeadlessWindow(const RunnerOptions& options, Ui& ui, FileDialog& dialog, Launcher& launcher)
      : fs_(withProgramFolder(options.drives, options.programFolder)),
        folders_(fs_, fs_.drives()),
        files_(folders_),
        window_(form_.form(), Services{&files_, &folders_, &ui, &dialog, &launcher,
                                       programFolderDriveForm(fs_, options.programFolder)}) {
    window_.load();
  }
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  WindowsFileSystem& fs() { return fs_; }
  DriveFolders& folders() { return folders_; }
  const PlainForm& controls() const { return form_; }
  // The controls as the handlers name them.
  const Form& form() const { return form_.form(); }
  MainWindow& window() { return window_; }

 private:
  WindowsFileSystem fs_;
  DriveFolders folders_;            // the script's current drive and folders
  FolderRelativeFileSystem files_;  // the disk as the handlers see it
  PlainForm form_;
  MainWindow window_;
};

}  // namespace vortena
