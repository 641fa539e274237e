// What the program asks of the face its user sees: the window's events, messages and
// questions, the pointer and progress (Ui), and the opener of pages (Launcher). The Qt window,
// the headless script runner and the command line each implement them.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace vortena {

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
  // The length of the folder part of `path` (with its last backslash) where the name itself
  // holds a backslash; the whole path otherwise.
  size_t folderLength = std::string::npos;
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

// A page to open in the browser: the page, and the command line that would open it in a
// Windows shell ("START /max /w index.htm", "CMD /C ..."), which the headless face writes in
// its transcript. A relative page is relative to the current folder of its drive.
struct PageLaunch {
  std::string page;
  std::string commandLine;
};

// Tells a failure that nothing expected, caught at `where` (a command, a page pass): one
// message ("Errore imprevisto: " and what the failure says) and a line on standard error. It
// never throws: a message that cannot be shown leaves the line alone.
void tellUnexpected(Ui& ui, std::string_view where, std::exception_ptr failure) noexcept;

// Opens pages in the desktop's browser, without waiting.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // False when the page could not be opened (no opener could be started).
  virtual bool open(const PageLaunch& launch) = 0;
};

}  // namespace vortena
