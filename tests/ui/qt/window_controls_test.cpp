// The control adapters over the real widgets, as the handlers see them, and the window's own
// behaviour: buttons wired to their handlers, Linux paths turned into drive form.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

#include "app/build_commands.h"
#include "gui_support.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

class WindowControlsTest : public ::testing::Test {
 protected:
  Form& form() { return fixture.window.handlers().session().form; }
  void clickOn(const char* name) { QTest::mouseClick(fixture.widget(name), Qt::LeftButton); }
  // A click on the list item as a user makes it.
  void clickListItem(int row) {
    auto* list = fixture.widget<QListWidget>("List1");
    QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }

  WindowFixture fixture;
};

TEST_F(WindowControlsTest, ListKeepsItemsAndLosesTheSelectionWithTheSelectedItem) {
  ListBox& list = *form().mediaListBox;
  for (const char* item : {"C:\\a.jpg", "C:\\b.jpg", "C:\\città\\c.jpg"}) list.addItem(item);
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.item(2), "C:\\città\\c.jpg");
  EXPECT_EQ(list.item(3), "");
  EXPECT_EQ(list.selectedIndex(), -1);

  clickListItem(2);
  EXPECT_EQ(list.selectedIndex(), 2);
  list.removeItem(0);  // an item before the selection: the selection moves with its item
  EXPECT_EQ(list.selectedIndex(), 1);
  EXPECT_EQ(list.item(1), "C:\\città\\c.jpg");
  list.removeItem(1);  // the selected item itself
  EXPECT_EQ(list.selectedIndex(), -1);
  EXPECT_EQ(list.count(), 1);
  list.removeItem(5);
  EXPECT_EQ(list.count(), 1);

  list.setSelectedIndex(0);
  EXPECT_EQ(list.selectedIndex(), 0);
  list.setSelectedIndex(-1);
  EXPECT_EQ(list.selectedIndex(), -1);
  list.clear();
  EXPECT_EQ(list.count(), 0);
}

TEST_F(WindowControlsTest, TextBoxesTakeLongAndAccentedTextWhole) {
  TextBox& box = *form().searchFolderBox;
  const std::string longPath = "C:\\" + std::string(40000, 'x') + "\\perché\\";
  box.setText(longPath);
  EXPECT_EQ(box.text(), longPath);
  QTest::keyClicks(fixture.widget<QLineEdit>("txtESTENSIONE"), "jpg");
  EXPECT_EQ(form().extensionBox->text(), "*jpg");
}

TEST_F(WindowControlsTest, CheckBoxValuesAndTheOptionGroup) {
  CheckBox& check = *form().noBackgroundCheck;
  clickOn("Check1");
  EXPECT_EQ(check.value(), 1);
  check.setValue(2);
  EXPECT_EQ(check.value(), 2);
  EXPECT_EQ(fixture.widget<QCheckBox>("Check1")->checkState(), Qt::PartiallyChecked);
  check.setValue(0);
  EXPECT_EQ(check.value(), 0);

  EXPECT_FALSE(readBuildSettings(fixture.window.handlers().session()).upperCase);
  clickOn("Option1");
  EXPECT_TRUE(form().upperCaseOption->selected());
  EXPECT_FALSE(form().lowerCaseOption->selected());
  EXPECT_TRUE(readBuildSettings(fixture.window.handlers().session()).upperCase);
  form().lowerCaseOption->select();
  EXPECT_FALSE(fixture.widget<QRadioButton>("Option1")->isChecked());
}

TEST_F(WindowControlsTest, EnabledStateGoesBothWays) {
  form().viewButton->setEnabled(true);
  EXPECT_TRUE(fixture.widget("Command5")->isEnabled());
  fixture.widget("txtNUM_FILE")->setEnabled(false);
  EXPECT_FALSE(form().foundCountBox->enabled());
}

TEST_F(WindowControlsTest, EndButtonEndsTheProgram) {
  clickOn("cmdFINE");
  EXPECT_EQ(fixture.ui.events, std::vector<std::string>{"end"});
}

TEST_F(WindowControlsTest, ClosingTheWindowEndsTheProgram) {
  fixture.window.show();
  fixture.window.close();
  EXPECT_EQ(fixture.ui.events, std::vector<std::string>{"end"});
}

TEST_F(WindowControlsTest, DisabledButtonRunsNothing) {
  clickOn("Command5");
  clickOn("Command1");
  EXPECT_TRUE(fixture.ui.events.empty());
}

TEST_F(WindowControlsTest, DeleteButtonRemovesTheItemTheUserClicked) {
  auto* list = fixture.widget<QListWidget>("List1");
  list->addItems({"C:\\uno.jpg", "C:\\due.jpg", "C:\\tre.jpg"});
  clickOn("cmdCANC_FILE");  // nothing selected yet
  clickListItem(1);
  fixture.ui.answers.push_back(true);
  clickOn("cmdCANC_FILE");
  ASSERT_EQ(fixture.ui.events.size(), 3u);
  EXPECT_EQ(fixture.ui.events[0], "beep");
  EXPECT_EQ(fixture.ui.events[1],
            "message SELEZIONARE UN FILE IN ELENCO tra i possibili 3 files !!!");
  EXPECT_EQ(fixture.ui.events[2],
            "question Confermi la cancellazione di C:\\due.jpg dal solo elenco (S/N)  -> yes");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "C:\\uno.jpg");
  EXPECT_EQ(list->item(1)->text(), "C:\\tre.jpg");
  EXPECT_EQ(form().mediaListBox->selectedIndex(), -1);
}

// What a path box holds after the user typed TEXT and left the box.
struct TypedPath {
  const char* box;
  std::string typed;
  std::string expected;
};

void PrintTo(const TypedPath& p, std::ostream* os) { *os << p.box << " " << quotedText(p.typed); }

class TypedPathTest : public ::testing::TestWithParam<TypedPath> {};

TEST_P(TypedPathTest, LinuxPathBecomesItsDriveFormWhenTheBoxLosesTheFocus) {
  WindowFixture fixture;
  const std::string c = fixture.driveC.path().string();
  // "$C" stands for drive C:'s host folder, "$Z" for the home folder in the drive form of
  // drive Z: (the host's root).
  std::string home = QDir::homePath().toStdString();
  std::replace(home.begin(), home.end(), '/', '\\');
  auto expand = [&](std::string text) {
    if (text.rfind("$C", 0) == 0) text = c + text.substr(2);
    if (text.rfind("$Z", 0) == 0) text = "Z:" + home + text.substr(2);
    return text;
  };
  auto* edit = fixture.widget<QLineEdit>(GetParam().box);
  edit->clear();
  QTest::keyClicks(edit, QString::fromStdString(expand(GetParam().typed)));
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &leave);
  EXPECT_EQ(edit->text().toStdString(), expand(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    PathBoxes, TypedPathTest,
    ::testing::Values(TypedPath{"txtPATH_RICERCA", "$C/foto/", "C:\\foto\\"},
                      TypedPath{"txtPATH_RICERCA", "$C/foto/mare", "C:\\foto\\mare"},
                      TypedPath{"txtNOME_FILE_HTM", "$C/album/index.htm", "C:\\album\\index.htm"},
                      TypedPath{"txtNOME_FILE_HTM", "C:\\album\\INDEX.HTM", "C:\\album\\INDEX.HTM"},
                      TypedPath{"txtNOME_FILE_HTM", "~/album/index.htm", "$Z\\album\\index.htm"},
                      TypedPath{"txtESTENSIONE", "$C/jpg", "$C/jpg"}),
    // The test's long name leaves no room for a label made from the path.
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace vortena::testing
