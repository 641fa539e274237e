#include "app/web_settings.h"

#include <charconv>

#include "core/text.h"

namespace vortena {
namespace {

int pixels(const std::string& text) {
  const std::string digits = trim(text);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() && value > 0 ? value : 0;
}

}  // namespace

WebOptions webSettings(const std::function<std::string(const char* key)>& value) {
  WebOptions web;
  web.webSize = pixels(value(kWebSizeKey));
  if (!web.on()) return web;
  web.thumbSize = pixels(value(kWebThumbsKey));
  if (web.thumbSize == 0) web.thumbSize = kDefaultThumbSize;
  const std::string keep = toLower(trim(value(kWebKeepMetadataKey)));
  web.keepMetadata = keep == "true" || keep == "1";
  return web;
}

}  // namespace vortena
