#pragma once
// A source that pushes frames from the test's thread and a sink that records what arrives, to
// drive the overlay filter without a graph, and helpers for RGB24 frames.
#include <mutex>
#include <vector>

#include "dshow/dshow.h"
#include "ole/comptr.h"

namespace overlay_filter_test {

// RGB24 video of width x height with a VIDEOINFOHEADER, bottom-up unless topDown.
CMediaType Rgb24Type(int width, int height, bool topDown = false);
// Bytes of one frame of such a type (rows padded to 4 bytes).
LONG FrameBytes(int width, int height);

class TestSource : public CBaseFilter {
 public:
  TestSource(const CMediaType& type, LONG buffers, LONG bufferSize);
  ~TestSource() override;
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  IPin* Output();
  // Delivers a copy of the frame with its start and stop time.
  HRESULT Deliver(const std::vector<BYTE>& frame, REFERENCE_TIME start, REFERENCE_TIME stop);

 private:
  class Pin;
  CCritSec lock_;
  Pin* pin_;
};

struct ReceivedSample {
  std::vector<BYTE> bytes;
  REFERENCE_TIME start = 0, stop = 0;
  HRESULT timeResult = S_OK;
};

class TestSink : public CBaseFilter {
 public:
  TestSink();
  ~TestSink() override;
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  IPin* Input();
  std::vector<ReceivedSample> Received();
  ALLOCATOR_PROPERTIES AllocatorProperties();

 private:
  class Pin;
  CCritSec lock_;
  Pin* pin_;
  std::mutex receivedLock_;
  std::vector<ReceivedSample> received_;
};

// Source -> filter -> sink, connected and paused, ready for frames.
struct Chain {
  ~Chain();  // stops and disconnects, so that the pins let go of each other
  ComPtr<IBaseFilter> source, filter, sink;
  TestSource* sourceFilter = nullptr;
  TestSink* sinkFilter = nullptr;
  HRESULT Connect(const CMediaType& type, LONG buffers, LONG bufferSize);
  HRESULT Pause();
  void Stop();
};

}  // namespace overlay_filter_test
