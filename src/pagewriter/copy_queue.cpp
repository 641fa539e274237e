#include "pagewriter/copy_queue.h"

#include <utility>

namespace vortena {

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
  deliverWhile(true, [this] {
    std::lock_guard lock(mutex_);
    return copies_ > kMaxWaiting;
  });
}

void CopyQueue::then(std::function<void()> action) {
  push({{}, {}, nullptr, std::move(action), {}, true});
  deliverReady();
}

void CopyQueue::push(Item item) {
  {
    std::lock_guard lock(mutex_);
    if (!item.action) ++copies_;
    items_.push_back(std::move(item));
  }
  queued_.notify_one();
}

void CopyQueue::deliverReady() {
  deliverWhile(false, [] { return true; });
}

void CopyQueue::deliver() {
  deliverWhile(true, [] { return true; });
}

void CopyQueue::deliverWhile(bool wait, const std::function<bool()>& more) {
  // A result being delivered tells its failure through the pass's interface, which asks for
  // the results before it: those are all delivered already, so the order holds as it is.
  if (delivering_) return;
  delivering_ = true;
  while (more()) {
    Item item;
    {
      std::unique_lock lock(mutex_);
      if (items_.empty()) break;
      if (!items_.front().done) {
        if (!wait) break;
        made_.wait(lock, [this] { return items_.front().done; });
      }
      item = std::move(items_.front());
      items_.pop_front();
      // An action may leave before the worker passed it; a copy only once it is made.
      if (next_ > 0) --next_;
      if (!item.action) --copies_;
    }
    try {
      if (item.action)
        item.action();
      else if (!item.status.ok() && item.failed)
        item.failed(item.status);
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
    queued_.wait(lock, [this] { return stopping_ || next_ < items_.size(); });
    if (stopping_) return;
    // The item stays where it is until it is done: only done items leave the front, and more
    // items at the back leave it in place.
    Item& item = items_[next_];
    if (!item.action) {
      lock.unlock();
      const FsStatus status = fs_.copyFile(item.from, item.to);
      lock.lock();
      item.status = status;
      item.done = true;
    }
    ++next_;
    made_.notify_all();
  }
}

}  // namespace vortena
