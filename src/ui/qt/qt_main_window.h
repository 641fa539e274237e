// The main window frmALBUM on screen: Qt widgets built from the control table, adapters that
// give them to the handlers, and the handlers' MainWindow wired to the buttons. Tests create it
// directly (no event loop needed) and find its widgets by their control names (objectName).
#pragma once

#include <QLineEdit>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/main_window.h"
#include "fs/windows/drive_folders.h"
#include "fs/windows/windows_fs.h"
#include "ui/qt/qt_services.h"

namespace vortena {

// Services that replace the window's own Qt ones, for instance a scripted user in tests;
// nullptr keeps the window's own.
struct ServiceOverrides {
  Ui* ui = nullptr;
  FileDialog* dialog = nullptr;
  Launcher* launcher = nullptr;
};

// Pixels of a length in twips at `dpi` logical dots per inch (15 twips a pixel at 96).
int twipsToPixels(int twips, double dpi);
QRect twipsToPixels(const TwipRect& rect, double dpi);

class QtMainWindow : public QWidget {
 public:
  // `programFolder` is the templates' folder in drive form. The load handler has run when the
  // constructor returns; the window is not shown yet.
  QtMainWindow(WindowsFileSystem& fs, std::string programFolder, ServiceOverrides overrides = {},
               QWidget* parent = nullptr);
  ~QtMainWindow() override;

  MainWindow& handlers() { return *window_; }
  DriveFolders& folders() { return folders_; }
  // The logical dots per inch the positions were scaled with.
  double dpi() const { return dpi_; }

 protected:
  // Closing the window ends the program as the end button does, also in the middle of a scan
  // or a build.
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* makeWidget(const ControlRow& spec);
  std::unique_ptr<Control> makeAdapter(const ControlRow& spec, QWidget* widget);
  // A Linux path typed or pasted into the box becomes its drive form.
  void keepDriveForm(QLineEdit* edit);

  WindowsFileSystem& fs_;
  DriveFolders folders_;            // the window's current drive and folders
  FolderRelativeFileSystem files_;  // the disk as the handlers see it
  double dpi_;
  QtUi ui_;
  QtFileDialog dialog_;
  QtLauncher launcher_;
  std::vector<std::unique_ptr<Control>> controls_;  // in focus order
  std::unique_ptr<MainWindow> window_;
};

}  // namespace vortena
