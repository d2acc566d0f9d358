#pragma once
// The output pin of a group: its streaming thread builds the group's samples in timeline order
// from the clip inputs and stamps them with timeline times (relative to the rendered range).
// Video: one frame per output frame time, the topmost layer with a picture there, black where no
// layer has one. Audio: blocks of samples, every layer mixed, silence where none sounds.
// IMediaSeeking moves the output within the rendered range (media time only, rate 1); the clip
// chains are moved with it.
#include <atomic>
#include <memory>
#include <vector>

#include "dshow/dshow.h"
#include "frame_composer.h"
#include "group_plan.h"

namespace des {

class GroupFilter;

class GroupOutputPin : public CSourceStream, public dshow::MediaSeekingBase {
 public:
  GroupOutputPin(GroupFilter* filter, HRESULT* phr, const GroupPlan& plan);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMediaSeeking: only the rate the group plays at.
  STDMETHODIMP SetRate(double dRate) override;

  // The start of output frame n, relative to the range start.
  static REFERENCE_TIME FrameTime(int64_t n, double fps);

 protected:
  HRESULT GetMediaType(CMediaType* mt) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT OnThreadStartPlay() override;
  HRESULT FillBuffer(IMediaSample* sample) override;
  // A fill cut short by Stop ends quietly: no end of stream, no error.
  HRESULT OnFillEnded(HRESULT hr) override;

  LONGLONG Duration() override { return span_; }
  LONGLONG StopPosition() override;
  HRESULT CurrentPosition(LONGLONG* position) override;
  // Stops the output for a move while it runs, moves the clip chains and starts it again.
  HRESULT ChangePositions(const SeekRequest& request, LONGLONG* start, LONGLONG* stop) override;

 private:
  HRESULT FillPicture(IMediaSample* sample);
  // end: the sample number the range stops at.
  HRESULT FillSound(IMediaSample* sample, int64_t end);
  // The number of the frame or sample the output stops at for a stop position.
  int64_t EndAt(REFERENCE_TIME stop) const;
  // The first frame or sample at or after position t.
  int64_t FirstAt(REFERENCE_TIME t) const;

  // The position of frame or sample number n, relative to the range start.
  REFERENCE_TIME TimeOf(int64_t n) const;
  GroupFilter* Group() const;

  const GroupPlan& plan_;
  const REFERENCE_TIME span_;  // length of the rendered range
  // One seek at a time. The output thread never takes it: a seek waits for that thread to stop
  // while holding it.
  CCritSec seekingLock_;
  CCritSec seekLock_;          // guards start_, stop_ and the end they give
  REFERENCE_TIME start_ = 0;   // seek positions within the range
  REFERENCE_TIME stop_;
  std::atomic<int64_t> next_{0};  // frame or sample number of the next sample
  bool fresh_ = false;  // the next sample is the first since the output (re)started
  std::atomic<int64_t> total_{0};  // frames or samples up to the stop (a stop moved while streaming moves it)
  int blockSamples_ = 0;
  int blockAlign_ = 0;
  int rate_ = 0;
  std::vector<int32_t> mix_;
  std::unique_ptr<FrameComposer> composer_;  // video
};

}  // namespace des
