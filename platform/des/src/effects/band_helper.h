#pragma once
// A few threads kept to take bands of the rows of a large picture while the caller works on the
// first band: per-frame work on a picture then takes a fraction of the time on the group's thread.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace des {

class BandHelper {
 public:
  BandHelper();
  ~BandHelper();
  BandHelper(const BandHelper&) = delete;
  BandHelper& operator=(const BandHelper&) = delete;

  // Runs work(first, end) over [0, count) in bands, all but the first on the helper threads;
  // returns when all are done. Small counts stay on the caller.
  void Split(int count, const std::function<void(int first, int end)>& work);

 private:
  void Loop(size_t index);

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void(int, int)>* work_ = nullptr;
  int count_ = 0;
  int bands_ = 1;
  uint64_t round_ = 0;  // counts the calls of Split, so that each helper takes each band once
  int pending_ = 0;     // helper bands of this round not yet done
  bool quit_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace des
