// The main window as the program sees it: its controls (owned by the Qt window or the headless
// runner), the session the commands share, and one handler per button. No Qt type here.
#pragma once

#include <string_view>

#include "app/session.h"
#include "medialist/folder_scan.h"

namespace vortena {

// The folder of the default page path, made at start when it is missing, so that a first build
// with the default page path lands in it and not, through the write recovery, in the folder of
// drive C: itself.
inline constexpr const char* kDefaultFolder = "C:\\VORTENA";
void makeDefaultFolder(FileSystem& fs);

class MainWindow {
 public:
  MainWindow(Form form, Services services);

  // Load handler: the default folder made when missing, images per row from the screen width,
  // 9 entries per folder, the build and view buttons disabled.
  void load();

  // Runs the click handler of the named control when it is an enabled button; false when the
  // name is not a button or the button is disabled. A handler never lets a failure escape: an
  // unexpected one is told (a message, and a line on standard error) and the command ends.
  // One command runs at a time: a click that arrives while a scan or a build lets the window
  // process its events is ignored (true, nothing run), except the end button.
  bool click(std::string_view name);
  // Whether a command is running.
  bool busy() const { return busy_; }

  Session& session() { return session_; }
  const Session& session() const { return session_; }
  FolderScan& scan() { return scan_; }

 private:
  Session session_;
  FolderScan scan_;
  bool busy_ = false;
};

}  // namespace vortena
