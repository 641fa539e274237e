// A 64-bit digest of values added in turn (FNV-1a taken eight bytes at a time; each text with
// its length, so that no two sequences of texts give the same bytes). It tells a change and a
// damaged stored record (any one byte changed gives another digest: each step, an exclusive or
// and a multiplication by an odd number, maps distinct values to distinct values); it is no
// safeguard against anyone.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vortena {

class Digest {
 public:
  Digest& add(std::string_view text) {
    add(static_cast<std::int64_t>(text.size()));
    return addBytes(text.data(), text.size());
  }
  Digest& add(std::int64_t number) { return addBytes(&number, sizeof number); }
  // The bytes as they are, without their length.
  Digest& addBytes(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      value_ = (value_ ^ word) * kPrime;
    }
    for (; i < size; ++i) value_ = (value_ ^ p[i]) * kPrime;
    return *this;
  }
  std::uint64_t value() const { return value_; }

 private:
  static constexpr std::uint64_t kPrime = 1099511628211ull;
  std::uint64_t value_ = 14695981039346656037ull;
};

// The digest of `bytes` alone.
inline std::uint64_t digestOf(std::string_view bytes) {
  return Digest().addBytes(bytes.data(), bytes.size()).value();
}

// A number in lower-case hexadecimal, without leading zeros ("0" for 0).
inline std::string hexNumber(std::uint64_t value) {
  char text[17];
  const auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
  return std::string(text, end);
}

// A line of a stored record with its digest: `line`, a blank and the digest of `line` in
// hexadecimal. A line read back is trusted only when its digest matches.
inline std::string withDigest(std::string_view line) {
  return std::string(line) + " " + hexNumber(digestOf(line));
}
// The line without its digest when the digest matches it; false for a line changed or cut
// since it was written.
inline bool checkedLine(std::string_view stored, std::string_view& line) {
  const std::size_t blank = stored.rfind(' ');
  if (blank == std::string_view::npos) return false;
  std::uint64_t digest = 0;
  const std::string_view hex = stored.substr(blank + 1);
  const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), digest, 16);
  if (error != std::errc() || end != hex.data() + hex.size()) return false;
  line = stored.substr(0, blank);
  return digestOf(line) == digest;
}

}  // namespace vortena
