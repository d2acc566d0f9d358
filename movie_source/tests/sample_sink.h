#pragma once
// A renderer for the tests: takes the one type its peer offers and keeps what arrives.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "dshow/dshow.h"

namespace movie_source_test {

struct ReceivedSample {
  REFERENCE_TIME start = 0;
  REFERENCE_TIME stop = 0;
  bool discontinuity = false;
  bool sync = false;
  std::vector<uint8_t> bytes;
};

class SampleSink : public CBaseFilter {
 public:
  SampleSink();
  ~SampleSink() override;

  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  IPin* Input();

  // Waits (in real time, bounded) until the stream has ended; false when it did not.
  bool WaitForEnd();
  // When the n-th sample (from 0, counted since the last flush) arrives, Receive waits until a
  // flush or ReleaseHold: the streaming thread is held in delivery. WaitUntilHeld returns once it is.
  void HoldAtSample(size_t n);
  bool WaitUntilHeld();
  void ReleaseHold();

  // What arrived since the last (re)start of the stream: a flush forgets what came before it.
  std::vector<ReceivedSample> Samples();
  std::vector<REFERENCE_TIME> SegmentStarts();
  int Flushes();
  CMediaType ConnectedType();
  // The buffers agreed with the connected output pin.
  ALLOCATOR_PROPERTIES Buffers();

 private:
  class InputPin;
  CCritSec lock_;
  InputPin* pin_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReceivedSample> samples_;
  std::vector<REFERENCE_TIME> segments_;
  int flushes_ = 0;
  bool ended_ = false;
  size_t holdAt_ = SIZE_MAX;
  bool holding_ = false;
  bool flushing_ = false;
};

}  // namespace movie_source_test
