#include "ui/headless/web_settings.h"

namespace vortena {
namespace {

int pixels(const QSettings& settings, const char* key) {
  bool ok = false;
  const int value = settings.value(QLatin1String(key)).toString().trimmed().toInt(&ok);
  return ok && value > 0 ? value : 0;
}

}  // namespace

WebOptions webSettings(const QSettings& settings) {
  WebOptions web;
  web.webSize = pixels(settings, kWebSizeKey);
  if (!web.on()) return web;
  web.thumbSize = pixels(settings, kWebThumbsKey);
  if (web.thumbSize == 0) web.thumbSize = kDefaultThumbSize;
  web.keepMetadata = settings.value(QLatin1String(kWebKeepMetadataKey), false).toBool();
  return web;
}

}  // namespace vortena
