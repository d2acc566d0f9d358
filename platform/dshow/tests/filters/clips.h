#pragma once
// Clips made for the filter tests, and a sample grabber callback that counts what passes.
#include <atomic>
#include <mutex>
#include <string>

#include "dshow/dshow.h"
#include "testing/media_fixtures.h"

namespace dshow_test {

// Makes the clip in the sandbox once per process and returns its path; fails the test when
// FFmpeg cannot make it.
std::string Clip(const std::string& name, const testing_support::ClipOptions& options);
// The default test clip: 2 s of 176x144 MPEG-4 at 25 fps with MP3 sound, in AVI.
std::string AviClip();
// A fifth of a second of MPEG-4 in AVI, without sound, with the marked edges.
std::string MarkedClip(int width, int height);
std::string SandboxFile(const std::string& name);

// A sample grabber callback living on the test's stack: no reference counting, and buffer
// calls ignored unless a callback takes them.
class GrabberCallback : public ISampleGrabberCB {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_ISampleGrabberCB) {
      *ppv = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP BufferCB(double, BYTE*, LONG) override { return S_OK; }
};

class CountingCallback : public GrabberCallback {
 public:
  STDMETHODIMP SampleCB(double time, IMediaSample* sample) override {
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    Record(time, sample->GetActualDataLength(), stop);
    return S_OK;
  }
  STDMETHODIMP BufferCB(double time, BYTE*, LONG length) override {
    Record(time, length, 0);
    return S_OK;
  }

  std::atomic<int> samples{0};
  std::atomic<long long> bytes{0};
  std::atomic<double> firstTime{-1};
  std::atomic<double> lastTime{-1};
  std::atomic<REFERENCE_TIME> lastStop{0};

 private:
  void Record(double time, LONG length, REFERENCE_TIME stop) {
    double expected = -1;
    firstTime.compare_exchange_strong(expected, time);
    lastTime = time;
    lastStop = stop;
    bytes += length;
    ++samples;
  }
};

}  // namespace dshow_test
