#pragma once
// A thread kept to take half of the rows of a large picture while the caller works on the other
// half: per-frame work on a picture then takes about half as long on the group's thread.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace des {

class BandHelper {
 public:
  BandHelper();
  ~BandHelper();
  BandHelper(const BandHelper&) = delete;
  BandHelper& operator=(const BandHelper&) = delete;

  // Runs work(first, end) over [0, count) in two bands, the second on the helper; returns when
  // both are done. Small counts stay on the caller.
  void Split(int count, const std::function<void(int first, int end)>& work);

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;  // set by Split, cleared by the helper when done
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace des
