// A picture made ready for the web from the bytes of its file: a copy of at most the web size
// on its longer side and a thumbnail of at most the thumbnail size. Bytes in, bytes out: no
// file is touched here, so any thread may call it. The image library stays behind this header.
#pragma once

#include <string>

#include "core/web_options.h"

namespace vortena {

struct WebPicture {
  bool ok = false;
  std::string error;  // why the picture could not be read or written, when not ok
  // Not ok because the bytes are no picture the image library can read (empty, text, damaged
  // beyond reading), rather than because the library is missing.
  bool unreadable = false;
  // The copy is the file itself (a picture already small enough, of a type browsers show, or
  // an animated GIF, carrying no metadata to leave out): `copy` and `copyType` are then empty.
  bool copyIsSource = false;
  std::string copy;
  std::string copyType;  // "jpg", "png", or "gif" for an animation, lower case
  std::string thumb;
  std::string thumbType;  // "jpg" or "png"
};

// Makes the copy and the thumbnail of the picture held in `bytes`. The copy is turned upright
// by its EXIF orientation, converted to sRGB and written as a JPEG of quality 85 (a PNG when
// the picture has transparency), its metadata left out unless options.keepMetadata. A picture
// that fits the web size keeps its own bytes when browsers show its type and, unless
// options.keepMetadata, it carries no metadata beyond what showing it needs
// (picture_metadata.h). An animated GIF keeps its own bytes on the same condition; otherwise
// it is written again, frames and timing kept. Of a damaged picture what can be read is
// written. The thumbnail never carries metadata.
WebPicture makeWebPicture(const std::string& bytes, const WebOptions& options);

// Starts the image library for the process (once; later calls do nothing), before any worker
// runs; and frees what it keeps for the calling thread, when a worker ends.
void startImaging();
void endImagingThread();

// Whether the image library reads pictures of this kind (for the tests: "heif", "tiff").
bool imagingReads(const std::string& kind);

}  // namespace vortena
