// The copies of a page pass, made on a thread of their own while the pass goes on: the disk
// work of one entry folder overlaps the next entry's, so a build takes little more than its
// copies alone. What the user sees stays as if every copy were made where it is asked for: the
// result of each copy, and each action queued after copies, comes back on the pass's thread in
// the order they were queued, and every message of the pass waits for the copies queued before
// it (CopiesFirstUi).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/services.h"
#include "fs/file_system.h"

namespace vortena {

class CopyQueue {
 public:
  // The copies are made through `fs`, whose copyFile runs beside the pass's own calls.
  explicit CopyQueue(FileSystem& fs) : fs_(fs) {}
  // Waits for the copy under way; copies not begun are not made, and results not delivered are
  // dropped. A pass delivers everything before it ends (deliver).
  ~CopyQueue();
  CopyQueue(const CopyQueue&) = delete;
  CopyQueue& operator=(const CopyQueue&) = delete;

  using Failed = std::function<void(FsStatus)>;
  // Queues FileSystem::copyFile(from, to); `failed` gets its status when it failed.
  void copy(std::string from, std::string to, Failed failed);
  // Queues an action to run once every copy queued before it has been delivered.
  void then(std::function<void()> action);
  // Delivers, in order, the results and actions that are ready, without waiting.
  void deliverReady();
  // Waits for every copy queued and delivers everything, in order.
  void deliver();

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
  // Delivers from the front while `more` says so; `wait`: waits for a copy not yet made.
  void deliverWhile(bool wait, const std::function<bool()>& more);
  void work();

  FileSystem& fs_;
  std::mutex mutex_;
  std::condition_variable queued_, made_;
  std::deque<Item> items_;  // not yet delivered, in order
  std::size_t next_ = 0;    // index in items_ of the next item for the worker
  std::size_t copies_ = 0;  // copies in items_
  bool stopping_ = false;
  bool delivering_ = false;  // a delivered result is being told (its message may ask again)
  std::thread worker_;       // started with the first copy
};

// The pass's user interface: every message, question, beep and the end of the program come
// after the results of the copies queued before them, so the user sees them in the order of
// the work. Letting the window process its events delivers the results already there; nothing
// else waits.
class CopiesFirstUi : public Ui {
 public:
  CopiesFirstUi(Ui& ui, CopyQueue& copies) : ui_(ui), copies_(copies) {}
  void beep() override {
    copies_.deliver();
    ui_.beep();
  }
  void message(const std::string& text) override {
    copies_.deliver();
    ui_.message(text);
  }
  bool question(const std::string& text) override {
    copies_.deliver();
    return ui_.question(text);
  }
  void setPointer(Pointer pointer) override { ui_.setPointer(pointer); }
  void processEvents() override {
    copies_.deliverReady();
    ui_.processEvents();
  }
  int screenWidth() const override { return ui_.screenWidth(); }
  void endProgram() override {
    copies_.deliver();
    ui_.endProgram();
  }
  void progress(long done, long total) override { ui_.progress(done, total); }

 private:
  Ui& ui_;
  CopyQueue& copies_;
};

}  // namespace vortena
