#include "imaging/imaging_module.h"
#include "imaging/picture_metadata.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string_view>
#include <vips/vips8>

namespace vortena {
namespace {

using vips::VError;
using vips::VImage;

std::atomic<bool> imagingStarted{false};

}  // namespace

// The library is started once for the process. Each worker makes one picture at a time, so
// the library's own threads would only compete with the other workers: one each. Its cache of
// operations would keep whole photos alive between pictures that never share one: none.
namespace {

void startImaging() {
  static std::once_flag started;
  std::call_once(started, [] {
    // Each worker allocates and frees a few photos' worth of large buffers; in an arena of
    // its own each would keep its high-water mark for the rest of the build. Shared arenas
    // keep the build's peak memory near what the pictures in flight need, whatever the
    // number of cores.
    mallopt(M_ARENA_MAX, 2);
    // What the library and its decoders make of a damaged file ("premature end of JPEG file")
    // would reach standard error as warnings of its own: a picture it cannot read is told in
    // the program's own message, from the error the library returns.
    constexpr auto kWarnings = static_cast<GLogLevelFlags>(
        G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG);
    g_log_set_handler(
        "VIPS", kWarnings, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    if (VIPS_INIT("vortena")) return;
    imagingStarted = true;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    vips_cache_set_max_mem(0);
    // No vips_shutdown at exit: the end button may end the program while workers are still
    // inside the library, and what it keeps is the process's own until then.
  });
}

}  // namespace

namespace {

// The loader the library picks for the bytes, as its short name ("jpegload_buffer").
std::string loaderOf(const std::string& bytes) {
  const char* name = vips_foreign_find_load_buffer(bytes.data(), bytes.size());
  if (!name) return {};
  VipsObjectClass* loader = VIPS_OBJECT_CLASS(vips_class_find("VipsForeignLoad", name));
  return loader ? loader->nickname : name;
}

// Types every browser shows; TIFF, BMP and HEIF are not among them.
bool shownByBrowsers(std::string_view loader) {
  for (std::string_view shown : {"jpegload", "pngload", "gifload", "webpload"})
    if (loader.starts_with(shown)) return true;
  return false;
}

bool animated(const VImage& image, std::string_view loader) {
  return loader.starts_with("gifload") && image.get_typeof("n-pages") != 0 &&
         image.get_int("n-pages") > 1;
}

// A blob over `bytes` that does not copy them; the bytes outlive every image made from it.
struct Blob {
  explicit Blob(const std::string& bytes)
      : blob(vips_blob_new(nullptr, bytes.data(), bytes.size())) {}
  ~Blob() { vips_area_unref(VIPS_AREA(blob)); }
  Blob(const Blob&) = delete;
  Blob& operator=(const Blob&) = delete;
  VipsBlob* blob;
};

// Shrunk to fit `size` (never enlarged), turned upright, in sRGB. Only a picture with a colour
// profile of its own goes through the colour transform (the costliest step of a photo without
// one, which is sRGB already). Of a damaged file, what can be read is shown, as browsers do.
VImage fitted(const Blob& source, int size, bool profiled) {
  vips::VOption* options = VImage::option()->set("height", size)->set("size", VIPS_SIZE_DOWN);
  if (profiled) options->set("export_profile", "srgb");
  return VImage::thumbnail_buffer(source.blob, size, options);
}

VImage inSrgb(VImage image) {
  const VipsInterpretation space = image.interpretation();
  if (space != VIPS_INTERPRETATION_sRGB && space != VIPS_INTERPRETATION_B_W)
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
  if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
  return image;
}

std::string takeBlob(VipsBlob* blob) {
  size_t length = 0;
  const void* data = vips_blob_get(blob, &length);
  std::string out(static_cast<const char*>(data), length);
  vips_area_unref(VIPS_AREA(blob));
  return out;
}

// Writes the image as a PNG when it has transparency, else as a JPEG of quality 85.
std::string encode(const VImage& image, bool strip, std::string& type) {
  if (image.has_alpha()) {
    type = "png";
    return takeBlob(image.pngsave_buffer(VImage::option()->set("strip", strip)));
  }
  type = "jpg";
  return takeBlob(image.jpegsave_buffer(VImage::option()->set("Q", 85)->set("strip", strip)));
}

// The orientation tag goes with the turn it asked for: the copy is upright. (Where the EXIF
// is kept, the library writes it back as 1, upright.)
VImage withoutOrientation(VImage image) {
  if (image.get_typeof(VIPS_META_ORIENTATION) != 0) {
    image = image.copy();
    image.remove(VIPS_META_ORIENTATION);
  }
  return image;
}

}  // namespace

namespace {

void endImagingThread() {
  if (imagingStarted) vips_thread_shutdown();
}

bool imagingReads(const std::string& kind) {
  startImaging();
  return vips_type_find("VipsOperation", (kind + "load_buffer").c_str()) != 0;
}

WebPicture makeWebPicture(const std::string& bytes, const WebOptions& options) {
  startImaging();
  WebPicture out;
  try {
    const std::string loader = loaderOf(bytes);
    if (loader.empty()) {
      out.unreadable = true;
      out.error = "not a picture the program reads";
      return out;
    }
    const Blob source(bytes);
    const VImage header = VImage::new_from_buffer(bytes, "");
    const bool fits = std::max(header.width(), header.height()) <= options.webSize;
    const bool isAnimated = animated(header, loader);
    // The file itself is the copy when it could be published as it is and carries nothing
    // that the metadata choice leaves out.
    out.copyIsSource = (isAnimated || (fits && shownByBrowsers(loader))) &&
                       (options.keepMetadata || !holdsPrivateMetadata(bytes));
    const bool profiled = header.get_typeof(VIPS_META_ICC_NAME) != 0;
    VImage copy;
    if (out.copyIsSource || isAnimated) {
      copy = inSrgb(fitted(source, options.thumbSize, profiled)).copy_memory();
      // An animation stays one, frames, timing and loop as they were: the library writes it
      // again from its frames, and writes no comment or XMP.
      if (!out.copyIsSource) {
        const VImage frames = VImage::new_from_buffer(bytes, "", VImage::option()->set("n", -1));
        out.copy = takeBlob(frames.gifsave_buffer(VImage::option()->set("strip", true)));
        out.copyType = "gif";
      }
    } else {
      copy = withoutOrientation(inSrgb(fitted(source, options.webSize, profiled))).copy_memory();
      out.copy = encode(copy, !options.keepMetadata, out.copyType);
    }
    const VImage thumb =
        copy.width() <= options.thumbSize && copy.height() <= options.thumbSize
            ? copy
            : copy.thumbnail_image(
                  options.thumbSize,
                  VImage::option()->set("height", options.thumbSize)->set("size", VIPS_SIZE_DOWN));
    out.thumb = encode(thumb, true, out.thumbType);
    out.ok = true;
  } catch (const VError& error) {
    // Every step works on the photo's bytes: what fails is the photo, not readable as a picture.
    out = WebPicture{};
    out.unreadable = true;
    out.error = error.what();
    while (!out.error.empty() && (out.error.back() == '\n' || out.error.back() == ' '))
      out.error.pop_back();
  }
  vips_error_clear();
  return out;
}

constexpr ImagingModule kModule{kImagingModuleVersion, startImaging, endImagingThread,
                                imagingReads, makeWebPicture};

}  // namespace
}  // namespace vortena

extern "C" __attribute__((visibility("default"))) const vortena::ImagingModule*
vortena_imaging_module() {
  return &vortena::kModule;
}
