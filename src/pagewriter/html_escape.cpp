#include "pagewriter/html_escape.h"

namespace vortena {
namespace {

// The markup form of one character, or nullptr when it is written as it is.
const char* entityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    default:
      return nullptr;
  }
}

const char* percentOf(char c) {
  switch (c) {
    case '#':
      return "%23";
    case '?':
      return "%3F";
    case '%':
      return "%25";
    default:
      return nullptr;
  }
}

std::string escape(std::string_view text, bool target) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char* replacement = entityOf(c);
    if (!replacement && target) replacement = percentOf(c);
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
