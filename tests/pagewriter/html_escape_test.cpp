// Names written into the markup: a link target reaches its file whatever bytes the name holds,
// and can never become a scheme; ordinary names keep their bytes.
#include <gtest/gtest.h>

#include "pagewriter/html_escape.h"
#include "support/test_names.h"

namespace vortena::testing {
namespace {

struct TargetCase {
  std::string name;
  std::string target;
};
void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.target; }
class LinkTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(LinkTargetTest, EncodesWhatIsNotSafeInALink) {
  EXPECT_EQ(linkTarget(GetParam().name), GetParam().target);
}
INSTANTIATE_TEST_SUITE_P(
    Names, LinkTargetTest,
    ::testing::Values(
        TargetCase{"dir_0001\\menu.htm", "dir_0001\\menu.htm"},
        TargetCase{"sub\\àccènto é.jpg", "sub\\àccènto é.jpg"},  // valid UTF-8 stays
        TargetCase{"q\"<a>&b.jpg", "q&quot;&lt;a&gt;&amp;b.jpg"},
        TargetCase{"#?%.jpg", "%23%3F%25.jpg"}, TargetCase{"sp%20ace", "sp%2520ace"},
        TargetCase{"tab\there\nnl\r\x7f.htm", "tab%09here%0Anl%0D%7F.htm"},
        TargetCase{"bad\xff\xfe.jpg", "bad%FF%FE.jpg"},
        TargetCase{"cut\xc3", "cut%C3"},               // a sequence cut short
        TargetCase{"long\xc0\xaf.htm", "long%C0%AF.htm"},  // an overlong form
        TargetCase{"javascript:alert(1).htm", "./javascript:alert(1).htm"},
        TargetCase{"JavaScript:x\\a.htm", "./JavaScript:x\\a.htm"},
        TargetCase{"sub\\java:x.htm", "sub\\java:x.htm"}),  // a later segment is no scheme
    ReadableName());

TEST(HtmlText, EscapesMarkupAndLeavesTheRestOfALabel) {
  EXPECT_EQ(htmlText("a<b>&\"#?% \t\xff"), "a&lt;b&gt;&amp;&quot;#?% \t\xff");
}

}  // namespace
}  // namespace vortena::testing
