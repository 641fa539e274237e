#include "ui/qt/qt_services.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "core/text.h"
#include "ui/qt/qt_controls.h"

namespace vortena {

QString messageText(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '\n') {
      // CR LF is one line break, written once below as the LF.
    } else {
      lines += '\n';
    }
  }
  return fromBytes(lines);
}

namespace {

int showBox(QWidget* parent, const std::string& text, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton) {
  QMessageBox box(QMessageBox::NoIcon, fromBytes("VORTENA"), messageText(text), buttons, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(defaultButton);
  return box.exec();
}

}  // namespace

void QtUi::beep() { QApplication::beep(); }

void QtUi::message(const std::string& text) {
  showBox(parent_, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtUi::question(const std::string& text) {
  return showBox(parent_, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

void QtUi::setPointer(Pointer pointer) {
  if (pointer == Pointer::Hourglass) {
    // Override cursors stack in Qt; the program's pointer does not, so one is kept at most.
    if (hourglass_)
      QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
      QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    hourglass_ = true;
  } else {
    if (hourglass_) QApplication::restoreOverrideCursor();
    hourglass_ = false;
    // The work has ended: the window gets its own title back.
    if (parent_ && titleSaved_) parent_->setWindowTitle(title_);
    titleSaved_ = false;
  }
}

void QtUi::progress(long done, long total) {
  if (!parent_) return;
  if (!titleSaved_) {
    title_ = parent_->windowTitle();
    titleSaved_ = true;
  }
  const QString count = total > 0 ? QStringLiteral("%1/%2").arg(done).arg(total)
                                  : QStringLiteral("%1 found").arg(done);
  parent_->setWindowTitle(count + QStringLiteral(" - ") + title_);
}

void QtUi::processEvents() {
  ++eventDepth_;
  QCoreApplication::processEvents();
  --eventDepth_;
}

int QtUi::screenWidth() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 1024;
}

void QtUi::endProgram() {
  if (eventDepth_ == 0) {
    QCoreApplication::exit(0);
    return;
  }
  // Pressed while a scan or a build lets the window process its events: leaving the event loop
  // would only take effect once that command had run to its end.
  std::fflush(nullptr);
  std::exit(0);
}

std::string QtFileDialog::choose(const std::string& title, const std::string& startFolder,
                                 const std::string& /*pattern: every file is shown*/) {
  const std::string full = folders_ ? folders_->fullPath(startFolder) : startFolder;
  QString start = fromBytes(fs_.toHostPath(full).value_or(std::string()));
  QString chosen = QFileDialog::getOpenFileName(parent_, fromBytes(title), start,
                                                QStringLiteral("*"), nullptr, options_);
  if (chosen.isEmpty()) return {};
  return fs_.toDriveForm(toBytes(chosen));
}

std::optional<std::string> QtLauncher::hostPage(const PageLaunch& launch) const {
  if (trim(launch.page).empty()) return std::nullopt;
  return fs_.toHostPath(folders_ ? folders_->fullPath(launch.page) : launch.page);
}

bool QtLauncher::open(const PageLaunch& launch) {
  std::optional<std::string> path = hostPage(launch);
  if (!path) return false;
  return QProcess::startDetached(opener_, {fromBytes(*path)});
}

}  // namespace vortena
