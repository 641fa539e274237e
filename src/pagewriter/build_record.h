// The build record: what the builds left in an album folder, kept in a hidden file beside the
// album page, so that a rebuild tells an unchanged entry folder by a look at the folder and at
// each of its sources instead of a look at its every file, and knows which entry folders and
// numbered pages beside the page are the program's own.
//
// A folder is recorded once it was completed without a failure: its stamp at that moment, the
// stamp and copy name of each of its sources, and digests of what its navigation pictures and
// its slideshow page were made from. A rebuild that finds the folder under the same name with
// the same stamp (no name made, removed or renamed in it since, by anyone) and a source with the
// same stamp and copy name leaves that copy as it is; when the navigation pictures and the
// slideshow's inputs are the same too, it writes nothing in the folder. Anything else is built
// as without a record, and recorded afresh.
//
// Stamps are trusted only where a later change must show in them (fs/host/stamp_clock.h): a folder
// whose last change, or a source whose last change, lay within the file system's clock granule
// of the look (whole seconds on many cards and sticks) is not recorded, and the next build
// looks at all of that folder's files. A source replaced by another file, even of the same size
// and times, has another identity or change time, and is copied again. What the record does not
// see: a file of an entry folder edited in place while its folder's names stay as they are (the
// album is the program's output, not a file it guards).
//
// Every line of the record carries a digest of itself: a damaged line is a miss. A build that
// finds no record of the program's beside the page (the first build, or the user removed it
// to have every file checked) compares every copy it keeps with its source, byte for byte.
// Every build that runs to its end writes the record, so its presence never depends on timing;
// a build that stops early after such a full check leaves none, and the next one checks again.
//
// The record is otherwise only a saving: a missing, unreadable or foreign one is built without,
// and one that cannot be written leaves the earlier one, whose stamps no longer match the
// folders this build changed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/digest.h"
#include "fs/file_system.h"

namespace vortena {

// Name of the record in the album page's folder; hidden, so that no listing shows it.
inline constexpr std::string_view kBuildRecordName = ".cartelle_album";

// The slideshow template of the program folder, read once per build.
struct SlideshowTemplate {
  bool read = false;  // false: the template could not be opened; the pages are left empty
  std::vector<std::string> lines;
  std::vector<std::string> lowered;  // each line with ASCII letters in lower case, made once
  std::uint64_t digest = 0;
};

class BuildRecord {
 public:
  struct Folder {
    EntryStamp stamp;                    // the folder once completed
    std::uint64_t navigation = 0;        // the navigation pictures copied into it
    std::uint64_t slideshow = 0;         // what its slideshow page was made from
    std::vector<std::uint64_t> entries;  // each copy: its source's stamp and its name
  };

  // `persistent` false: a record of one page pass only, never read from or written to disk.
  BuildRecord(FileSystem& fs, std::string programFolder, bool persistent = true);

  // Folder `name` ("dir_0001" as written) of the album folder `albumFolder` (drive form with
  // its trailing backslash, empty for the current folder) as the last build left it; null
  // when it is not recorded. The album folder's record is read at its first look.
  const Folder* find(const std::string& albumFolder, const std::string& name);
  // Folder `name` of `albumFolder`, completed by this build and stamped just after
  // (folder.stamp). It is recorded at the save when it still has that stamp then and the stamp
  // has settled (EntryStamp::settled), and forgotten otherwise: a change by anyone after the
  // save then gives it another stamp.
  void putWhenSettled(const std::string& albumFolder, const std::string& name, Folder folder);
  void forget(const std::string& albumFolder, const std::string& name);

  // Whether `albumFolder` has no record of the program's (none, of another format, or not
  // readable): the build then compares every copy it keeps with its source.
  bool checkEveryCopy(const std::string& albumFolder);

  // The program made, or wrote in, the entry folder or page `name` of `albumFolder`: what now
  // stands under that name is the program's own, until it is replaced by something else.
  void made(const std::string& albumFolder, const std::string& name);
  // Whether `name` of `albumFolder` is, by this record, the entry folder or page the program
  // made there: the same file or folder (its identity), not one of the user's that took the
  // name since.
  bool madeByProgram(const std::string& albumFolder, const std::string& name);
  // `name` is no longer there: the record forgets it.
  void removed(const std::string& albumFolder, const std::string& name);

  // Writes the record of every album folder this build wrote in, whole: the folders it
  // recorded and the names it made. `completed` false (the build stopped early): only records
  // that were there already are written, so that an album checked in full stays so until a
  // build runs to its end. A failure leaves the earlier record (the next build then looks at
  // more files, nothing else).
  void save(bool completed = true);

  // The program folder's inputs of the entry folders, read once per build: the digest of the
  // navigation pictures' stamps, and the slideshow template.
  std::uint64_t navigationDigest();
  const SlideshowTemplate& slideshowTemplate();

  // The digest of one copy: its source's stamp and the copy's name.
  static std::uint64_t entryDigest(const EntryStamp& source, const std::string& copyName);

 private:
  // The identity of an entry folder or page the program made.
  struct Made {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Made&) const = default;
  };
  struct AlbumRecord {
    std::string folder;  // the album folder it is kept in, as albumFolder below
    std::string path() const { return folder + std::string(kBuildRecordName); }
    bool mayWrite = true;  // false when a file of that name is not a record of the program's
    bool found = false;    // a record of the program's was read
    bool changed = false;
    std::unordered_map<std::string, Folder> folders;
    std::unordered_map<std::string, Made> made;           // by upper-cased name
    std::vector<std::pair<std::string, Folder>> pending;  // see putWhenSettled
  };
  AlbumRecord& album(const std::string& albumFolder);
  void put(const std::string& albumFolder, const std::string& name, Folder folder);
  void load(AlbumRecord& record);
  FsStatus write(const AlbumRecord& record);

  FileSystem& fs_;
  std::string programFolder_;
  bool persistent_;
  std::map<std::string, AlbumRecord> albums_;  // by upper-cased album folder
  bool haveNavigation_ = false;
  std::uint64_t navigation_ = 0;
  std::unique_ptr<SlideshowTemplate> slideshow_;
};

}  // namespace vortena
