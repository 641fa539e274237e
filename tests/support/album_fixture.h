// A headless main window over a temporary folder mapped as drive C:, for tests that drive the
// handlers the way the script runner does and read back the transcript and the files.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "fs/windows_fs.h"
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
  ScriptedUser& user() { return user_; }
  PlainForm& form() { return form_; }
  MainWindow& window() { return window_; }
  Album& album() { return window_.album(); }
  // The transcript written so far, and the same emptied.
  std::string transcript() const { return transcript_.str(); }
  std::string takeTranscript();

 private:
  TempFolder driveC_;
  std::ostringstream transcript_;
  WindowsFileSystem fs_;
  ScriptedUser user_;
  PlainForm form_;
  MainWindow window_;
};

}  // namespace vortena::testing
