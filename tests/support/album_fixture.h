// A headless main window over a temporary folder mapped as drive C:, for tests that drive the
// handlers the way the script runner does and read back the transcript and the files.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "fs/windows/drive_folders.h"
#include "fs/windows/windows_fs.h"
#include "ui/headless/headless.h"

namespace vortena::testing {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Names in a host folder, hidden ones included, in byte order.
std::vector<std::string> hostNames(const std::filesystem::path& folder);
// Whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// Lines of a text, split at CR LF (the last line without a CR LF kept as it is).
std::vector<std::string> crlfLines(const std::string& text);

// Every regular file below `root`, by its path relative to it, with its bytes.
std::map<std::string, std::string> filesBelow(const std::filesystem::path& root);

// The scripted user, with a hook run whenever a command lets the window process its events.
class EventHookUi : public Ui {
 public:
  explicit EventHookUi(ScriptedUser& user) : user_(user) {}
  std::function<void()> onEvents;

  void beep() override { user_.beep(); }
  void message(const std::string& text) override { user_.message(text); }
  bool question(const std::string& text) override { return user_.question(text); }
  void setPointer(Pointer pointer) override { user_.setPointer(pointer); }
  void processEvents() override {
    if (onEvents) std::exchange(onEvents, nullptr)();  // once
  }
  int screenWidth() const override { return user_.screenWidth(); }
  void endProgram() override { user_.endProgram(); }

 private:
  ScriptedUser& user_;
};

class AlbumFixture {
 public:
  // Drive C: is `drive` (a fresh temporary folder by default); the program folder is
  // `programFolder` (the project's resources by default) mapped as drive P:.
  AlbumFixture();
  explicit AlbumFixture(const std::filesystem::path& programFolder);
  // The same on a screen `screenWidth` pixels wide (1024 otherwise).
  AlbumFixture(const std::filesystem::path& programFolder, int screenWidth);

  const std::filesystem::path& driveC() const { return driveC_.path(); }
  WindowsFileSystem& fs() { return fs_; }
  // The window's current drive and folders, and the disk as its handlers see it.
  DriveFolders& folders() { return folders_; }
  FolderRelativeFileSystem& relativeFs() { return files_; }
  ScriptedUser& user() { return user_; }
  PlainForm& form() { return form_; }
  MainWindow& window() { return window_; }
  Session& session() { return window_.session(); }
  // The transcript written so far, and the same emptied.
  std::string transcript() const { return transcript_.str(); }
  std::string takeTranscript();

 private:
  TempFolder driveC_;
  std::ostringstream transcript_;
  WindowsFileSystem fs_;
  DriveFolders folders_;
  FolderRelativeFileSystem files_;
  ScriptedUser user_;
  PlainForm form_;
  MainWindow window_;
};

}  // namespace vortena::testing
