// Draws the main window into a PNG without a display, with the media list of C:\foto loaded:
// the window's picture of the README. Built on request only (target vortena_window_shot).
// Usage: vortena_window_shot OUTPUT.png DRIVE_C_FOLDER PROGRAM_FOLDER
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

#include "fs/windows/windows_fs.h"
#include "ui/qt/qt_main_window.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: vortena_window_shot OUTPUT.png DRIVE_C_FOLDER PROGRAM_FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vortena::DriveTable drives = vortena::DriveTable::defaults();
  drives.set('C', argv[2]);
  vortena::WindowsFileSystem fs(drives);
  vortena::QtMainWindow window(fs, fs.toDriveForm(argv[3]));
  window.findChild<QLineEdit*>(QStringLiteral("txtPATH_RICERCA"))->setText("C:\\foto\\");
  window.findChild<QLineEdit*>(QStringLiteral("txtNOME_FILE_HTM"))->setText("C:\\foto\\index.htm");
  window.handlers().click("cmdCONFERMA_Tutti");
  window.show();
  QApplication::processEvents();
  return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
