#include "pagewriter/html_escape.h"

namespace vortena {
namespace {

struct Replacement {
  char c;
  const char* text;
  bool targetOnly;  // only a link target needs it
};
constexpr Replacement kReplacements[] = {
    {'&', "&amp;", false}, {'<', "&lt;", false}, {'>', "&gt;", false}, {'"', "&quot;", false},
    {'#', "%23", true},    {'?', "%3F", true},   {'%', "%25", true},
};

std::string escape(std::string_view text, bool target) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char* replacement = nullptr;
    for (const Replacement& r : kReplacements)
      if (r.c == c && (target || !r.targetOnly)) replacement = r.text;
    if (replacement)
      out += replacement;
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string htmlText(std::string_view text) { return escape(text, false); }
std::string linkTarget(std::string_view target) { return escape(target, true); }

}  // namespace vortena
