// Workers that make web pictures, one per core: the page pass hands each picture's bytes over
// and takes the results back in the order it asked for them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "imaging/web_picture.h"

namespace vortena {

class PicturePool {
 public:
  // `workers` 0: one per core.
  explicit PicturePool(unsigned workers = 0);
  // Waits for the pictures under way; those not started are dropped.
  ~PicturePool();
  PicturePool(const PicturePool&) = delete;
  PicturePool& operator=(const PicturePool&) = delete;

  std::future<WebPicture> submit(std::string bytes, const WebOptions& options);
  unsigned workers() const { return static_cast<unsigned>(threads_.size()); }

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::packaged_task<WebPicture()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace vortena
