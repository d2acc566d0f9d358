#pragma once
// Time for the graph's clocks: the process clock in 100-ns units, monotonic real time in the
// program and the virtual clock in tests, so that playback there moves only as a test moves time.
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "dshow/strmif.h"

namespace dshow {

REFERENCE_TIME ProcessClockNow();

// The advise requests of a reference clock, served by a thread of its own that sets each
// request's event once the clock reaches it. The clock is read through now; a clock that moves
// other than with the process clock (sound) calls Wake when it moves.
class AdviseScheduler {
 public:
  // longestWait: how long the thread sleeps at most before reading the clock again.
  AdviseScheduler(std::function<REFERENCE_TIME()> now, REFERENCE_TIME longestWait);
  ~AdviseScheduler();
  AdviseScheduler(const AdviseScheduler&) = delete;
  AdviseScheduler& operator=(const AdviseScheduler&) = delete;

  // period 0: once. Returns the cookie.
  DWORD_PTR Add(REFERENCE_TIME due, REFERENCE_TIME period, HANDLE event);
  bool Remove(DWORD_PTR cookie);
  void Wake();

 private:
  struct Advise {
    REFERENCE_TIME due;
    REFERENCE_TIME period;
    HANDLE event;
  };
  void Loop();

  const std::function<REFERENCE_TIME()> now_;
  const REFERENCE_TIME longestWait_;
  std::mutex lock_;
  std::map<DWORD_PTR, Advise> advises_;
  DWORD_PTR nextCookie_ = 1;
  bool quit_ = false;
  // A process-clock wait: on the virtual clock it ends when a test moves time.
  HANDLE wake_;
  std::thread thread_;  // started with the first advise
};

}  // namespace dshow
