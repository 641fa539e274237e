// Whole commands through the real widgets: a scan and a single-page build clicked as a user
// would, and the end button pressed while a scan is running.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_support.h"

namespace vortena::testing {
namespace {

TEST(BuildClickTest, SinglePageBuildWritesThePageFromTheClickedWindow) {
  WindowFixture fixture;
  const std::filesystem::path c = fixture.driveC.path();
  writeFile(c / "foto" / "Mare.JPG", "picture one");
  writeFile(c / "foto" / "monti.jpg", "picture two");
  std::filesystem::create_directories(c / "album");  // the build does not make the page's folder

  setText(fixture.widget<QLineEdit>("txtPATH_RICERCA"), "C:\\foto\\");
  setText(fixture.widget<QLineEdit>("txtNOME_FILE_HTM"), "C:\\album\\index.htm");
  click(fixture.widget("cmdCONFERMA_Tutti"));
  auto* list = fixture.widget<QListWidget>("List1");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(fixture.widget<QLineEdit>("txtNUM_FILE")->text(), "2");
  ASSERT_TRUE(fixture.widget("Command1")->isEnabled());

  fixture.ui.events.clear();
  click(fixture.widget("Command1"));

  const std::string page = readFile(c / "album" / "index.htm");
  std::string shown;
  for (const std::string& event : fixture.ui.events) shown += event + "\n";
  ASSERT_FALSE(page.empty()) << shown;
  EXPECT_EQ(page.rfind("<HTML>\r\n", 0), 0u);
  EXPECT_NE(page.find("<A HREF=\"dir_0001\\menu.htm\">"), std::string::npos);
  EXPECT_NE(page.find("<td background=\"pulsante.jpg\" width=\"130\" height=\"30\">"),
            std::string::npos);
  EXPECT_EQ(readFile(c / "album" / "dir_0001" / "img_001.jpg"), "picture one");
  EXPECT_EQ(readFile(c / "album" / "dir_0001" / "img_002.jpg"), "picture two");
  EXPECT_TRUE(std::filesystem::exists(c / "album" / "dir_0001" / "menu.htm"));
  EXPECT_TRUE(std::filesystem::exists(c / "album" / "pulsante.jpg"));
  EXPECT_TRUE(std::filesystem::exists(c / "foto" / "mare.jpg"));  // renamed to the build's case

  const std::vector<std::string>& events = fixture.ui.events;
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(),
            "question Visualizzo la pagina creata c:\\album\\index.htm (S/N)  -> no");
  EXPECT_TRUE(fixture.widget("Command5")->isEnabled());
  EXPECT_TRUE(fixture.widget("Command1")->isEnabled());
}

// The end button pressed while the scan lets the window process its events: the process ends
// there, with status 0, and the scan never finishes.
TEST(EndProgramDeathTest, EndPressedDuringAScanEndsTheProgramAtOnce) {
  TempFolder driveC;
  for (int i = 0; i < 20; ++i)
    writeFile(driveC.path() / "foto" / ("p" + std::to_string(i) + ".jpg"), "x");
  WindowsFileSystem fs(driveTableWithC(driveC.path()));
  EXPECT_EXIT(
      {
        QtMainWindow window(fs, "C:\\program");  // with its own Qt user interface
        auto* path = window.findChild<QLineEdit*>("txtPATH_RICERCA");
        path->setText("C:\\foto\\");
        QPushButton* end = window.findChild<QPushButton*>("cmdFINE");
        // Runs at the scan's first event processing, not before: no event loop runs here.
        QTimer::singleShot(0, end, [end] { click(end); });
        click(window.findChild<QPushButton*>("cmdCONFERMA_Tutti"));
        std::fprintf(stderr, "scan finished with %d entries\n",
                     static_cast<int>(window.findChild<QListWidget*>("List1")->count()));
        std::exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vortena::testing
