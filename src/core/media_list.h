// The media list as a value: the entries a build works through, in order (full paths of files,
// or "<folder>" entries of a folder scan). The entries are kept one after the other in one
// string: a list of 100,000 paths costs their bytes and one number each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vortena {

class MediaList {
 public:
  MediaList() = default;
  MediaList(std::initializer_list<std::string_view> entries) {
    for (std::string_view entry : entries) add(entry);
  }

  void add(std::string_view entry) {
    text_.append(entry);
    ends_.push_back(text_.size());
  }
  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  // Entry i (0-based); it lasts until the list changes.
  std::string_view operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
  }
  bool operator==(const MediaList&) const = default;

 private:
  std::string text_;
  std::vector<std::size_t> ends_;
};

}  // namespace vortena
