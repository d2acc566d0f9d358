#include "band_helper.h"

namespace des {

BandHelper::BandHelper() : thread_([this] { Loop(); }) {}

BandHelper::~BandHelper() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BandHelper::Loop() {
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    changed_.wait(hold, [this] { return quit_ || job_; });
    if (quit_) return;
    std::function<void()> job = job_;
    hold.unlock();
    job();
    hold.lock();
    job_ = nullptr;
    changed_.notify_all();
  }
}

void BandHelper::Split(int count, const std::function<void(int, int)>& work) {
  constexpr int kLeast = 64;  // rows worth handing over
  if (count < 2 * kLeast) {
    work(0, count);
    return;
  }
  const int middle = count / 2;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    job_ = [&work, middle, count] { work(middle, count); };
  }
  changed_.notify_all();
  work(0, middle);
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [this] { return !job_; });
}

}  // namespace des
