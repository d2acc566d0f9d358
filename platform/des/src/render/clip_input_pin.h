#pragma once
// An input of a group filter: receives one clip's decoded pictures (RGB32, RGB24, I420 or YUY2)
// or sound (16-bit PCM) from the clip's chain, converts them to the group's format on the chain's thread and
// queues a few of them for the group's output thread. A full queue holds the chain back.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "dshow/dshow.h"
#include "group_plan.h"
#include "picture_fitter.h"
#include "sound_stretcher.h"

namespace des {

class ClipInputPin : public CBaseInputPin {
 public:
  ClipInputPin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR name, const ClipPlan& clip,
               const GroupPlan& group);

  enum class Result { kFilled, kNothing, kAborted };

  // Video: copies the picture showing at media time m (the latest one starting at or before it,
  // else the first one) into frame. Waits for the chain as needed.
  Result PictureAt(REFERENCE_TIME m, BYTE* frame);
  // Audio: adds the clip's samples [first, first + count) (timeline sample numbers) into mix;
  // samples the clip does not have add nothing.
  Result MixInto(int64_t first, int count, int32_t* mix);

  // Wakes every wait and refuses samples until the next Restart (the filter is stopping, or the
  // output moves).
  void Abort();
  // Empties the queue and takes samples again.
  void Restart();
  const ClipPlan& Clip() const { return clip_; }
  // Moves the clip's chain to media time start (the chain then stops at the clip's media stop).
  HRESULT SeekChain(REFERENCE_TIME start);

  HRESULT CheckMediaType(const CMediaType* mt) override;
  HRESULT CompleteConnect(IPin* receivePin) override;
  HRESULT BreakConnect() override;
  STDMETHODIMP Receive(IMediaSample* sample) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

 private:
  struct Picture {
    REFERENCE_TIME time;
    std::vector<BYTE> bits;  // fitted, laid into a frame when it shows
  };
  void ResetQueue();  // with mutex_ held
  void NewStretcher();
  HRESULT ReceivePicture(IMediaSample* sample, REFERENCE_TIME m, std::unique_lock<std::mutex>& lock);
  HRESULT ReceiveSound(IMediaSample* sample, REFERENCE_TIME m, std::unique_lock<std::mutex>& lock);

  const ClipPlan clip_;
  const GroupPlan& group_;
  std::unique_ptr<PictureFitter> fitter_;
  std::unique_ptr<SoundStretcher> stretcher_;
  int outChannels_ = 0;
  int outRate_ = 0;
  REFERENCE_TIME seekedTo_ = 0;  // where the chain was moved (its times count from there)

  std::mutex mutex_;
  std::condition_variable changed_;
  bool aborted_ = false;
  bool ended_ = false;
  REFERENCE_TIME segmentStart_ = 0;
  bool segmentKnown_ = false;
  // Video
  std::deque<Picture> pictures_;
  std::vector<std::vector<BYTE>> spare_;  // picture buffers to use again
  Picture current_;
  bool haveCurrent_ = false;
  // Audio: converted samples, the first at timeline sample soundFirst_.
  std::vector<int16_t> sound_;
  size_t soundRead_ = 0;  // interleaved values already consumed from sound_
  int64_t soundFirst_ = 0;
  bool soundPlaced_ = false;
  std::vector<int16_t> converted_;
  bool freshStretcher_ = false;
};

}  // namespace des
