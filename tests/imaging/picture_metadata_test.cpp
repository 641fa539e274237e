// What privateMetadataOf names in a picture: a GPS position and a serial number found wherever
// they stand among the other tags, the rest as other metadata.
#include "imaging/picture_metadata.h"

#include <gtest/gtest.h>

#include "support/pictures.h"

namespace vortena {
namespace {

// A little-endian EXIF block: a main directory holding `mainTags` (each with the value 0) and a
// pointer to an EXIF directory holding `exifTags` (each an inline text of three letters).
std::string exifBlock(const std::vector<std::uint16_t>& mainTags,
                      const std::vector<std::uint16_t>& exifTags) {
  std::string tiff("II*\0\x08\0\0\0", 8);
  const auto put = [&tiff](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) tiff += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  const std::uint32_t exifAt = static_cast<std::uint32_t>(8 + 2 + 12 * (mainTags.size() + 1) + 4);
  put(static_cast<std::uint32_t>(mainTags.size() + 1), 2);
  for (std::uint16_t tag : mainTags) {
    put(tag, 2), put(4, 2), put(1, 4), put(0, 4);
  }
  put(0x8769, 2), put(4, 2), put(1, 4), put(exifAt, 4);
  put(0, 4);
  put(static_cast<std::uint32_t>(exifTags.size()), 2);
  for (std::uint16_t tag : exifTags) {
    put(tag, 2), put(2, 2), put(4, 4);
    tiff += std::string("123\0", 4);
  }
  put(0, 4);
  return tiff;
}

// A JPEG of the image library with a segment put right after its start.
std::string jpegWith(char marker, const std::string& body) {
  const std::string picture = testing::pictureBytes({});
  const size_t length = body.size() + 2;
  return picture.substr(0, 2) + '\xFF' + marker + static_cast<char>(length >> 8) +
         static_cast<char>(length & 0xFF) + body + picture.substr(2);
}

std::string exifSegment(const std::vector<std::uint16_t>& mainTags,
                        const std::vector<std::uint16_t>& exifTags) {
  return std::string("Exif\0\0", 6) + exifBlock(mainTags, exifTags);
}

struct MetadataCase {
  const char* name;
  std::string bytes;
  bool gps, serial, other;
};

class PrivateMetadataTest : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(PrivateMetadataTest, NamesWhatThePictureCarries) {
  const MetadataCase& t = GetParam();
  const PrivateMetadata found = privateMetadataOf(t.bytes);
  EXPECT_EQ(found.gpsPosition, t.gps);
  EXPECT_EQ(found.serialNumber, t.serial);
  EXPECT_EQ(found.other, t.other);
  EXPECT_EQ(holdsPrivateMetadata(t.bytes), t.gps || t.serial || t.other);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PrivateMetadataTest,
    ::testing::Values(
        MetadataCase{"PlainJpeg", testing::pictureBytes({}), false, false, false},
        MetadataCase{"PlainPng", testing::pictureBytes({.format = "png"}), false, false, false},
        MetadataCase{"OrientationOnly", jpegWith('\xE1', exifSegment({0x0112}, {})), false, false,
                     false},
        MetadataCase{"GpsJpeg", testing::pictureBytes({.gps = true}), true, false, false},
        // The camera's make (0x010F) stands before the position, as cameras write it.
        MetadataCase{"GpsAfterMake", jpegWith('\xE1', exifSegment({0x010F, 0x8825}, {})), true,
                     false, true},
        MetadataCase{"BodySerial", jpegWith('\xE1', exifSegment({}, {0xA431})), false, true, false},
        MetadataCase{"LensSerialAfterMakerNote",
                     jpegWith('\xE1', exifSegment({}, {0x927C, 0xA435})), false, true, true},
        MetadataCase{"Comment", jpegWith('\xFE', "taken at home"), false, false, true},
        MetadataCase{"Truncated", testing::pictureBytes({}).substr(0, 300), false, false, true},
        MetadataCase{"NotAPicture", "plain text", false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vortena
