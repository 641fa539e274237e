#include "pagewriter/copy_queue.h"

#include <utility>

namespace vortena {

void CopiesFirstUi::beep() {
  copies_.then([this] { ui_.beep(); });
}

void CopiesFirstUi::message(const std::string& text) {
  copies_.deliver();
  ui_.message(text);
}

bool CopiesFirstUi::question(const std::string& text) {
  copies_.deliver();
  return ui_.question(text);
}

void CopiesFirstUi::setPointer(Pointer pointer) {
  copies_.then([this, pointer] { ui_.setPointer(pointer); });
}

void CopiesFirstUi::processEvents() {
  copies_.deliverReady();
  ui_.processEvents();
}

void CopiesFirstUi::endProgram() {
  copies_.deliver();
  ui_.endProgram();
}

void CopiesFirstUi::progress(long done, long total) {
  copies_.then([this, done, total] { ui_.progress(done, total); });
}

CopyQueue::~CopyQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void CopyQueue::copy(std::string from, std::string to, Failed failed) {
  if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
  push({std::move(from), std::move(to), std::move(failed), nullptr, {}, false});
  deliverReady();
  deliverWhile(true, kMaxWaiting);
}

void CopyQueue::then(std::function<void()> action) {
  push({{}, {}, nullptr, std::move(action), {}, true});
  deliverReady();
}

void CopyQueue::push(Item item) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (!item.action) {
      ++copies_;
      wake = workerIdle_;
    }
    items_.push_back(std::move(item));
  }
  if (wake) queued_.notify_one();
}

void CopyQueue::deliverReady() { deliverWhile(false, 0); }

void CopyQueue::deliver() { deliverWhile(true, 0); }

void CopyQueue::deliverWhile(bool wait, std::size_t untilBelow) {
  // A result being delivered tells its failure through ui(), which asks for the results before
  // it: those are all delivered already, so the order holds as it is.
  if (delivering_) return;
  delivering_ = true;
  for (;;) {
    Item item;
    {
      std::unique_lock lock(mutex_);
      if (items_.empty() || (untilBelow != 0 && copies_ <= untilBelow)) break;
      if (!items_.front().done) {
        if (!wait) break;
        waiting_ = true;
        made_.wait(lock, [this] { return items_.front().done; });
        waiting_ = false;
      }
      item = std::move(items_.front());
      items_.pop_front();
      // An action may leave before the worker passed it; a copy only once it is made.
      if (next_ > 0) --next_;
      if (!item.action) --copies_;
    }
    try {
      if (item.action) {
        item.action();
      } else if (!item.status.ok()) {
        ++failures_;
        if (item.failed) item.failed(item.status);
      }
    } catch (...) {
      delivering_ = false;
      throw;
    }
  }
  delivering_ = false;
}

void CopyQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    while (!stopping_ && next_ >= items_.size()) {
      workerIdle_ = true;
      queued_.wait(lock);
      workerIdle_ = false;
    }
    if (stopping_) return;
    // The item stays where it is until it is done: only done items leave the front, and more
    // items at the back leave it in place.
    Item& item = items_[next_];
    ++next_;
    if (item.action) continue;
    lock.unlock();
    const FsStatus status = fs_.copyFile(item.from, item.to);
    lock.lock();
    item.status = status;
    item.done = true;
    if (waiting_) made_.notify_all();
  }
}

}  // namespace vortena
