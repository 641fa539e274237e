#include "pagewriter/copy_queue.h"

#include <utility>

#include "core/text.h"

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

void CopiesFirstUi::tellNow(const std::string& text) {
  ui_.beep();
  ui_.message(text);
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
  for (std::thread& worker : workers_) worker.join();
}

void CopyQueue::copy(std::string from, std::string to, Failed failed, EarlierCopy earlier) {
  if (stopped_) return;
  if (workers_.empty())
    for (int i = 0; i < kWorkers; ++i) workers_.emplace_back([this] { work(); });
  if (folders_ && !isFullDrivePath(from)) from = folders_->fullPath(from);
  if (folders_ && !isFullDrivePath(to)) to = folders_->fullPath(to);
  Item item;
  item.earlier = earlier;
  item.fromKey = toUpper(from);
  item.toKey = toUpper(to);
  item.from = std::move(from);
  item.to = std::move(to);
  item.failed = std::move(failed);
  push(std::move(item));
  deliverReady();
  // Past the bound, half the copies are awaited at once: the build and the workers then each
  // go on for a while instead of taking turns at every copy.
  if (copies_ > kMaxWaiting) deliverWhile(true, kMaxWaiting / 2);
}

void CopyQueue::then(std::function<void()> action) {
  Item item;
  item.action = std::move(action);
  item.done = true;
  push(std::move(item));
  deliverReady();
}

void CopyQueue::push(Item item) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (!item.action) ++copies_;
    items_.push_back(std::move(item));
    wake = idle_ > 0 && items_.size() - next_ >= kWakeBatch;
  }
  if (wake) queued_.notify_one();
}

void CopyQueue::deliverReady() { deliverWhile(false, 0); }

void CopyQueue::deliver() { deliverWhile(true, 0); }

bool CopyQueue::madeThrough(std::size_t last) const {
  for (std::size_t i = 0; i <= last; ++i)
    if (!items_[i].done) return false;
  return true;
}

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
        // Up to the copy that brings the count down to `untilBelow` (the last one for none):
        // the workers wake the build once, when all of those are made, not at every copy.
        std::size_t last = items_.size() - 1;
        for (std::size_t i = 0, over = copies_ - untilBelow; untilBelow != 0; ++i)
          if (!items_[i].action && --over == 0) {
            last = i;
            break;
          }
        awaited_ = last;
        waiting_ = true;
        if (idle_ > 0) queued_.notify_all();  // the copies fewer than a batch are made now
        made_.wait(lock, [this, last] { return madeThrough(last); });
        waiting_ = false;
      }
      item = std::move(items_.front());
      items_.pop_front();
      // An action may leave before a worker passed it; a copy only once it is made.
      if (next_ > 0) --next_;
      if (!item.action) --copies_;
    }
    try {
      if (item.action) {
        item.action();
      } else if (!item.status.ok()) {
        ++failures_;
        if (item.unexpected)
          tellUnexpected(ui(), "copy of " + item.to, item.unexpected);
        else if (item.failed && failureToTell(item.status, item.to))
          item.failed(item.status);
      }
    } catch (...) {
      delivering_ = false;
      throw;
    }
  }
  delivering_ = false;
}

bool CopyQueue::failureToTell(FsStatus status, const std::string& path) {
  if (status.ok()) return false;
  // The failures of the copies queued before come first, in the order of the work.
  if (!delivering_) deliver();
  if (stopped_) return false;
  if (status.number != kDiskFull) return true;
  stopped_ = true;
  {
    std::lock_guard lock(mutex_);
    dropWaitingCopies();
  }
  ui_.tellNow("Disco pieno: creazione dell'album interrotta in " + path + "\r\r" +
              "Le pagine e i file che c'erano sono rimasti come erano; quelli non completati "
              "non sono stati scritti." +
              "\r\r" + " ERR=" + signedNumber(status.number) + " - " + status.description());
  return false;
}

void CopyQueue::dropWaitingCopies() {
  for (std::size_t i = next_; i < items_.size(); ++i)
    if (!items_[i].action && !items_[i].busy) items_[i].done = true;
  next_ = items_.size();
  if (waiting_ && madeThrough(awaited_)) made_.notify_all();
}

CopyQueue::Item* CopyQueue::take() {
  while (next_ < items_.size() && items_[next_].action) ++next_;
  if (next_ >= items_.size()) return nullptr;
  Item& item = items_[next_];
  // A copy that reads or writes a file another copy under way writes (or reads, for a
  // destination) waits for it: copies of one file are made in the order queued. Paths are
  // compared as written; the build names each file of the album one way.
  for (std::size_t i = 0; i < next_; ++i) {
    const Item& other = items_[i];
    if (other.busy &&
        (other.toKey == item.toKey || other.toKey == item.fromKey || other.fromKey == item.toKey)) {
      heldBack_ = true;
      return nullptr;
    }
  }
  ++next_;
  item.busy = true;
  return &item;
}

void CopyQueue::work() {
  fs_.copiesInBackground();
  std::unique_lock lock(mutex_);
  for (;;) {
    Item* item = nullptr;
    while (!stopping_ && !(item = take())) {
      ++idle_;
      queued_.wait(lock);
      --idle_;
    }
    if (stopping_) return;
    // The item stays where it is until it is done: only done items leave the front, and more
    // items at the back leave it in place.
    lock.unlock();
    FsStatus status;
    std::exception_ptr unexpected;
    // Nothing may leave a worker: a failure of any kind comes back to the build's thread.
    try {
      status = fs_.copyFile(item->from, item->to, item->earlier);
    } catch (...) {
      unexpected = std::current_exception();
      status = FsStatus{kPathFileAccess};
    }
    lock.lock();
    item->status = status;
    item->unexpected = unexpected;
    item->done = true;
    item->busy = false;
    if (waiting_ && madeThrough(awaited_)) made_.notify_all();
    if (std::exchange(heldBack_, false)) queued_.notify_all();
  }
}

}  // namespace vortena
