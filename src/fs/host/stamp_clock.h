// How far a file's or folder's times can be trusted to tell a later change.
//
// A stored listing or stamp is compared with the entry's stat to learn whether anything changed
// since. That holds only when any later change must give the entry other times, and a file
// system's clock has a step (its granule): whole seconds on ext4 with small inodes, two
// seconds for the modification time on FAT and exFAT cards, one tick of the kernel's coarse
// clock (a few milliseconds) where times carry nanoseconds. A change made within the granule
// of the last one may keep the same times; so a stat is "settled" only when the moment it was
// taken lies in a later granule than the entry's last change: a change after that moment then
// gets later times. A stat that is not settled tells nothing of the changes to come, and
// nothing stored from it may be trusted later (the same care as version-control systems take
// with "racily clean" index entries).
//
// The granule comes from the file system's type where the type says it (FAT, exFAT), else from
// the times themselves: times of whole seconds on a file system known to keep seconds (ext2, 3
// and 4 with small inodes) give one second, on any other two; times with a fraction give the
// coarsest decimal step the fraction allows, and never less than the coarse clock's tick. A
// network or user-space file system is stamped by another machine's or program's clock, which
// cannot be compared with this one: its stats never settle.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <string>

namespace vortena {

inline std::int64_t nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The clock the kernel stamps changes with (CLOCK_REALTIME_COARSE), now. Read it before the
// stat it goes with.
timespec stampClockNow();

// The granule in nanoseconds of the times in `st`, the stat of the entry at host path `host`;
// kNeverSettles where the times cannot be compared with this machine's clock.
inline constexpr std::int64_t kNeverSettles = INT64_MAX;
std::int64_t timeGranule(const std::string& host, const struct stat& st);

// Whether any change of the entry after `before` (stampClockNow() read before `st` was taken)
// gives it other times than `st` has.
bool stampSettled(const std::string& host, const struct stat& st, const timespec& before);

}  // namespace vortena
