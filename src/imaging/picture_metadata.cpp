#include "imaging/picture_metadata.h"

#include <cstdint>
#include <initializer_list>

namespace vortena {
namespace {

using namespace std::literals;

unsigned byteAt(std::string_view bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

// A number of `size` bytes at `at`; the caller has made sure they are there.
std::uint32_t number(std::string_view bytes, size_t at, int size, bool littleEndian) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i)
    value = value << 8 | byteAt(bytes, at + static_cast<size_t>(littleEndian ? size - 1 - i : i));
  return value;
}

template <typename T>
bool oneOf(const T& value, std::initializer_list<T> known) {
  for (const T& k : known)
    if (value == k) return true;
  return false;
}

// The EXIF block is a TIFF structure of directories of tags. The library reading it drops the
// tags it does not know, so its fields cannot tell what the block holds: the tags are read here.
// Every tag is looked at, so that a GPS position after a camera's make is still named.
enum class Directory { kMain, kExif, kInterop };

void walkDirectory(std::string_view tiff, bool little, std::uint32_t offset, Directory directory,
                   PrivateMetadata& found) {
  if (offset < 8 || tiff.size() < 2 || offset > tiff.size() - 2) {
    found.other = true;
    return;
  }
  const size_t count = number(tiff, offset, 2, little);
  const size_t end = offset + 2 + 12 * count;
  if (end + 4 > tiff.size()) {
    found.other = true;
    return;
  }
  for (size_t at = offset + 2; at < end; at += 12) {
    const std::uint32_t tag = number(tiff, at, 2, little);
    const std::uint32_t value = number(tiff, at + 8, 4, little);
    switch (directory) {
      case Directory::kMain:  // orientation, resolution and its unit, chroma positions
        if (tag == 0x8769)
          walkDirectory(tiff, little, value, Directory::kExif, found);
        else if (tag == 0x8825)
          found.gpsPosition = true;
        else if (tag == 0xC62F)  // the camera's serial number, as raw formats write it
          found.serialNumber = true;
        else if (!oneOf<std::uint32_t>(tag, {0x0112, 0x011A, 0x011B, 0x0128, 0x0213}))
          found.other = true;
        break;
      case Directory::kExif:  // versions, colour layout and space, pixel dimensions
        if (tag == 0xA005)
          walkDirectory(tiff, little, value, Directory::kInterop, found);
        else if (tag == 0xA431 || tag == 0xA435)  // the body's and the lens's serial numbers
          found.serialNumber = true;
        else if (!oneOf<std::uint32_t>(tag, {0x9000, 0x9101, 0xA000, 0xA001, 0xA002, 0xA003}))
          found.other = true;
        break;
      case Directory::kInterop:  // the interoperability rule and its version
        if (!oneOf<std::uint32_t>(tag, {0x0001, 0x0002})) found.other = true;
        break;
    }
  }
  // A directory after the main one holds the EXIF thumbnail: a picture of its own, which may
  // show what the photo was cropped from.
  if (directory == Directory::kMain && number(tiff, end, 4, little) != 0) found.other = true;
}

void walkExif(std::string_view tiff, PrivateMetadata& found) {
  if (tiff.size() < 8 || !(tiff.starts_with("II") || tiff.starts_with("MM"))) {
    found.other = true;
    return;
  }
  const bool little = tiff.starts_with("II");
  walkDirectory(tiff, little, number(tiff, 4, 4, little), Directory::kMain, found);
}

// The walks below go on past a block that is not the picture's, to name everything the file
// holds; a file whose blocks cannot be followed ends the walk as `other`.
void walkJpeg(std::string_view b, PrivateMetadata& found) {
  size_t at = 2;
  while (at + 2 <= b.size()) {
    if (byteAt(b, at) != 0xFF) break;
    const unsigned marker = byteAt(b, at + 1);
    if (marker == 0xFF) {  // a fill byte before a marker
      ++at;
      continue;
    }
    if (marker == 0xD9) {  // the end: nothing may follow it
      if (at + 2 != b.size()) found.other = true;
      return;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (at + 4 > b.size()) break;
    const size_t length = number(b, at + 2, 2, false);
    if (length < 2 || length > b.size() - at - 2) break;
    const std::string_view body = b.substr(at + 4, length - 2);
    at += 2 + length;
    if (marker == 0xE0) {  // JFIF, without a thumbnail of its own
      if (!body.starts_with("JFIF\0"sv) || body.size() < 14 || body[12] != 0 || body[13] != 0)
        found.other = true;
    } else if (marker == 0xE1) {  // EXIF; XMP is the other kind
      if (body.starts_with("Exif\0\0"sv))
        walkExif(body.substr(6), found);
      else
        found.other = true;
    } else if (marker == 0xE2) {  // the colour profile; also the index of further pictures
      if (!body.starts_with("ICC_PROFILE\0"sv)) found.other = true;
    } else if (marker == 0xEE) {  // the colour transform of Adobe's encoder
      if (!body.starts_with("Adobe"sv)) found.other = true;
    } else if ((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE) {  // IPTC, vendors, comments
      found.other = true;
    } else if (marker == 0xDA) {
      // The coded scan runs to the next marker: a 0xFF not followed by a stuffed 0 or a restart.
      for (at = b.find('\xFF', at); at != std::string_view::npos && at + 1 < b.size();
           at = b.find('\xFF', at + 1)) {
        const unsigned next = byteAt(b, at + 1);
        if (next != 0 && !(next >= 0xD0 && next <= 0xD7)) break;
      }
      if (at == std::string_view::npos) break;
    }
  }
  found.other = true;  // no end: a truncated file
}

void walkPng(std::string_view b, PrivateMetadata& found) {
  size_t at = 8;
  while (at + 12 <= b.size()) {
    const size_t length = number(b, at, 4, false);
    const std::string_view type = b.substr(at + 4, 4);
    if (length > b.size() - at - 12) break;
    const std::string_view body = b.substr(at + 8, length);
    at += 12 + length;
    if (type == "IEND") {
      if (at != b.size()) found.other = true;
      return;
    }
    if (type == "eXIf") {
      walkExif(body, found);
      continue;
    }
    // The picture, its transparency and colours, and the frames of an animated PNG; text
    // chunks, dates and any chunk of an application's own are not among them.
    if (!oneOf<std::string_view>(type, {"IHDR", "PLTE", "IDAT", "tRNS", "gAMA", "cHRM", "sRGB",
                                        "iCCP", "sBIT", "bKGD", "pHYs", "acTL", "fcTL", "fdAT"}))
      found.other = true;
  }
  found.other = true;
}

bool gifHoldsPrivate(std::string_view b) {
  if (b.size() < 13) return true;
  size_t at = 13;
  const auto skipColours = [&at](unsigned flags) {
    if (flags & 0x80) at += size_t{3} << ((flags & 7) + 1);
  };
  // Sub-blocks, each a length byte and that many bytes, up to one of length 0.
  const auto skipBlocks = [&at, &b] {
    while (at < b.size()) {
      const size_t length = byteAt(b, at);
      at += 1 + length;
      if (length == 0) return true;
    }
    return false;
  };
  skipColours(byteAt(b, 10));
  while (at < b.size()) {
    const unsigned kind = byteAt(b, at);
    if (kind == 0x3B) return at + 1 != b.size();  // the end: nothing may follow it
    if (kind == 0x2C && at + 10 < b.size()) {     // a frame and its coded pixels
      const unsigned flags = byteAt(b, at + 9);
      at += 10;
      skipColours(flags);
      ++at;  // the code size
      if (!skipBlocks()) return true;
    } else if (kind == 0x21 && at + 2 < b.size()) {
      const unsigned label = byteAt(b, at + 1);
      at += 2;
      // Frame timing, and the loop count of an animation; comments, text and XMP are not.
      if (label == 0xFF) {
        if (at + 12 > b.size() || byteAt(b, at) != 11 ||
            !oneOf(b.substr(at + 1, 11), {"NETSCAPE2.0"sv, "ANIMEXTS1.0"sv}))
          return true;
      } else if (label != 0xF9) {
        return true;
      }
      if (!skipBlocks()) return true;
    } else {
      return true;
    }
  }
  return true;
}

void walkWebp(std::string_view b, PrivateMetadata& found) {
  if (b.size() < 12 || b.substr(8, 4) != "WEBP" || number(b, 4, 4, true) != b.size() - 8) {
    found.other = true;
    return;
  }
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::string_view type = b.substr(at, 4);
    const size_t length = number(b, at + 4, 4, true);
    if (length > b.size() - at - 8) {
      found.other = true;
      return;
    }
    std::string_view body = b.substr(at + 8, length);
    at += 8 + length + (length & 1);
    if (type == "EXIF") {
      if (body.starts_with("Exif\0\0"sv)) body.remove_prefix(6);
      walkExif(body, found);
    } else if (!oneOf<std::string_view>(type,
                                        {"VP8 ", "VP8L", "VP8X", "ALPH", "ANIM", "ANMF", "ICCP"})) {
      found.other = true;
    }
  }
  if (at != b.size()) found.other = true;
}

}  // namespace

PrivateMetadata privateMetadataOf(std::string_view bytes) {
  PrivateMetadata found;
  if (bytes.starts_with("\xFF\xD8"sv))
    walkJpeg(bytes, found);
  else if (bytes.starts_with("\x89PNG\r\n\x1A\n"sv))
    walkPng(bytes, found);
  else if (bytes.starts_with("GIF87a"sv) || bytes.starts_with("GIF89a"sv))
    found.other = gifHoldsPrivate(bytes);
  else if (bytes.starts_with("RIFF"sv))
    walkWebp(bytes, found);
  else
    found.other = true;
  return found;
}

bool holdsPrivateMetadata(std::string_view bytes) { return privateMetadataOf(bytes).any(); }

}  // namespace vortena
