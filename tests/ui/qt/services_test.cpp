// The Qt services: message boxes and questions, the pointer, the file dialog and the launcher.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>

#include "gui_support.h"
#include "support/test_names.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/qt_translations.h"

namespace vortena::testing {
namespace {

// Runs `inspect` on the modal dialog that `show` opens, as soon as it is up.
template <typename Dialog>
void whenModal(const std::function<void(Dialog*)>& inspect) {
  QTimer::singleShot(0, [inspect] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    inspect(dialog);
  });
}

struct MessageCase {
  std::string text;
  QString shown;
};

void PrintTo(const MessageCase& m, std::ostream* os) { *os << quotedText(m.text); }

class MessageTextTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTextTest, CarriageReturnsBecomeLineBreaks) {
  EXPECT_EQ(messageText(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    LineBreaks, MessageTextTest,
    ::testing::Values(MessageCase{"Errore ERR= 53\r\rCopia a b", "Errore ERR= 53\n\nCopia a b"},
                      MessageCase{"immagine x\r\nERR= 76", "immagine x\nERR= 76"},
                      MessageCase{"uno\r\n\r\ndue\r", "uno\n\ndue\n"},
                      MessageCase{"città senza a capo", QString::fromUtf8("città senza a capo")}),
    ReadableName());

TEST(QtUiTest, MessageBoxHasTheProgramTitleNoIconAndOk) {
  QtUi ui;
  bool seen = false;
  whenModal<QMessageBox>([&seen](QMessageBox* box) {
    seen = true;
    EXPECT_EQ(box->windowTitle(), "VORTENA");
    EXPECT_EQ(box->text(), "Nessun files da elaborare !!!\n\nriga");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->click();
  });
  ui.message("Nessun files da elaborare !!!\r\rriga");
  EXPECT_TRUE(seen);
}

// Qt draws its own texts in the window's language: the question's buttons, a message's OK and
// the file dialog's cancel speak Italian.
TEST(QtUiTest, QtsOwnTextsAreItalian) {
  ASSERT_TRUE(installItalianQtTexts(*QCoreApplication::instance()))
      << "Qt's translations are missing (qt6-translations-l10n)";
  QtUi ui;
  QStringList texts;
  whenModal<QMessageBox>([&texts](QMessageBox* box) {
    for (QAbstractButton* button : box->buttons()) texts << button->text().remove('&');
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(ui.question("Continuo (S/N)"));
  whenModal<QMessageBox>([&texts](QMessageBox* box) {
    texts << box->button(QMessageBox::Ok)->text().remove('&');
    box->button(QMessageBox::Ok)->click();
  });
  ui.message("Fatto");
  whenModal<QFileDialog>([&texts](QFileDialog* box) {
    for (QPushButton* button : box->findChildren<QPushButton*>()) texts << button->text();
    box->reject();
  });
  QFileDialog::getOpenFileName(nullptr, "Cerca", QDir::tempPath(), "*", nullptr,
                               QFileDialog::DontUseNativeDialog);
  texts.sort();
  EXPECT_TRUE(texts.contains(QString::fromUtf8("Sì")) && texts.contains("No") &&
              texts.contains("OK") && texts.contains("Annulla"))
      << texts.join(" | ").toStdString();
}

class QuestionTest : public ::testing::TestWithParam<bool> {};

TEST_P(QuestionTest, QuestionOffersYesAndNoAndReturnsTheAnswer) {
  QtUi ui;
  const bool yes = GetParam();
  whenModal<QMessageBox>([yes](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "VORTENA");
    EXPECT_EQ(box->text(), "Visualizzo la pagina creata C:\\a\\index.htm (S/N) ");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
  });
  EXPECT_EQ(ui.question("Visualizzo la pagina creata C:\\a\\index.htm (S/N) "), yes);
}

INSTANTIATE_TEST_SUITE_P(Answers, QuestionTest, ::testing::Bool(), ReadableName());

TEST(QtUiTest, HourglassIsOnePointerHoweverOftenItIsSet) {
  QtUi ui;
  ui.setPointer(Pointer::Hourglass);
  ui.setPointer(Pointer::Hourglass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.setPointer(Pointer::Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ui.setPointer(Pointer::Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUiTest, ProcessEventsRunsWhatIsPending) {
  QtUi ui;
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  ui.processEvents();
  EXPECT_TRUE(ran);
}

class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest() : fs(driveTableWithC(driveC.path())), folders(fs, fs.drives()) {
    writeFile(driveC.path() / "album" / "index.htm", "<HTML>\r\n");
    EXPECT_TRUE(folders.changeDrive('C').ok());
    EXPECT_TRUE(folders.changeFolder("C:\\ALBUM").ok());
  }
  TempFolder driveC;
  WindowsFileSystem fs;
  DriveFolders folders;
};

// The page is opened by its path, resolved like any path of the program; the command line
// beside it is only for the transcript, and is never read.
TEST_F(LauncherTest, PageIsResolvedLikeAnyPathOfTheProgram) {
  QtLauncher launcher(fs, QStringLiteral("xdg-open"), &folders);
  const std::string page = (driveC.path() / "album" / "index.htm").string();
  EXPECT_EQ(launcher.hostPage({"INDEX.HTM", "NOTEPAD"}), page);
  EXPECT_EQ(launcher.hostPage({"C:\\Album\\index.htm", ""}), page);
  EXPECT_EQ(launcher.hostPage({"Q:\\index.htm", "START /max /w index.htm"}), std::nullopt);
  EXPECT_EQ(launcher.hostPage({" ", "START /max /w index.htm"}), std::nullopt);
}

TEST_F(LauncherTest, OpenFailsWhenTheOpenerCannotBeStarted) {
  const PageLaunch page{"index.htm", "START /max /w index.htm"};
  EXPECT_FALSE(QtLauncher(fs, "/nonexistent/opener", &folders).open(page));
  EXPECT_FALSE(QtLauncher(fs, "true", &folders).open({"", "START /max /w index.htm"}));
  EXPECT_TRUE(QtLauncher(fs, "true", &folders).open(page));
}

class FileDialogTest : public ::testing::Test {
 protected:
  FileDialogTest() : fs(driveTableWithC(driveC.path())) {
    writeFile(driveC.path() / "foto" / "mare.jpg", "jpg");
    writeFile(driveC.path() / "foto" / "nota.txt", "txt");
  }
  TempFolder driveC;
  WindowsFileSystem fs;
  QtFileDialog dialog{fs, nullptr, QFileDialog::DontUseNativeDialog};
};

TEST_F(FileDialogTest, OpensInTheStartFolderAndReturnsTheDriveForm) {
  const QString folder = QString::fromStdString((driveC.path() / "foto").string());
  whenModal<QFileDialog>([folder](QFileDialog* box) {
    EXPECT_EQ(box->windowTitle(), "Cerca cartella");
    EXPECT_EQ(box->directory().absolutePath(), folder);
    EXPECT_EQ(box->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(box->nameFilters(), QStringList{"*"});  // every file, with or without a dot
    box->selectFile(folder + "/mare.jpg");
    static_cast<QDialog*>(box)->accept();  // the dialog's own check of the selection runs
  });
  EXPECT_EQ(dialog.choose("Cerca cartella", "C:\\FOTO\\", "*.*"), "C:\\foto\\mare.jpg");
}

TEST_F(FileDialogTest, CancelGivesAnEmptyText) {
  whenModal<QFileDialog>([](QFileDialog* box) { box->reject(); });
  EXPECT_EQ(dialog.choose("Cerca cartella", "C:\\foto\\", "*.*"), "");
}

}  // namespace
}  // namespace vortena::testing
