#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>

#include "support/test_names.h"

namespace vortena {
namespace {

TEST(TextCaseTest, AsciiAndWindowsLatinLettersChangeCase) {
  EXPECT_EQ(toUpper("Città è già così, ñ œ š ž ÿ ø þ"), "CITTÀ È GIÀ COSÌ, Ñ Œ Š Ž Ÿ Ø Þ");
  EXPECT_EQ(toLower("CITTÀ È GIÀ COSÌ, Ñ Œ Š Ž Ÿ Ø Þ"), "città è già così, ñ œ š ž ÿ ø þ");
  EXPECT_EQ(toCase("Foto", true), "FOTO");
  EXPECT_EQ(toCase("Foto", false), "foto");
}

TEST(TextCaseTest, EverythingElseIsLeftAsItIs) {
  // ß, ×, ÷ and µ have no partner; Greek, Cyrillic, CJK and stray bytes pass through.
  EXPECT_EQ(toUpper("ß×÷µ αβγ дж 漢字 €"), "ß×÷µ αβγ дж 漢字 €");
  EXPECT_EQ(toLower("ß×÷µ ΑΒΓ ДЖ 漢字 €"), "ß×÷µ ΑΒΓ ДЖ 漢字 €");
  EXPECT_EQ(toUpper("a\xC3"), "A\xC3");
  EXPECT_EQ(toLower("\xC3\x80\xC3"), "\xC3\xA0\xC3");
}

TEST(TextTrimTest, OnlyOuterBlanksGo) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim("\tx\t"), "\tx\t");
}

struct ValueCase {
  const char* text;
  double value;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << testing::quotedText(c.text); }

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheNumberAtTheFront) {
  EXPECT_DOUBLE_EQ(numericValue(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, NumericValueTest,
    ::testing::Values(ValueCase{"12abc", 12}, ValueCase{" 1 2", 12}, ValueCase{"abc", 0},
                      ValueCase{"9.5", 9.5}, ValueCase{"", 0}, ValueCase{"\t4\n2 ", 42},
                      ValueCase{"-3", -3}, ValueCase{"- 3", -3}, ValueCase{"+7x", 7},
                      ValueCase{".5", 0.5}, ValueCase{"5.", 5}, ValueCase{"1e3", 1000},
                      ValueCase{"2E-1", 0.2}, ValueCase{"1e", 1}, ValueCase{"1e+", 1},
                      ValueCase{"e5", 0}, ValueCase{"-", 0}, ValueCase{".", 0}, ValueCase{"1,5", 1},
                      ValueCase{"007", 7}, ValueCase{"1.2.3", 1.2}),
    testing::ReadableName());

TEST(ZeroPadTest, PadsToTheWidthAndKeepsLongerNumbers) {
  EXPECT_EQ(zeroPad(7, 3), "007");
  EXPECT_EQ(zeroPad(1234, 3), "1234");
  EXPECT_EQ(zeroPad(0, 2), "00");
  EXPECT_EQ(zeroPad(5, 0), "5");
  EXPECT_EQ(zeroPad(-7, 3), "-007");
  EXPECT_EQ(zeroPad(LONG_MIN, 1), std::to_string(LONG_MIN));
}

TEST(SignedNumberTest, NonNegativeNumbersGetALeadingBlank) {
  EXPECT_EQ(signedNumber(75), " 75");
  EXPECT_EQ(signedNumber(0), " 0");
  EXPECT_EQ(signedNumber(-3), "-3");
}

// The text rules under the C library's locales that once changed them: a decimal comma in
// Italian (strtod read "2.5" as 2) and a dotless i in Turkish (toupper made "iNDEX.HTM").
class TextLocaleTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, GetParam()))
      GTEST_SKIP() << "locale " << GetParam() << " is not installed (scripts/install-deps --test)";
  }
  void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }
  std::string saved_;
};

TEST_P(TextLocaleTest, CaseAndNumbersDoNotFollowTheLocale) {
  EXPECT_EQ(toUpper("index.htm i\xc3\xa0"), "INDEX.HTM I\xc3\x80");
  EXPECT_EQ(toLower("INDEX.HTM I\xc3\x80"), "index.htm i\xc3\xa0");
  EXPECT_DOUBLE_EQ(numericValue("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(numericValue("2,5"), 2);
  EXPECT_DOUBLE_EQ(numericValue("-1.5e2x"), -150);
}
INSTANTIATE_TEST_SUITE_P(Locales, TextLocaleTest,
                         ::testing::Values("it_IT.UTF-8", "tr_TR.UTF-8"),
                         testing::ReadableName());

}  // namespace
}  // namespace vortena
