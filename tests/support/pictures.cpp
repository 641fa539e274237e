#include "support/pictures.h"

#include <cstdlib>
#include <mutex>
#include <string_view>
#include <vector>
#include <vips/vips8>

#include "support/album_fixture.h"

// LeakSanitizer, in the sanitizer build: the HEVC encoder (x265, under libheif) keeps some
// memory to the end of the process once these tests have made a HEIF picture with it. That
// library alone is let off; nothing of the program's own is.
extern "C" const char* __lsan_default_suppressions() { return "leak:libx265.so\n"; }

namespace vortena::testing {
namespace {

using vips::VImage;

void start() {
  static std::once_flag started;
  std::call_once(started, [] {
    if (VIPS_INIT("vortena_tests")) std::abort();
  });
}

std::string saved(const VImage& image, const std::string& format) {
  VipsBlob* blob = nullptr;
  if (format == "jpg")
    blob = image.jpegsave_buffer(VImage::option()->set("Q", 90));
  else if (format == "png")
    blob = image.pngsave_buffer();
  else if (format == "gif")
    blob = image.gifsave_buffer();
  else if (format == "tif")
    blob = image.tiffsave_buffer();
  else if (format == "heic")
    blob = image.heifsave_buffer(
        VImage::option()->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC));
  else if (format == "bmp")
    blob = image.magicksave_buffer(VImage::option()->set("format", "bmp"));
  size_t length = 0;
  const void* data = vips_blob_get(blob, &length);
  std::string bytes(static_cast<const char*>(data), length);
  vips_area_unref(VIPS_AREA(blob));
  return bytes;
}

}  // namespace

std::string pictureBytes(const TestPicture& picture) {
  start();
  // Red across, green down, blue constant.
  VImage across = VImage::xyz(picture.width, picture.height)[0] * (255.0 / picture.width);
  VImage down = VImage::xyz(picture.width, picture.height)[1] * (255.0 / picture.height);
  VImage image = across.bandjoin(down).bandjoin_const({128}).cast(VIPS_FORMAT_UCHAR);
  if (picture.green) image = image * std::vector<double>{0, 0, 0} + std::vector<double>{0, 255, 0};
  image = image.cast(VIPS_FORMAT_UCHAR)
              .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
  // Transparent on the left, opaque on the right: a GIF, whose transparency is all or
  // nothing, keeps it too.
  if (picture.alpha)
    image = image.bandjoin(VImage::xyz(picture.width, picture.height)[0] >= picture.width / 2);
  if (picture.frames > 1) {
    std::vector<VImage> frames(static_cast<size_t>(picture.frames), image);
    image = VImage::arrayjoin(frames, VImage::option()->set("across", 1));
    image.set(VIPS_META_PAGE_HEIGHT, picture.height);
  }
  if (!picture.profile.empty())
    image = image.icc_export(VImage::option()->set("output_profile", picture.profile.c_str()));
  if (picture.orientation > 0) image.set(VIPS_META_ORIENTATION, picture.orientation);
  if (picture.gps) {
    // Written into the EXIF block by the saver from these fields.
    image.set("exif-ifd3-GPSLatitudeRef", "N (ASCII, 2 components, 2 bytes)");
    image.set("exif-ifd3-GPSLatitude",
              "45/1 27/1 0/1 (45, 27, 0, Rational, 3 components, 24 bytes)");
    image.set("exif-ifd3-GPSLongitudeRef", "E (ASCII, 2 components, 2 bytes)");
    image.set("exif-ifd3-GPSLongitude",
              "9/1 11/1 0/1 (9, 11, 0, Rational, 3 components, 24 bytes)");
  }
  return saved(image, picture.format);
}

PictureFacts pictureFacts(const std::string& bytes) {
  start();
  PictureFacts facts;
  try {
    const char* loader = vips_foreign_find_load_buffer(bytes.data(), bytes.size());
    if (!loader) return facts;
    VipsObjectClass* found = VIPS_OBJECT_CLASS(vips_class_find("VipsForeignLoad", loader));
    facts.loader = found ? found->nickname : loader;
    if (const size_t end = facts.loader.find("_buffer"); end != std::string::npos)
      facts.loader.resize(end);
    VImage image = VImage::new_from_buffer(bytes, "");
    facts.width = image.width();
    facts.height = image.height();
    if (image.get_typeof(VIPS_META_N_PAGES) != 0) facts.pages = image.get_int(VIPS_META_N_PAGES);
    facts.alpha = image.has_alpha();
    facts.bands = image.bands();
    for (int band = 0; band < image.bands(); ++band) facts.means.push_back(image[band].avg());
    facts.srgb = image.interpretation() == VIPS_INTERPRETATION_sRGB ||
                 image.interpretation() == VIPS_INTERPRETATION_B_W;
    if (image.get_typeof(VIPS_META_ORIENTATION) != 0)
      facts.orientation = image.get_int(VIPS_META_ORIENTATION);
    gchar** fields = vips_image_get_fields(image.get_image());
    for (gchar** field = fields; *field; ++field)
      if (std::string_view(*field).starts_with("exif-ifd3-")) facts.gps = true;
    g_strfreev(fields);
    facts.read = true;
  } catch (const vips::VError&) {
  }
  vips_error_clear();
  return facts;
}

PictureFacts pictureFacts(const std::filesystem::path& file) {
  return pictureFacts(readFile(file));
}

}  // namespace vortena::testing
