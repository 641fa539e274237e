// Path text: host paths ("/" separated) and the pieces that Windows paths are made of too,
// taken apart and put together without touching the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vortena {

bool isAsciiLetter(char c);
// An ASCII letter in upper case; any other byte unchanged.
char upperLetter(char c);

// The non-empty pieces of `text` between any of the `separators`.
std::vector<std::string> splitPieces(std::string_view text, const char* separators);
// Adds `more` to the components `base`, applying "." and ".."; ".." stops at the root.
void appendComponents(std::vector<std::string>& base, const std::vector<std::string>& more);
// "\a\b" (or "/a/b") from {"a", "b"}; empty for no components.
std::string joinComponents(const std::vector<std::string>& parts, char separator);
// A host folder and a name in it ("/" and "x" give "/x").
std::string joinHost(const std::string& folder, const std::string& name);

// The process's working folder; empty when it cannot be read.
std::string workingFolder();
// Absolute host path without ".", "..", repeated or trailing "/"; "/" for the root. A relative
// path is taken from the working folder.
std::string normalHostPath(std::string_view path);
// $HOME, else the password entry's home folder, else "/".
std::string homeFolder();

}  // namespace vortena
