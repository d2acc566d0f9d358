#pragma once
// The output pin of a group: its streaming thread builds the group's samples in timeline order
// from the clip inputs and stamps them with timeline times (relative to the rendered range).
// Video: one frame per output frame time, the topmost layer with a picture there, black where no
// layer has one. Audio: blocks of samples, every layer mixed, silence where none sounds.
#include <vector>

#include "dshow/dshow.h"
#include "group_plan.h"

namespace des {

class GroupFilter;

class GroupOutputPin : public CSourceStream {
 public:
  GroupOutputPin(GroupFilter* filter, HRESULT* phr, const GroupPlan& plan);

  // The start of output frame n, relative to the range start.
  static REFERENCE_TIME FrameTime(int64_t n, double fps);

 protected:
  HRESULT GetMediaType(CMediaType* mt) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT OnThreadStartPlay() override;
  HRESULT FillBuffer(IMediaSample* sample) override;
  // As the base loop, but a fill cut short by Stop ends quietly: no end of stream, no error.
  HRESULT DoBufferProcessingLoop() override;

 private:
  HRESULT FillPicture(IMediaSample* sample);
  HRESULT FillSound(IMediaSample* sample);

  const GroupPlan& plan_;
  int64_t next_ = 0;   // frame or sample number of the next sample
  int64_t total_ = 0;  // frames or samples in the range
  int blockSamples_ = 0;
  int blockAlign_ = 0;
  int rate_ = 0;
  std::vector<int32_t> mix_;
};

}  // namespace des
