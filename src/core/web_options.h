// The web pictures of a build: with a web size, every picture copy of an entry folder is a
// picture for the web of at most that many pixels on its longer side, upright, in sRGB and
// without its metadata, and a thumbnail of at most thumbSize pixels stands beside it. Without
// one (the default) the copies are the files themselves, byte for byte.
#pragma once

namespace vortena {

struct WebOptions {
  int webSize = 0;    // longer side of a copy in pixels; 0: the copies are byte copies
  int thumbSize = 0;  // longer side of a thumbnail in pixels
  bool keepMetadata = false;

  bool on() const { return webSize > 0; }
  bool operator==(const WebOptions&) const = default;
};

// The thumbnail size of a build that names only the web size.
inline constexpr int kDefaultThumbSize = 200;

}  // namespace vortena
