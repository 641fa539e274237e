// What a picture file carries beside its pixels, read from its bytes alone.
#pragma once

#include <string_view>

namespace vortena {

// Whether the bytes of a JPEG, PNG, GIF or WebP file hold anything beyond what showing the
// picture needs: GPS positions, serial numbers, comments, maker notes, IPTC, XMP, an EXIF
// thumbnail, vendor blocks, data after the picture's end. Only what is known to describe the
// picture itself passes: its colour profile, the frames and loop of an animation, and EXIF
// fields of orientation, resolution and colour layout. A file of another kind, or one that
// cannot be walked to its end (damaged, truncated), counts as holding some.
bool holdsPrivateMetadata(std::string_view bytes);

// What holdsPrivateMetadata finds, by kind: the two that most often give a person away, and the
// rest.
struct PrivateMetadata {
  bool gpsPosition = false;   // an EXIF GPS directory
  bool serialNumber = false;  // the serial number of the camera body or the lens
  bool other = false;         // anything else beyond the picture, or a file that cannot be walked
  bool any() const { return gpsPosition || serialNumber || other; }
};
PrivateMetadata privateMetadataOf(std::string_view bytes);

}  // namespace vortena
