#include "dshow/hand_off_worker.h"

#include <utility>

namespace dshow::filters {

HandOffWorker::HandOffWorker() : thread_([this] { Run(); }) {}

HandOffWorker::~HandOffWorker() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

HRESULT HandOffWorker::Hand(Job job) {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [&] { return !job_; });
  if (failure_ != S_OK) return failure_;
  job_ = std::move(job);
  changed_.notify_all();
  return S_OK;
}

HRESULT HandOffWorker::Finish() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [&] { return !job_; });
  return failure_;
}

void HandOffWorker::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [&] { return job_ || quit_; });
    if (!job_) return;
    // Nobody touches the job in hand until it is done.
    hold.unlock();
    const HRESULT hr = job_();
    hold.lock();
    if (hr != S_OK && failure_ == S_OK) failure_ = hr;
    job_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace dshow::filters
