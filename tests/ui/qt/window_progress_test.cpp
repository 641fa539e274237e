// Progress in the window: a scan shows its count in the window title, and the title comes back
// when the scan ends; the layout of the controls is left as it is.
#include <gtest/gtest.h>

#include <QEvent>
#include <QLineEdit>

#include "gui_support.h"

namespace vortena::testing {
namespace {

// Records every title the window takes.
class TitleRecorder : public QObject {
 public:
  explicit TitleRecorder(QWidget* window) : window_(window) { window->installEventFilter(this); }
  QStringList titles;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::WindowTitleChange)
      titles << window_->windowTitle();
    return false;
  }

 private:
  QWidget* window_;
};

TEST(WindowProgress, ScanCountsInTheTitleAndGivesItBack) {
  TempFolder c;
  writeFile(c.path() / "foto" / "a.jpg", "a");
  writeFile(c.path() / "foto" / "sub" / "b.gif", "b");
  WindowsFileSystem fs(driveTableWithC(c.path()));
  // The window's own user services, which show the progress.
  QtMainWindow window(fs, fs.toDriveForm(VORTENA_RESOURCES_DIR));
  const QString caption = window.windowTitle();
  QList<QRect> layout;
  for (QWidget* child : window.findChildren<QWidget*>()) layout << child->geometry();

  TitleRecorder recorder(&window);
  window.findChild<QLineEdit*>(QStringLiteral("txtPATH_RICERCA"))->setText("C:\\foto");
  ASSERT_TRUE(window.handlers().click("cmdCONFERMA_Tutti"));

  EXPECT_EQ(recorder.titles,
            QStringList({"1 found - " + caption, "2 found - " + caption, caption}));
  EXPECT_EQ(window.windowTitle(), caption);
  QList<QRect> after;
  for (QWidget* child : window.findChildren<QWidget*>()) after << child->geometry();
  EXPECT_EQ(after, layout);
}

TEST(WindowProgress, BuildShowsDoneOfTotal) {
  QWidget window;
  window.setWindowTitle(QStringLiteral("T"));
  QtUi ui(&window);
  ui.progress(3, 10);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("3/10 - T"));
  ui.setPointer(Pointer::Hourglass);  // a build's passes change the pointer while it runs
  ui.progress(4, 10);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("4/10 - T"));
  ui.setPointer(Pointer::Default);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("T"));
}

}  // namespace
}  // namespace vortena::testing
