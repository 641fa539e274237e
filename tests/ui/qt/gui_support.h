// What the window tests share: a user that answers from a queue and records what the window
// showed, and a Qt main window over a temporary drive C: with the project's program folder.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <deque>
#include <string>
#include <vector>

#include "support/album_fixture.h"
#include "ui/qt/qt_main_window.h"

namespace vortena::testing {

// A click and typing as the user does them.
inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
inline void setText(QLineEdit* edit, const QString& text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

class RecordingUi : public Ui {
 public:
  explicit RecordingUi(int screenWidth = 1024) : screenWidth_(screenWidth) {}

  void beep() override { events.push_back("beep"); }
  void message(const std::string& text) override { events.push_back("message " + text); }
  bool question(const std::string& text) override {
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    events.push_back("question " + text + (yes ? " -> yes" : " -> no"));
    return yes;
  }
  void setPointer(Pointer pointer) override {
    events.push_back(pointer == Pointer::Hourglass ? "pointer hourglass" : "pointer default");
  }
  void processEvents() override { QCoreApplication::processEvents(); }
  int screenWidth() const override { return screenWidth_; }
  void endProgram() override { events.push_back("end"); }

  std::deque<bool> answers;  // a question with nothing queued is answered no
  std::vector<std::string> events;

 private:
  int screenWidth_;
};

// Drive C: is a fresh temporary folder and the current folder is C:\.
inline DriveTable driveTableWithC(const std::filesystem::path& c) {
  DriveTable drives = DriveTable::defaults();
  drives.set('C', c.string());
  return drives;
}

// The Qt main window over a temporary drive C:, with a recording user.
struct WindowFixture {
  explicit WindowFixture(int screenWidth = 1024)
      : fs(driveTableWithC(driveC.path())),
        ui(screenWidth),
        window(fs, fs.toDriveForm(VORTENA_RESOURCES_DIR), ServiceOverrides{&ui}) {
    EXPECT_TRUE(window.folders().changeDrive('C').ok());
    EXPECT_TRUE(window.folders().changeFolder("C:\\").ok());
  }

  template <typename Widget = QWidget>
  Widget* widget(const char* name) {
    return window.findChild<Widget*>(QString::fromLatin1(name));
  }

  TempFolder driveC;
  WindowsFileSystem fs;
  RecordingUi ui;
  QtMainWindow window;
};

}  // namespace vortena::testing
