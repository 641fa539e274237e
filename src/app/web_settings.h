// The web mode kept in the program's settings file, which the window reads (organization and
// application "vortena": ~/.config/vortena/vortena.conf on Linux):
//   [web]
//   size=1600          longer side of the web copies in pixels; missing or 0: web mode off
//   thumbs=200         longer side of the thumbnails (default 200)
//   keepMetadata=false keep the pictures' metadata
#pragma once

#include <functional>
#include <string>

#include "core/web_options.h"

namespace vortena {

inline constexpr const char* kWebSizeKey = "web/size";
inline constexpr const char* kWebThumbsKey = "web/thumbs";
inline constexpr const char* kWebKeepMetadataKey = "web/keepMetadata";

// The web mode of the settings, given the text of each key (empty when it is not set). A size
// that is not a whole number above 0 leaves web mode off; a thumbnail size that is not one
// takes the default. keepMetadata is on for "true" or "1".
WebOptions webSettings(const std::function<std::string(const char* key)>& value);

}  // namespace vortena
