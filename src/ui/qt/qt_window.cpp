#include "ui/qt/qt_window.h"

#include <QApplication>

#include "ui/qt/qt_main_window.h"

namespace vortena {

int runWindow(int argc, char** argv, const WindowOptions& options) {
  QApplication application(argc, argv);
  WindowsFileSystem fs(options.drives);
  QtMainWindow window(fs, fs.toDriveForm(options.programFolder));
  QApplication::setWindowIcon(window.windowIcon());
  window.show();
  // The program lives as long as its window: closing it ends the event loop.
  return QApplication::exec();
}

}  // namespace vortena
