// The services of the windowing toolkit, the file dialog and the program launcher, each behind
// a small interface: the Qt window and the headless script runner implement them.
#pragma once

#include <string>
#include <vector>

namespace vortena {

class FileSystem;  // fs/file_system.h, one layer up: only pointed to here

enum class Pointer { Default, Hourglass };

// The deepest folder level a scan lists: the start folder is level 0.
inline constexpr int kDeepestScanLevel = 50;

// A file or folder that a scan left out of the list, and why. What a scan leaves out on
// purpose (hidden names, what a build wrote, a second visit through a link loop) is not one.
struct LeftOut {
  enum class Why {
    PathTooLong,   // its host path passes the system's limit
    TooDeep,       // a folder below the deepest level: one for all it holds
    Unreadable,    // a folder whose listing failed: one for all it holds
    UnusableName,  // its name holds a backslash
  };
  std::string path;  // drive form
  Why why = Why::Unreadable;
};

// The window's message of what a scan left out: "Esclusi dall'elenco N file o cartelle:", then
// the first ten, a line each with its reason, then "... e altri M" for the rest; CR LF between
// the lines.
std::string leftOutMessage(const std::vector<LeftOut>& items);

class Ui {
 public:
  virtual ~Ui() = default;
  virtual void beep() = 0;
  // Modal message box with OK. CR and CR LF in the text are line breaks.
  virtual void message(const std::string& text) = 0;
  // Modal yes/no question; true for yes.
  virtual bool question(const std::string& text) = 0;
  // Screen-wide mouse pointer.
  virtual void setPointer(Pointer pointer) = 0;
  // Lets the window handle its pending events, then returns.
  virtual void processEvents() = 0;
  // Width of the screen in pixels.
  virtual int screenWidth() const = 0;
  // Ends the program at once (the end button).
  virtual void endProgram() = 0;
  // Work under way: `done` entries of `total` (total 0 when it is not known yet, as in a
  // scan). The work ends with the pointer set back to the default one.
  virtual void progress(long done, long total) {
    (void)done;
    (void)total;
  }
  // Tells, once after a scan, what it left out of the list (never called with nothing left
  // out): by default in one message box of leftOutMessage.
  virtual void tellLeftOut(const std::vector<LeftOut>& items) { message(leftOutMessage(items)); }
};

// The file chooser of the folder browse and the single-file insert.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // Shows the dialog modally; returns the chosen file's full path in drive form, or an empty
  // text when the user cancelled.
  virtual std::string choose(const std::string& title, const std::string& startFolder,
                             const std::string& pattern) = 0;
};

// Starts a command line ("START /max /w page.htm", "CMD /C page.htm") without waiting.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // False when the program could not be started.
  virtual bool start(const std::string& commandLine) = 0;
};

// What the program reaches outside itself.
struct Services {
  FileSystem* fs = nullptr;
  Ui* ui = nullptr;
  FileDialog* dialog = nullptr;
  Launcher* launcher = nullptr;
  // The program folder (templates and pictures) in drive form, without a trailing backslash.
  std::string programFolder;
};

}  // namespace vortena
