// Text helpers shared by every part of the program. Strings are bytes (UTF-8 on Linux).
#pragma once

#include <string>
#include <string_view>

namespace vortena {

// Upper/lower case of ASCII letters and of the Windows-1252 letters written in UTF-8
// (à <-> À, œ <-> Œ, ÿ <-> Ÿ, ...); every other byte is left unchanged.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);
// Upper or lower case as the build's case option asks.
inline std::string toCase(std::string_view text, bool upper) {
  return upper ? toUpper(text) : toLower(text);
}

// Leading and trailing blanks (spaces) removed.
std::string trim(std::string_view text);

// Numeric value of a box's text: blanks, tabs and line feeds skipped wherever they stand, then
// an optional sign, digits, an optional fraction and exponent; 0 when no digit comes first.
// "12abc" is 12, " 1 2" is 12, "abc" is 0, "9.5" is 9.5.
double numericValue(std::string_view text);

// Decimal digits of n padded on the left with zeros to `width` digits; longer numbers keep all
// their digits (zeroPad(7, 3) is "007", zeroPad(1234, 3) is "1234").
std::string zeroPad(long n, int width);

// The number as the program's messages and labels show it: a leading blank for non-negative
// numbers, where a minus sign would stand (" 75", "-3").
std::string signedNumber(long n);

}  // namespace vortena
