// Names for the cases of parameterised tests that stay the same from build to build and say
// what the case is about, and the quoting the parameters' PrintTo functions share.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "ui/headless/headless.h"

namespace vortena::testing {

// The longest label a case name carries after its index.
inline constexpr std::size_t kMaxCaseLabel = 40;

// "<index>_<label>", the label being `printed` with each run of characters other than ASCII
// letters and digits turned into one '_', without a '_' at either end, and cut to `maxLabel`
// characters (back to the end of a word when the cut would split one). The index keeps the
// names of one instantiation unique; a parameter that prints no letter or digit gives the bare
// index.
inline std::string caseName(std::size_t index, std::string_view printed,
                            std::size_t maxLabel = kMaxCaseLabel) {
  std::string label;
  bool gap = false;
  for (char c : printed) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!kept) {
      gap = true;
      continue;
    }
    if (gap && !label.empty()) label += '_';
    gap = false;
    label += c;
    if (label.size() > maxLabel) break;
  }
  if (label.size() > maxLabel) {
    const bool splitsAWord = label[maxLabel] != '_';
    label.resize(maxLabel);
    const std::size_t lastGap = label.rfind('_');
    if (splitsAWord && lastGap != std::string::npos) label.resize(lastGap);
  }
  while (!label.empty() && label.back() == '_') label.pop_back();
  return label.empty() ? std::to_string(index) : std::to_string(index) + "_" + label;
}

// The name generator of INSTANTIATE_TEST_SUITE_P: the case name of the parameter as GoogleTest
// prints it, so a parameter type needs a PrintTo that shows its telling fields briefly (a
// struct without one prints as raw bytes, addresses included). A suite whose test names are
// long passes a shorter label, so that its CTest names stay within 100 columns of `ctest -N`.
class ReadableName {
 public:
  explicit ReadableName(std::size_t maxLabel = kMaxCaseLabel) : maxLabel_(maxLabel) {}

  template <typename T>
  std::string operator()(const ::testing::TestParamInfo<T>& info) const {
    return caseName(info.index, ::testing::PrintToString(info.param), maxLabel_);
  }

 private:
  std::size_t maxLabel_;
};

// `text` in double quotes on one line, escaped as the script runner's transcript writes it.
inline std::string quotedText(std::string_view text) { return quoteText(std::string(text)); }

}  // namespace vortena::testing
