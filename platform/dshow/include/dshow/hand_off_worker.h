#pragma once
// Runs jobs one at a time on a thread of its own, so that the thread handing them over prepares
// the next one meanwhile. At most one job is in hand: handing over waits for the last one.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "win32/wintypes.h"
#include "win32/winerror.h"

namespace dshow::filters {

class HandOffWorker {
 public:
  using Job = std::function<HRESULT()>;

  HandOffWorker();
  // Finishes the job in hand, then ends the thread.
  ~HandOffWorker();
  HandOffWorker(const HandOffWorker&) = delete;
  HandOffWorker& operator=(const HandOffWorker&) = delete;

  // Waits until the job in hand is done, then starts job. Once a job has answered other than
  // S_OK, nothing more is started and every call returns that first answer.
  HRESULT Hand(Job job);
  // Waits until the job in hand is done; S_OK, or the first answer other than S_OK.
  HRESULT Finish();

 private:
  void Run();

  std::mutex lock_;
  std::condition_variable changed_;
  Job job_;  // the job in hand
  HRESULT failure_ = S_OK;
  bool quit_ = false;
  std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace dshow::filters
