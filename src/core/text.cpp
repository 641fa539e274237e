#include "core/text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vortena {
namespace {

// The Windows-1252 letters outside ASCII, as Unicode code points, paired lower/upper.
struct CasePair {
  char32_t lower, upper;
};
constexpr CasePair kLatinPairs[] = {
    {0x0161, 0x0160},  // š Š
    {0x0153, 0x0152},  // œ Œ
    {0x017E, 0x017D},  // ž Ž
    {0x00FF, 0x0178},  // ÿ Ÿ
};

// Maps one code point to the asked case within the Windows-1252 repertoire.
char32_t mapCodePoint(char32_t c, bool upper) {
  // À..Þ <-> à..þ, except × (D7) and ÷ (F7).
  if (upper && c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (!upper && c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  for (const CasePair& p : kLatinPairs) {
    if (upper && c == p.lower) return p.upper;
    if (!upper && c == p.upper) return p.lower;
  }
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string convertCase(std::string_view text, bool upper) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      // ASCII by its own table: the C library's mapping follows the locale (in Turkish the
      // upper case of i is not I).
      if (upper && b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
      if (!upper && b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
      out += static_cast<char>(b);
      continue;
    }
    // Two-byte sequences (U+0080..U+07FF) hold the accented letters; the rest pass as bytes.
    if ((b & 0xE0) == 0xC0 && i + 1 < text.size() &&
        (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      char32_t c = ((b & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
      char32_t m = mapCodePoint(c, upper);
      if (m < 0x800) {
        appendUtf8(out, m);
        ++i;
        continue;
      }
    }
    // Ÿ (U+0178) is two bytes too; nothing of the repertoire needs three bytes.
    out += static_cast<char>(b);
  }
  return out;
}

bool isValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string toUpper(std::string_view text) { return convertCase(text, true); }
std::string toLower(std::string_view text) { return convertCase(text, false); }

std::string trim(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(' ');
  return std::string(text.substr(b, e - b + 1));
}

double numericValue(std::string_view text) {
  // Blanks are dropped wherever they stand, then the longest number at the front is read.
  std::string packed;
  for (char c : text)
    if (!isValBlank(c)) packed += c;
  size_t i = 0;
  std::string number;
  bool negative = false;
  if (i < packed.size() && (packed[i] == '+' || packed[i] == '-')) negative = packed[i++] == '-';
  bool digits = false;
  while (i < packed.size() && isDigit(packed[i])) {
    number += packed[i++];
    digits = true;
  }
  if (i < packed.size() && packed[i] == '.') {
    number += packed[i++];
    while (i < packed.size() && isDigit(packed[i])) {
      number += packed[i++];
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < packed.size() && (packed[i] == 'e' || packed[i] == 'E')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < packed.size() && (packed[j] == '+' || packed[j] == '-')) exponent += packed[j++];
    bool expDigits = false;
    while (j < packed.size() && isDigit(packed[j])) {
      exponent += packed[j++];
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }
  // from_chars reads the number the same way under every locale (strtod takes the locale's
  // decimal point: in Italian "2.5" would be 2). Out of range it sets nothing: too large is
  // infinite and too small is 0, as strtod gives them.
  double value = 0;
  const std::from_chars_result read =
      std::from_chars(number.data(), number.data() + number.size(), value);
  if (read.ec == std::errc::result_out_of_range)
    value = number.find("e-") != std::string::npos ? 0.0 : HUGE_VAL;
  return negative ? -value : value;
}

std::string zeroPad(long n, int width) {
  // The magnitude as unsigned: -n overflows for the most negative long.
  unsigned long magnitude =
      n < 0 ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
  std::string digits = std::to_string(magnitude);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return n < 0 ? "-" + digits : digits;
}

std::string signedNumber(long n) { return n < 0 ? std::to_string(n) : " " + std::to_string(n); }

}  // namespace vortena
