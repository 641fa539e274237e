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

const char* replacementOf(char c, bool target) {
  for (const Replacement& r : kReplacements)
    if (r.c == c && (target || !r.targetOnly)) return r.text;
  return nullptr;
}

// Length of the well-formed UTF-8 sequence that starts at `at` (shortest form, no surrogates,
// at most U+10FFFF), or 0 when the bytes there are not one.
size_t utf8SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

void appendPercent(std::string& out, unsigned char b) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[b >> 4];
  out += kHex[b & 0x0F];
}

std::string escape(std::string_view text, bool target) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const unsigned char b = static_cast<unsigned char>(c);
    if (const char* replacement = replacementOf(c, target)) {
      out += replacement;
    } else if (target && (b < 0x20 || b == 0x7F)) {
      // A control (a tab, a line feed) would be dropped or cut the link when read back.
      appendPercent(out, b);
    } else if (target && b >= 0x80) {
      // Valid UTF-8 stays as it is (the page says utf-8); a stray byte is encoded, so the
      // browser asks for exactly that byte.
      const size_t length = utf8SequenceLength(text, i);
      if (length == 0) {
        appendPercent(out, b);
      } else {
        out.append(text.substr(i, length));
        i += length - 1;
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string htmlText(std::string_view text) { return escape(text, false); }

std::string linkTarget(std::string_view target) {
  // A ':' before the first separator would make the name a scheme (javascript:...); "./" keeps
  // the link a relative one to the file of that name.
  const size_t segmentEnd = target.find_first_of("/\\");
  const bool schemeLike = target.substr(0, segmentEnd).find(':') != std::string_view::npos;
  return (schemeLike ? "./" : "") + escape(target, true);
}

}  // namespace vortena
