// The album page being written by a pass: its open file, the guarded and unguarded writes to
// it, and how the pass ended.
#pragma once

#include <memory>
#include <string_view>

#include "fs/file_system.h"
#include "pagewriter/page_types.h"

namespace vortena {

// Error number of a write to an album page that is not open (the open failed, or the write
// recovery closed it): reported like any other failure of the guarded stretch.
inline constexpr int kPageNotOpen = 52;
inline constexpr const char* kPageNotOpenDescription = "Nome o numero di file non valido";

class PageFile {
 public:
  // Takes the page just opened (a null writer leaves it closed).
  void open(std::unique_ptr<TextWriter> writer) { page_ = std::move(writer); }

  // Writes one line to the album page; kPageNotOpen when the page is not open.
  [[nodiscard]] FsStatus write(std::string_view line) {
    if (!page_) return FsStatus{kPageNotOpen};
    return page_->writeLine(line);
  }
  // A line written outside the guarded stretch (a header line, the grid, the footer): its
  // failure is not told at once; the first one is kept, and the page is then not kept at its
  // end.
  void writeUnguarded(std::string_view line) {
    FsStatus written = write(line);
    if (lostLine_.ok() && page_) lostLine_ = written;
  }
  // Gives up on the page being written: the file of that name keeps what it held before.
  void abandon() {
    page_.reset();
    lostLine_ = FsStatus{};
  }
  // Ends the page being written: only a page closed without any failure replaces the file of
  // that name. The failure of any line, of the flush or of the close is returned.
  [[nodiscard]] FsStatus finish() {
    if (!page_) return FsStatus{kPageNotOpen};
    const FsStatus closed = lostLine_.ok() ? page_->close() : lostLine_;
    abandon();
    return closed;
  }

  // How the pass ended, as far as the page is concerned.
  PageOutcome outcome = PageOutcome::NotWritten;

 private:
  std::unique_ptr<TextWriter> page_;  // empty while the page is not open
  FsStatus lostLine_;  // the first failed line of the open page outside the guarded stretch
};

}  // namespace vortena
