#include "support/album_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace vortena::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vortena-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Tests make folders read-only; give the owner back the right to remove them.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::map<std::string, std::string> filesBelow(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file())
      files[std::filesystem::relative(e.path(), root).generic_string()] = readFile(e);
  return files;
}

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

namespace {
DriveTable fixtureDrives(const std::filesystem::path& c, const std::filesystem::path& program) {
  DriveTable drives = DriveTable::defaults();
  drives.set('C', c.string());
  drives.set('P', program.string());
  return drives;
}
}  // namespace

AlbumFixture::AlbumFixture() : AlbumFixture(VORTENA_RESOURCES_DIR) {}

AlbumFixture::AlbumFixture(const std::filesystem::path& programFolder)
    : AlbumFixture(programFolder, 1024) {}

AlbumFixture::AlbumFixture(const std::filesystem::path& programFolder, int screenWidth)
    : fs_(fixtureDrives(driveC_.path(), programFolder)),
      folders_(fs_, fs_.drives()),
      files_(folders_),
      user_(transcript_, screenWidth),
      window_(form_.form(), Services{&files_, &folders_, &user_, &user_, &user_, "P:"}) {
  EXPECT_TRUE(folders_.changeFolder("C:\\").ok());
  EXPECT_TRUE(folders_.changeDrive('C').ok());
  window_.load();
}

std::vector<std::string> hostNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string AlbumFixture::takeTranscript() {
  std::string text = transcript_.str();
  transcript_.str({});
  return text;
}

}  // namespace vortena::testing
