// The user at the console, for the two commands: the window's messages go to standard error,
// one line each; the questions are answered as the options say; progress is a bar on a
// terminal, a line every few seconds otherwise.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/services.h"
#include "ui/headless/command_line.h"

namespace vortena {

class ConsoleUser : public Ui, public FileDialog, public Launcher {
 public:
  ConsoleUser(std::ostream& err, const CommandLineSetup& setup, bool yes, bool open)
      : err_(err),
        screenWidth_(setup.options.screenWidth),
        terminal_(setup.terminal),
        yes_(yes),
        open_(open) {}

  void setOpener(std::unique_ptr<Launcher> opener) { opener_ = std::move(opener); }
  bool reported() const { return reported_; }

  void beep() override {}
  void message(const std::string& text) override {
    say(oneLine(text));
    reported_ = true;
  }
  // The view question takes --open, any other --yes. A question answered no stops the work it
  // guards, so it is reported.
  bool question(const std::string& text) override {
    if (text.starts_with(kViewQuestionStart)) return open_;
    if (!yes_) {
      say(oneLine(text) + " -> no");
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
      line += (i > 0 ? "; " : "") + items[i].path + " (" + reasonText(items[i].why) + ")";
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
  bool reported_ = false;
  bool started_ = false;
  bool barShown_ = false;
  std::chrono::steady_clock::time_point start_, shown_;
};

}  // namespace vortena
