#include "imaging/picture_pool.h"

#include <algorithm>

namespace vortena {

PicturePool::PicturePool(unsigned workers) {
  startImaging();
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
}

PicturePool::~PicturePool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

std::future<WebPicture> PicturePool::submit(std::string bytes, const WebOptions& options) {
  std::packaged_task<WebPicture()> task(
      [bytes = std::move(bytes), options] { return makeWebPicture(bytes, options); });
  std::future<WebPicture> result = task.get_future();
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  ready_.notify_one();
  return result;
}

void PicturePool::work() {
  for (;;) {
    std::packaged_task<WebPicture()> task;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) break;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    task();
  }
  endImagingThread();
}

}  // namespace vortena
