// The user-facing services over Qt: beeps, message boxes and questions, the pointer, event
// processing, the file dialog and the launcher that opens a page with the desktop's opener.
#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "app/services.h"
#include "fs/windows/drive_folders.h"
#include "fs/windows/windows_fs.h"

class QWidget;

namespace vortena {

// The text of a message with its CR LF and lone CR turned into the line breaks Qt shows.
QString messageText(const std::string& text);

class QtUi : public Ui {
 public:
  // Message boxes are centred on `parent` when it is given.
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void beep() override;
  // "VORTENA" as title, no icon, OK only.
  void message(const std::string& text) override;
  // "VORTENA" as title, no icon, Yes and No; true for Yes.
  bool question(const std::string& text) override;
  void setPointer(Pointer pointer) override;
  void processEvents() override;
  int screenWidth() const override;
  // Leaves the event loop when called from it; called while a scan or build is processing
  // events, ends the process at once so that the interrupted command does not run on.
  void endProgram() override;
  // "done/total - TITLE" (or "done found - TITLE" in a scan) as the parent's window title,
  // until the pointer is set back to the default one at the end of the work.
  void progress(long done, long total) override;

 private:
  QWidget* parent_;
  int eventDepth_ = 0;  // processEvents calls in progress
  bool hourglass_ = false;
  QString title_;  // the parent's own title while a work shows its progress
  bool titleSaved_ = false;
};

class QtFileDialog : public FileDialog {
 public:
  // A start folder without its drive or root is taken from `folders`; without them it must be
  // a full drive path.
  explicit QtFileDialog(WindowsFileSystem& fs, QWidget* parent = nullptr,
                        QFileDialog::Options options = {}, const DriveFolders* folders = nullptr)
      : fs_(fs), parent_(parent), options_(options), folders_(folders) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  // Opens in the host folder of `startFolder` with every file shown (whatever `pattern` says);
  // returns the chosen file in drive form, or "" when cancelled.
  std::string choose(const std::string& title, const std::string& startFolder,
                     const std::string& pattern) override;

 private:
  WindowsFileSystem& fs_;
  QWidget* parent_;
  QFileDialog::Options options_;
  const DriveFolders* folders_;
};

// Opens a page with the desktop's opener, without a shell and without waiting.
class QtLauncher : public Launcher {
 public:
  // A page path without its drive or root is taken from `folders`; without them it must be a
  // full drive path (a command's own).
  explicit QtLauncher(WindowsFileSystem& fs, QString opener = QStringLiteral("xdg-open"),
                      const DriveFolders* folders = nullptr)
      : fs_(fs), opener_(std::move(opener)), folders_(folders) {}

  // Host path of the page, resolved like any path of the program (relative to the current
  // folder); nothing when its drive is not mapped or it names nothing.
  std::optional<std::string> hostPage(const PageLaunch& launch) const;
  // False when there is no page or the opener cannot be started.
  bool open(const PageLaunch& launch) override;

 private:
  WindowsFileSystem& fs_;
  QString opener_;
  const DriveFolders* folders_;
};

}  // namespace vortena
