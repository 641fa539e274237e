// What becomes of one picture's bytes: re-encoded or kept as it is, of which type and colours.
// (Damaged files: web_copies_test.cpp.)
#include "imaging/web_picture.h"

#include <gtest/gtest.h>

#include "support/pictures.h"
#include "support/test_names.h"

namespace vortena {
namespace {

using testing::pictureBytes;
using testing::pictureFacts;
using testing::TestPicture;

struct ChoiceCase {
  const char* what;
  TestPicture picture;
  bool keepMetadata;
  bool copyIsSource;
  const char* copyType;  // "" when the copy is the source
  const char* thumbType;
};

void PrintTo(const ChoiceCase& t, std::ostream* os) { *os << t.what; }

class WebPictureChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(WebPictureChoiceTest, KeepsOrReencodesAsTheTypeAndSizeAsk) {
  const ChoiceCase& t = GetParam();
  const WebPicture web = makeWebPicture(pictureBytes(t.picture), {400, 100, t.keepMetadata});
  ASSERT_TRUE(web.ok) << web.error;
  EXPECT_EQ(web.copyIsSource, t.copyIsSource);
  EXPECT_EQ(web.copyType, t.copyType);
  EXPECT_EQ(web.copy.empty(), t.copyIsSource);
  EXPECT_EQ(web.thumbType, t.thumbType);
  const auto thumb = pictureFacts(web.thumb);
  EXPECT_EQ(thumb.loader, std::string(t.thumbType) == "png" ? "pngload" : "jpegload");
  EXPECT_EQ(std::max(thumb.width, thumb.height), 100);
  EXPECT_EQ(thumb.alpha, t.picture.alpha);
  EXPECT_EQ(pictureFacts(t.copyIsSource ? pictureBytes(t.picture) : web.copy).alpha,
            t.picture.alpha);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, WebPictureChoiceTest,
    ::testing::Values(
        ChoiceCase{"small jpeg", {300, 200, "jpg"}, false, true, "", "jpg"},
        ChoiceCase{"small jpeg with gps", {300, 200, "jpg", 0, true}, false, false, "jpg", "jpg"},
        ChoiceCase{"small jpeg with gps kept", {300, 200, "jpg", 0, true}, true, true, "", "jpg"},
        ChoiceCase{"small tiff", {300, 200, "tif"}, false, false, "jpg", "jpg"},
        ChoiceCase{
            "small transparent png", {300, 200, "png", 0, false, true}, false, true, "", "png"},
        ChoiceCase{
            "large transparent png", {900, 600, "png", 0, false, true}, false, false, "png", "png"},
        ChoiceCase{"large still gif", {900, 600, "gif"}, false, false, "jpg", "jpg"},
        ChoiceCase{
            "large animated gif", {900, 600, "gif", 0, false, true, 3}, false, true, "", "png"}),
    testing::ReadableName());

// A photo in a colour profile of its own (a wide-gamut one, CMYK) becomes sRGB: its colours
// are those of the same photo made in sRGB, which browsers assume.
struct ProfileCase {
  const char* profile;
  bool green;        // a flat green, which a wide gamut gives other numbers
  double tolerance;  // CMYK cannot hold every colour of the picture: a little is lost
};
void PrintTo(const ProfileCase& t, std::ostream* os) { *os << t.profile; }

class WebPictureProfileTest : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(WebPictureProfileTest, ColoursAreTurnedIntoSrgb) {
  TestPicture plain{900, 600, "jpg"};
  plain.green = GetParam().green;
  TestPicture profiled = plain;
  profiled.profile = GetParam().profile;
  const WebPicture web = makeWebPicture(pictureBytes(profiled), {400, 100, false});
  ASSERT_TRUE(web.ok) << web.error;
  const auto expected = pictureFacts(pictureBytes(plain)).means;
  for (const std::string* bytes : {&web.copy, &web.thumb}) {
    const auto facts = pictureFacts(*bytes);
    EXPECT_TRUE(facts.srgb);
    ASSERT_EQ(facts.means.size(), 3u);
    for (size_t band = 0; band < 3; ++band)
      EXPECT_NEAR(facts.means[band], expected[band], GetParam().tolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(EachProfile, WebPictureProfileTest,
                         ::testing::Values(ProfileCase{"p3", true, 3},
                                           ProfileCase{"cmyk", false, 15}),
                         testing::ReadableName());

}  // namespace
}  // namespace vortena
