// Pictures made with the image library for the tests, and what a written picture holds, read
// back with the same library.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vortena::testing {

struct TestPicture {
  int width = 64;
  int height = 48;
  std::string format = "jpg";  // jpg, png, gif, tif, bmp, heic: the saver used
  int orientation = 0;         // EXIF orientation written when above 0
  bool gps = false;            // a GPS position in its EXIF
  bool alpha = false;          // a transparent band
  int frames = 1;              // an animation of that many frames (gif)
  std::string profile{};       // "cmyk", "p3": turned into that colour profile, embedded
  bool green = false;          // all pure sRGB green instead of the gradient
};

// The bytes of a picture of `picture`: a gradient, so that no two rows are alike.
std::string pictureBytes(const TestPicture& picture);

struct PictureFacts {
  bool read = false;  // the library read it
  int width = 0, height = 0;
  int pages = 1;        // the frames of an animation
  std::string loader;   // "jpegload", "pngload", ...
  int orientation = 0;  // the EXIF orientation tag; 0 when there is none
  bool gps = false;     // a GPS field is there
  bool alpha = false;
  int bands = 0;
  bool srgb = false;          // the pixels are in sRGB (or grey), as browsers assume
  std::vector<double> means;  // the average of each band
};
PictureFacts pictureFacts(const std::filesystem::path& file);
PictureFacts pictureFacts(const std::string& bytes);

}  // namespace vortena::testing
