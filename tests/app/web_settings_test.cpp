// The web mode of the settings file, as the window reads it (the file read through Qt's own
// settings reader, as the window reads it).
#include "app/web_settings.h"

#include <gtest/gtest.h>

#include <QSettings>

#include "support/album_fixture.h"
#include "support/test_names.h"

namespace vortena {
namespace {

struct SettingsCase {
  const char* file;  // the settings file's text
  WebOptions expected;
};

void PrintTo(const SettingsCase& t, std::ostream* os) { *os << t.file; }

class WebSettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(WebSettingsTest, SettingsFileGivesTheWebMode) {
  testing::TempFolder folder;
  const auto file = folder.path() / "vortena.conf";
  testing::writeFile(file, GetParam().file);
  const QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
  const WebOptions web = webSettings([&settings](const char* key) {
    return settings.value(QLatin1String(key)).toString().toStdString();
  });
  EXPECT_EQ(web.webSize, GetParam().expected.webSize);
  EXPECT_EQ(web.thumbSize, GetParam().expected.thumbSize);
  EXPECT_EQ(web.keepMetadata, GetParam().expected.keepMetadata);
}

INSTANTIATE_TEST_SUITE_P(
    EachFile, WebSettingsTest,
    ::testing::Values(SettingsCase{"", {}}, SettingsCase{"[web]\nthumbs=100\n", {}},
                      SettingsCase{"[web]\nsize=0\nthumbs=100\nkeepMetadata=true\n", {}},
                      SettingsCase{"[web]\nsize=-5\n", {}}, SettingsCase{"[web]\nsize=big\n", {}},
                      SettingsCase{"[web]\nsize=1600\n", {1600, 200, false}},
                      SettingsCase{"[web]\nsize=1600\nthumbs=120\n", {1600, 120, false}},
                      SettingsCase{"[web]\nsize=1600\nthumbs=0\n", {1600, 200, false}},
                      SettingsCase{"[web]\nsize= 1024 \nthumbs=150\nkeepMetadata=true\n",
                                   {1024, 150, true}}),
    testing::ReadableName());

}  // namespace
}  // namespace vortena
