// The user at the console, for the two commands: the window's messages go to standard error,
// one line each; the questions are answered as the options say; progress is a bar on a
// terminal, a line every few seconds otherwise.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "album/builds.h"
#include "app/services.h"
#include "fs/windows/drive_table.h"
#include "ui/headless/command_line.h"

namespace vortena {

// The text with every drive path in it ("C:\\foto\\a.jpg", a drive of `drives`, its letter
// in either case) told as the host path it stands for ("/home/me/foto/a.jpg"): the drive's
// host folder, then the rest of the path with "/" for "\\". A path runs to the end of its line
// (a line break or the end of the text), so that names with blanks stay whole; what follows it
// there holds no backslash in the program's messages.
std::string hostPathsIn(const std::string& text, const DriveTable& drives);

class ConsoleUser : public Ui, public FileDialog, public Launcher {
 public:
  ConsoleUser(std::ostream& err, const CommandLineSetup& setup, bool yes, bool open)
      : err_(err),
        screenWidth_(setup.options.screenWidth),
        terminal_(setup.terminal),
        yes_(yes),
        open_(open) {}

  void setOpener(std::unique_ptr<Launcher> opener) { opener_ = std::move(opener); }
  // The user gave host paths: what is told names host paths, as the drives map them.
  void tellHostPaths(const DriveTable& drives) { hostPaths_ = &drives; }
  bool reported() const { return reported_; }

  void beep() override {}
  void message(const std::string& text) override {
    say(shown(oneLine(text)));
    reported_ = true;
  }
  // The view question takes --open, any other --yes. A question answered no stops the work it
  // guards, so it is reported.
  bool question(const std::string& text) override {
    if (text.starts_with(kViewQuestionStart)) return open_;
    if (!yes_) {
      say(shown(oneLine(text)) + " -> no");
      reported_ = true;
    }
    return yes_;
  }
  // What the scan left out is a warning, not a failure: the list is printed and the build
  // goes on. One line: the count and the first few with their reasons.
  void tellLeftOut(const std::vector<LeftOut>& items) override {
    constexpr size_t kShown = 3;
    std::string line = "warning: " + std::to_string(items.size()) +
                       (items.size() == 1 ? " file or folder" : " files or folders") +
                       " left out of the list: ";
    for (size_t i = 0; i < items.size() && i < kShown; ++i)
      line += (i > 0 ? "; " : "") + shownPath(items[i]) + " (" + reasonText(items[i].why) + ")";
    if (items.size() > kShown) line += "; and " + std::to_string(items.size() - kShown) + " more";
    say(oneLine(line));
  }
  void setPointer(Pointer pointer) override {
    if (pointer == Pointer::Default) clearBar();
  }
  void processEvents() override {}
  int screenWidth() const override { return screenWidth_; }
  void endProgram() override {}
  void progress(long done, long total) override {
    const auto now = std::chrono::steady_clock::now();
    if (!started_) {
      started_ = true;
      start_ = now;
      shown_ = now;
    }
    const double sinceShown = std::chrono::duration<double>(now - shown_).count();
    if (sinceShown < (terminal_ ? 0.1 : 5.0)) return;
    shown_ = now;
    const std::string line =
        progressLine(done, total, std::chrono::duration<double>(now - start_).count());
    if (terminal_) {
      err_ << "\r" << line << "\x1b[K" << std::flush;
      barShown_ = true;
    } else {
      err_ << "vortena: " << line << "\n" << std::flush;
    }
  }

  // The build never opens a file dialog.
  std::string choose(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  // A page that cannot be opened is told by the build, once.
  bool open(const PageLaunch& launch) override { return opener_ && opener_->open(launch); }

  // The progress of one command ends; the next starts its clock afresh.
  void endWork() {
    clearBar();
    started_ = false;
  }

 private:
  static std::string reasonText(LeftOut::Why why) {
    switch (why) {
      case LeftOut::Why::PathTooLong:
        return "path too long";
      case LeftOut::Why::TooDeep:
        return "deeper than " + std::to_string(kDeepestScanLevel) + " folder levels";
      case LeftOut::Why::Unreadable:
        return "folder cannot be read";
      case LeftOut::Why::UnusableName:
        return "name holds a backslash";
    }
    return {};
  }
  // A text as the user hears it: with host paths when the user gave them.
  std::string shown(const std::string& text) const {
    return hostPaths_ ? hostPathsIn(text, *hostPaths_) : text;
  }
  // The path of what was left out as the user hears it; a name holding a backslash is kept
  // whole.
  std::string shownPath(const LeftOut& item) const {
    if (item.folderLength >= item.path.size()) return shown(item.path);
    return shown(item.path.substr(0, item.folderLength)) + item.path.substr(item.folderLength);
  }
  static std::string oneLine(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (!line.empty() && line.back() != ' ') line += ' ';
      } else {
        line += text[i];
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
  }
  void say(const std::string& line) {
    clearBar();
    err_ << "vortena: " << line << "\n" << std::flush;
  }
  void clearBar() {
    if (!barShown_) return;
    err_ << "\r\x1b[K" << std::flush;
    barShown_ = false;
  }

  std::ostream& err_;
  int screenWidth_;
  bool terminal_;
  bool yes_;
  bool open_;
  std::unique_ptr<Launcher> opener_;
  const DriveTable* hostPaths_ = nullptr;
  bool reported_ = false;
  bool started_ = false;
  bool barShown_ = false;
  std::chrono::steady_clock::time_point start_, shown_;
};

}  // namespace vortena
