// The byte copies of a build, made on threads of their own while the page passes go on: the
// disk work of one entry folder overlaps the next entry's, and the next page's, so a build
// takes little more than its copies alone. What the user sees stays as if every copy were made
// where it is asked for: the result of each copy, and each action queued after copies, comes
// back on the build's thread in the order they were queued, and everything the build tells
// the user goes through ui(), which keeps it behind the copies queued before it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/services.h"
#include "fs/file_system.h"
#include "fs/windows/drive_folders.h"

namespace vortena {

class CopyQueue;

// The user interface of a build with copies under way. Messages, questions and the end of the
// program wait for the copies queued before them and their results; beeps, the pointer and the
// progress take their place in the queue and come when the copies before them are done, without
// holding the build up. Letting the window process its events delivers the results already
// there first.
class CopiesFirstUi : public Ui {
 public:
  CopiesFirstUi(Ui& ui, CopyQueue& copies) : ui_(ui), copies_(copies) {}
  void beep() override;
  void message(const std::string& text) override;
  bool question(const std::string& text) override;
  void setPointer(Pointer pointer) override;
  void processEvents() override;
  int screenWidth() const override { return ui_.screenWidth(); }
  void endProgram() override;
  void progress(long done, long total) override;
  // A beep and a message at once, ahead of whatever waits in the queue.
  void tellNow(const std::string& text);

 private:
  Ui& ui_;
  CopyQueue& copies_;
};

class CopyQueue {
 public:
  // The copies are made through `fs`, whose copyFile runs beside the build's own calls; `ui` is
  // the user's. With `folders`, a copy's paths that are not full are made full with them as it
  // is queued, on the build's thread; without, they must be full already (the file system
  // refuses any other).
  CopyQueue(FileSystem& fs, Ui& ui, const DriveFolders* folders = nullptr)
      : fs_(fs), ui_(ui, *this), folders_(folders) {}
  // Waits for the copies under way; copies not begun are not made, and results not delivered
  // are dropped. Whoever owns the queue delivers everything before it goes (deliver).
  ~CopyQueue();
  CopyQueue(const CopyQueue&) = delete;
  CopyQueue& operator=(const CopyQueue&) = delete;

  // The user interface that keeps everything in the order of the work; it lives as long as the
  // queue, so a result delivered after the page pass that queued it may still tell the user.
  Ui& ui() { return ui_; }

  using Failed = std::function<void(FsStatus)>;
  // Queues FileSystem::copyFile(from, to, earlier); `failed` gets its status when it failed
  // (not after the build stopped on a full disk, see below). Nothing once the build stopped.
  void copy(std::string from, std::string to, Failed failed,
            EarlierCopy earlier = EarlierCopy::Keep);
  // Queues an action to run once every copy queued before it has been delivered: at once when
  // there is none.
  void then(std::function<void()> action);
  // Delivers, in order, the results and actions that are ready, without waiting.
  void deliverReady();
  // Waits for every copy queued and delivers everything, in order.
  void deliver();
  // The copies delivered as failed since the last call: an action queued after a folder's
  // copies (and after the action of the folder before) learns so whether they all arrived.
  long takeFailures() { return std::exchange(failures_, 0); }

  // A full disk ends the build at its first sign: every further write would fail the same way,
  // and each failure would be one more message to click. Every failure of the build passes
  // through here before it is told: the first full disk (61, at `path`) is told once, with
  // what was left as it was; the copies not begun are dropped and nothing more is queued.
  // True when the caller is to tell `status` itself; false when it is the full disk, or comes
  // after it (told already).
  bool failureToTell(FsStatus status, const std::string& path);
  // Whether the build stopped on a full disk: the page passes end at once, without their page.
  bool stopped() const { return stopped_; }

  // Copies queued and not delivered beyond which copy() waits until half of them are made:
  // memory stays bounded however far the disk falls behind.
  static constexpr std::size_t kMaxWaiting = 64;
  // Threads that make the copies, each taking the oldest copy not begun. Two keep the disk busy
  // while one of them waits for it; a copy and the build's own work share the processors, the
  // build's thread first (FileSystem::copiesInBackground): every copy waits behind it.
  static constexpr int kWorkers = 2;
  // Items not yet taken that wake an idle worker; fewer are made once the build waits for
  // them. A worker woken for every copy sleeps again after it, and when the build's own work is
  // the slower side (sources taking the build's letter case) the wakes cost more than the copies.
  static constexpr std::size_t kWakeBatch = 8;

 private:
  struct Item {
    std::string from, to;
    EarlierCopy earlier = EarlierCopy::Keep;
    Failed failed;
    std::function<void()> action;  // set for an action, which has no copy
    FsStatus status;
    // A failure the copy did not expect (it threw): told on the build's thread as such.
    std::exception_ptr unexpected;
    bool done = false;  // the copy is made (an action is done from the start)
    bool busy = false;  // a worker is making it
    // The two paths upper-cased: copies that share a file are made one after the other.
    std::string fromKey, toKey;
  };
  void push(Item item);
  // Delivers from the front; `wait`: waits for a copy not yet made. Stops, when `untilBelow` is
  // not 0, once no more than that many copies wait.
  void deliverWhile(bool wait, std::size_t untilBelow);
  // With the lock held: the next copy for a worker, marked busy; null when there is none, or
  // when it shares a file with a copy under way (it then waits for that one).
  Item* take();
  // With the lock held: every item up to index `last` is done.
  bool madeThrough(std::size_t last) const;
  void work();

  FileSystem& fs_;
  CopiesFirstUi ui_;
  const DriveFolders* folders_;
  std::mutex mutex_;
  std::condition_variable queued_, made_;
  std::deque<Item> items_;  // not yet delivered, in order
  std::size_t next_ = 0;    // index in items_ of the next item for a worker
  std::size_t copies_ = 0;  // copies in items_ (changed and read by the build's thread only)
  bool stopping_ = false;
  int idle_ = 0;             // workers waiting for a copy: a new one wakes one of them
  bool heldBack_ = false;    // a copy waits for one under way that shares a file with it
  bool waiting_ = false;     // the build waits for the items up to awaited_
  std::size_t awaited_ = 0;  // index in items_; only the build takes items out, and it waits
  bool delivering_ = false;  // a delivered result is being told (its message may ask again)
  long failures_ = 0;
  bool stopped_ = false;              // changed by the build's thread only
  std::vector<std::thread> workers_;  // started with the first copy
  // With the lock held: the copies not begun are done, unmade and not told.
  void dropWaitingCopies();
};

}  // namespace vortena
