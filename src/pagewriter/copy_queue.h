// The byte copies of a build, made on a thread of their own while the page passes go on: the
// disk work of one entry folder overlaps the next entry's, and the next page's, so a build
// takes little more than its copies alone. What the user sees stays as if every copy were made
// where it is asked for: the result of each copy, and each action queued after copies, comes
// back on the build's thread in the order they were queued, and everything the build tells
// the user goes through ui(), which keeps it behind the copies queued before it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "core/services.h"
#include "fs/file_system.h"

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

 private:
  Ui& ui_;
  CopyQueue& copies_;
};

class CopyQueue {
 public:
  // The copies are made through `fs`, whose copyFile runs beside the build's own calls; `ui` is
  // the user's.
  CopyQueue(FileSystem& fs, Ui& ui) : fs_(fs), ui_(ui, *this) {}
  // Waits for the copy under way; copies not begun are not made, and results not delivered are
  // dropped. Whoever owns the queue delivers everything before it goes (deliver).
  ~CopyQueue();
  CopyQueue(const CopyQueue&) = delete;
  CopyQueue& operator=(const CopyQueue&) = delete;

  // The user interface that keeps everything in the order of the work; it lives as long as the
  // queue, so a result delivered after the page pass that queued it may still tell the user.
  Ui& ui() { return ui_; }

  using Failed = std::function<void(FsStatus)>;
  // Queues FileSystem::copyFile(from, to); `failed` gets its status when it failed.
  void copy(std::string from, std::string to, Failed failed);
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

  // Copies queued and not delivered beyond which copy() waits for the oldest: memory stays
  // bounded however far the disk falls behind.
  static constexpr std::size_t kMaxWaiting = 64;

 private:
  struct Item {
    std::string from, to;
    Failed failed;
    std::function<void()> action;  // set for an action, which has no copy
    FsStatus status;
    bool done = false;  // the copy is made (an action is done from the start)
  };
  void push(Item item);
  // Delivers from the front; `wait`: waits for a copy not yet made. Stops, when `untilBelow` is
  // not 0, once no more than that many copies wait.
  void deliverWhile(bool wait, std::size_t untilBelow);
  void work();

  FileSystem& fs_;
  CopiesFirstUi ui_;
  std::mutex mutex_;
  std::condition_variable queued_, made_;
  std::deque<Item> items_;  // not yet delivered, in order
  std::size_t next_ = 0;    // index in items_ of the next item for the worker
  std::size_t copies_ = 0;  // copies in items_
  bool stopping_ = false;
  bool workerIdle_ = false;  // the worker waits for a copy: a new one wakes it
  bool waiting_ = false;     // the build waits for a copy: its end wakes it
  bool delivering_ = false;  // a delivered result is being told (its message may ask again)
  long failures_ = 0;
  std::thread worker_;  // started with the first copy
};

}  // namespace vortena
