#include "album/album_check.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "core/album_files.h"
#include "core/text.h"
#include "pagewriter/build_record.h"
#include "pagewriter/output_names.h"
#include "pagewriter/web_copies.h"

namespace vortena {
namespace {

namespace fs = std::filesystem;

bool startsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  return text.size() - std::min(at, text.size()) >= word.size() &&
         toLower(text.substr(at, word.size())) == word;
}

std::string extensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : toLower(name.substr(dot + 1));
}

bool isPageName(std::string_view name) {
  const std::string extension = extensionOf(name);
  return extension == "htm" || extension == "html";
}

// The kinds of picture whose blocks the metadata reader walks.
bool isPictureName(std::string_view name) {
  const std::string extension = extensionOf(name);
  for (std::string_view kind : {"jpg", "jpeg", "jpe", "jfif", "png", "gif", "webp"})
    if (extension == kind) return true;
  return false;
}

// An entry folder: DIR_ or dir_ and four digits.
bool isEntryFolderName(std::string_view name) {
  if (name.size() != 8 || toLower(name.substr(0, 4)) != "dir_") return false;
  return std::all_of(name.begin() + 4, name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool isRecordName(std::string_view name) {
  return name == kBuildRecordName || name == kWebRecordName;
}

// Names alike but for their letter case, as the program's own case changes see it.
bool sameNoCase(std::string_view a, std::string_view b) { return toLower(a) == toLower(b); }

bool isSiteFileName(std::string_view name) {
  return std::any_of(kSiteAssets.begin(), kSiteAssets.end(),
                     [name](std::string_view site) { return sameNoCase(site, name); });
}

// A name the program gives a file of an entry folder: its slideshow page, a copy (img_001.jpg)
// or a thumbnail (min_001.jpg), in either letter case.
bool isEntryFileName(std::string_view name) {
  if (sameNoCase(name, kSlideshowPage)) return true;
  const std::string prefix = toLower(name.substr(0, 4));
  if (prefix != toLower(kCopyPrefix) && prefix != toLower(kThumbPrefix)) return false;
  const size_t dot = std::min(name.find('.'), name.size());
  return dot > 4 && std::all_of(name.begin() + 4, name.begin() + static_cast<long>(dot),
                                [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool isNavigationPictureName(std::string_view name) {
  return std::any_of(std::begin(kNavigationPictures), std::end(kNavigationPictures),
                     [name](std::string_view picture) { return sameNoCase(picture, name); });
}

std::string firstName(const std::string& relative) {
  return relative.substr(0, relative.find('/'));
}

std::string folderOf(const std::string& relative) {
  const size_t slash = relative.rfind('/');
  return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

unsigned digitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  return static_cast<unsigned>(std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

// &amp; &lt; &gt; &quot; &apos; and numeric references, as a browser reads an attribute.
std::string decodedEntities(std::string_view text) {
  static const std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp;", "&"}, {"lt;", "<"}, {"gt;", ">"}, {"quot;", "\""}, {"apos;", "'"}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    bool replaced = false;
    for (const auto& [name, value] : kNamed)
      if (startsWithNoCase(text, i + 1, name)) {
        out += value;
        i += name.size();
        replaced = true;
        break;
      }
    if (!replaced && i + 2 < text.size() && text[i + 1] == '#') {
      const bool hex = text[i + 2] == 'x' || text[i + 2] == 'X';
      const size_t from = i + (hex ? 3 : 2);
      size_t end = from;
      unsigned long code = 0;
      while (end < text.size() && end - from < 7 &&
             (hex ? std::isxdigit(static_cast<unsigned char>(text[end]))
                  : std::isdigit(static_cast<unsigned char>(text[end])))) {
        code = code * (hex ? 16 : 10) + digitValue(text[end]);
        ++end;
      }
      if (end > from && code > 0 && code <= 0x10FFFF) {
        // The character in UTF-8, as the pages are written.
        if (code < 0x80) {
          out += static_cast<char>(code);
        } else if (code < 0x800) {
          out += static_cast<char>(0xC0 | (code >> 6));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
          out += static_cast<char>(0xE0 | (code >> 12));
          out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
          out += static_cast<char>(0xF0 | (code >> 18));
          out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
          out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (code & 0x3F));
        }
        i = end < text.size() && text[end] == ';' ? end : end - 1;
        replaced = true;
      }
    }
    if (!replaced) out += '&';
  }
  return out;
}

std::string decodedPercents(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(digitValue(text[i + 1]) * 16 + digitValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A link that names a scheme before any slash: "http:", "mailto:", or a drive ("C:").
std::optional<std::string> schemeOf(std::string_view link) {
  const size_t colon = link.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  const std::string_view scheme = link.substr(0, colon);
  if (!std::isalpha(static_cast<unsigned char>(scheme[0]))) return std::nullopt;
  for (char c : scheme)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return std::nullopt;
  return toLower(scheme);
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Where a link leads, as the audit follows it.
struct Target {
  enum Kind { kNone, kOutside, kInside } kind = kNone;
  std::string path;  // kInside: relative to the album folder, names as the link spells them
};

// The target of `link` in the page `page` (relative to the album folder). Links of another
// scheme (http, mailto, javascript) and links within the page lead nowhere the audit goes.
Target targetOf(const std::string& page, const std::string& link) {
  std::string text = link;
  while (!text.empty() && isSpace(text.front())) text.erase(text.begin());
  while (!text.empty() && isSpace(text.back())) text.pop_back();
  if (text.empty() || text[0] == '#') return {};
  // A browser takes a backslash in a web address for a slash.
  std::replace(text.begin(), text.end(), '\\', '/');
  if (const auto scheme = schemeOf(text))
    return scheme->size() == 1 || *scheme == "file" ? Target{Target::kOutside, {}} : Target{};
  text = text.substr(0, text.find_first_of("?#"));
  if (text.empty()) return {};
  if (text[0] == '/') return {Target::kOutside, {}};
  std::vector<std::string> names;
  const std::string folder = folderOf(page);
  std::istringstream parts(folder.empty() ? decodedPercents(text)
                                          : folder + "/" + decodedPercents(text));
  for (std::string name; std::getline(parts, name, '/');) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names.empty()) return {Target::kOutside, {}};
      names.pop_back();
    } else {
      names.push_back(name);
    }
  }
  if (names.empty()) return {};  // the album folder itself
  std::string path;
  for (const std::string& name : names) path = joined(path, name);
  return {Target::kInside, path};
}

class Audit {
 public:
  explicit Audit(fs::path root) : root_(std::move(root)) {}

  void run(const std::string& page, AlbumReport& report) {
    followLinks(page, report);
    walkFolder("", report);
    std::sort(report.orphans.begin(), report.orphans.end());
    std::sort(report.hiddenFiles.begin(), report.hiddenFiles.end());
    std::sort(report.programRecords.begin(), report.programRecords.end());
  }

 private:
  enum class Found { kExact, kOtherCase, kMissing };

  // The names of a folder of the album as the disk spells them, read once.
  const std::vector<std::string>& namesIn(const std::string& folder) {
    auto it = listings_.find(folder);
    if (it != listings_.end()) return it->second;
    std::vector<std::string>& names = listings_[folder];
    std::error_code error;
    for (fs::directory_iterator entry(root_ / folder, error), end; !error && entry != end;
         entry.increment(error))
      names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Looks up `path` name by name with the exact letter case, as a web server does; when that
  // fails, in any letter case, to tell the user which file was meant. `onDisk` is the path as
  // the disk spells it.
  Found lookUp(const std::string& path, std::string& onDisk) {
    Found found = Found::kExact;
    onDisk.clear();
    std::istringstream parts(path);
    for (std::string name; std::getline(parts, name, '/');) {
      const std::vector<std::string>& names = namesIn(onDisk);
      if (std::binary_search(names.begin(), names.end(), name)) {
        onDisk = joined(onDisk, name);
        continue;
      }
      const auto other = std::find_if(names.begin(), names.end(), [&name](const std::string& n) {
        return sameNoCase(n, name);
      });
      if (other == names.end()) return Found::kMissing;
      onDisk = joined(onDisk, *other);
      found = Found::kOtherCase;
    }
    return found;
  }

  bool isRegularFile(const std::string& relative) {
    std::error_code error;
    return fs::is_regular_file(root_ / relative, error);
  }

  // The pages from `page` on, each read once, and every link they hold.
  void followLinks(const std::string& page, AlbumReport& report) {
    std::deque<std::string> pages{page};
    linked_.insert(page);
    while (!pages.empty()) {
      const std::string current = pages.front();
      pages.pop_front();
      report.pages.push_back(current);
      std::ifstream in(root_ / current, std::ios::binary);
      const std::string markup{std::istreambuf_iterator<char>(in), {}};
      std::set<std::pair<std::string, std::string>> told;
      for (const std::string& link : linksOfPage(markup)) {
        const Target target = targetOf(current, link);
        if (target.kind == Target::kNone) continue;
        BrokenLink broken{current, link, LinkProblem::kOutside, {}};
        if (target.kind == Target::kInside) {
          const Found found = lookUp(target.path, broken.onDisk);
          if (found == Found::kMissing) {
            broken.problem = LinkProblem::kMissing;
            broken.onDisk.clear();
          } else {
            // A file reached in another letter case is still the album's: told as a broken
            // link, and followed, so that what it links is not taken for orphans too.
            if (linked_.insert(broken.onDisk).second && isPageName(broken.onDisk) &&
                isRegularFile(broken.onDisk))
              pages.push_back(broken.onDisk);
            if (found == Found::kExact) continue;
            broken.problem = LinkProblem::kCaseDiffers;
          }
        }
        if (told.insert({link, broken.onDisk}).second) report.brokenLinks.push_back(broken);
      }
    }
  }

  // One file of the album, as an upload takes it: counted, and its picture read for metadata
  // unless the program made it from its own folder.
  void take(const std::string& relative, bool programPicture, AlbumReport& report) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(root_ / relative, error);
    ++report.files;
    if (!error) report.bytes += size;
    if (programPicture || !isPictureName(relative)) return;
    std::ifstream in(root_ / relative, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const PrivateMetadata found = privateMetadataOf(bytes);
    if (found.any()) report.privateMetadata.push_back({relative, found});
  }

  void countTree(const fs::path& folder, AlbumReport& report) {
    std::error_code error;
    for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
      std::error_code sizeError;
      if (!entry->is_regular_file(sizeError)) continue;
      ++report.files;
      const std::uintmax_t size = entry->file_size(sizeError);
      if (!sizeError) report.bytes += size;
    }
  }

  // Every file of the page's folder and below: what an upload of that folder would take.
  void walkFolder(const std::string& folder, AlbumReport& report) {
    const bool atTop = folder.empty();
    const bool inEntryFolder = !atTop && isEntryFolderName(firstName(folder));
    for (const std::string& name : namesIn(folder)) {
      const std::string relative = joined(folder, name);
      std::error_code error;
      const fs::file_status status = fs::symlink_status(root_ / relative, error);
      if (error) continue;
      if (fs::is_directory(status)) {
        if (name[0] == '.') {  // told whole, and counted as the upload would take it
          report.hiddenFiles.push_back(relative + "/");
          countTree(root_ / relative, report);
        } else {
          walkFolder(relative, report);
        }
        continue;
      }
      const bool linked = linked_.count(relative) > 0;
      const bool record = isRecordName(name) && (atTop || inEntryFolder);
      const bool entryFolderLevel = inEntryFolder && firstName(folder) == folder;
      // The program's own: the site files beside the page, the navigation pictures, copies,
      // thumbnails and slideshow page of an entry folder (an entry folder no page links is the
      // index of pages' own, for one). Never orphans, whether linked or not.
      const bool programFile =
          (atTop && isSiteFileName(name)) ||
          (entryFolderLevel && (isNavigationPictureName(name) || isEntryFileName(name)));
      const bool hidden = name[0] == '.';
      if (record)
        report.programRecords.push_back(relative);
      else if (hidden)
        report.hiddenFiles.push_back(relative);
      if (!(linked || record || programFile || inEntryFolder || hidden))
        continue;  // the user's own file beside the album
      if (!linked && !record && !programFile && !hidden) report.orphans.push_back(relative);
      const bool sitePicture = programFile && !isEntryFileName(name);
      take(relative, sitePicture, report);
    }
  }

  fs::path root_;
  std::map<std::string, std::vector<std::string>> listings_;
  std::set<std::string> linked_;  // as the disk spells them
};

}  // namespace

std::string_view problemName(LinkProblem problem) {
  switch (problem) {
    case LinkProblem::kMissing:
      return "missing";
    case LinkProblem::kCaseDiffers:
      return "case";
    case LinkProblem::kOutside:
      return "outside";
  }
  return "missing";
}

std::vector<std::string> linksOfPage(std::string_view markup) {
  std::vector<std::string> links;
  size_t at = 0;
  const auto skipSpaces = [&] {
    while (at < markup.size() && isSpace(markup[at])) ++at;
  };
  while ((at = markup.find('<', at)) != std::string_view::npos) {
    if (markup.substr(at, 4) == "<!--") {
      const size_t end = markup.find("-->", at + 4);
      at = end == std::string_view::npos ? markup.size() : end + 3;
      continue;
    }
    ++at;
    const size_t nameStart = at;
    while (at < markup.size() && std::isalnum(static_cast<unsigned char>(markup[at]))) ++at;
    if (at == nameStart) continue;  // text, a closing tag or a declaration
    const std::string tag = toLower(markup.substr(nameStart, at - nameStart));
    // The attributes, up to the end of the tag.
    while (true) {
      skipSpaces();
      if (at >= markup.size() || markup[at] == '>') break;
      if (markup[at] == '/') {
        ++at;
        continue;
      }
      const size_t attributeStart = at;
      while (at < markup.size() && !isSpace(markup[at]) && markup[at] != '=' && markup[at] != '>' &&
             markup[at] != '/')
        ++at;
      const std::string attribute = toLower(markup.substr(attributeStart, at - attributeStart));
      skipSpaces();
      if (at >= markup.size() || markup[at] != '=') continue;
      ++at;
      skipSpaces();
      std::string_view value;
      if (at < markup.size() && (markup[at] == '"' || markup[at] == '\'')) {
        const size_t end = markup.find(markup[at], at + 1);
        const size_t stop = end == std::string_view::npos ? markup.size() : end;
        value = markup.substr(at + 1, stop - at - 1);
        at = std::min(stop + 1, markup.size());
      } else {
        const size_t valueStart = at;
        while (at < markup.size() && !isSpace(markup[at]) && markup[at] != '>') ++at;
        value = markup.substr(valueStart, at - valueStart);
      }
      if (attribute == "href" || attribute == "src" || attribute == "background" ||
          attribute == "data-grande")
        links.push_back(decodedEntities(value));
    }
    // A script or a style sheet runs to its closing tag: its text holds no tags.
    if (tag == "script" || tag == "style") {
      const std::string close = "</" + tag;
      size_t end = at;
      while (end < markup.size() && !startsWithNoCase(markup, end, close)) {
        end = markup.find('<', end + 1);
        if (end == std::string_view::npos) end = markup.size();
      }
      at = end;
    }
  }
  return links;
}

AlbumCheck checkAlbum(const fs::path& page) {
  std::error_code error;
  const fs::path absolute = fs::absolute(page, error).lexically_normal();
  if (error) return {std::nullopt, error.message()};
  if (!fs::is_regular_file(absolute, error))
    return {std::nullopt, fs::exists(absolute) ? "not a file" : "no such file"};
  if (!std::ifstream(absolute, std::ios::binary)) return {std::nullopt, "cannot be read"};
  AlbumReport report;
  report.page = absolute;
  Audit(absolute.parent_path()).run(absolute.filename().string(), report);
  return {std::move(report), {}};
}

}  // namespace vortena
