#include "band_helper.h"

#include <algorithm>

namespace des {

namespace {
constexpr int kLeast = 64;  // rows worth handing over
constexpr unsigned kMostHelpers = 3;
}  // namespace

BandHelper::BandHelper() {
  const unsigned helpers = std::clamp(std::thread::hardware_concurrency(), 2u, kMostHelpers + 1) - 1;
  for (unsigned i = 0; i < helpers; ++i) threads_.emplace_back([this, i] { Loop(i); });
}

BandHelper::~BandHelper() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void BandHelper::Loop(size_t index) {
  std::unique_lock<std::mutex> hold(mutex_);
  uint64_t seen = 0;  // the rounds start after the constructor, whenever this thread gets going
  for (;;) {
    changed_.wait(hold, [&] { return quit_ || round_ != seen; });
    if (quit_) return;
    seen = round_;
    const int band = int(index) + 1;
    if (band >= bands_) continue;  // this round needs fewer helpers
    const int first = band * count_ / bands_, end = (band + 1) * count_ / bands_;
    const auto* work = work_;
    hold.unlock();
    (*work)(first, end);
    hold.lock();
    if (--pending_ == 0) changed_.notify_all();
  }
}

void BandHelper::Split(int count, const std::function<void(int, int)>& work) {
  const int bands = std::min(int(threads_.size()) + 1, count / kLeast);
  if (bands < 2) {
    work(0, count);
    return;
  }
  {
    std::lock_guard<std::mutex> hold(mutex_);
    work_ = &work;
    count_ = count;
    bands_ = bands;
    pending_ = bands - 1;
    ++round_;
  }
  changed_.notify_all();
  work(0, count / bands);
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [this] { return pending_ == 0; });
}

}  // namespace des
