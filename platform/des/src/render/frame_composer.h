#pragma once
// Builds one output frame of a video group: the topmost layer with a picture, a layer's
// transition drawn between what lies below it and the layer's own picture, then the group's
// transitions (from black) and its effects in order. Pictures leave the group format only while
// a transition or effect acts on them.
#include <memory>
#include <vector>

#include "clip_input_pin.h"
#include "effects/band_helper.h"
#include "effects/picture.h"
#include "group_plan.h"

namespace des {

class FrameComposer {
 public:
  explicit FrameComposer(const GroupPlan& plan);

  // Draws timeline time t into frame (the group's format).
  ClipInputPin::Result Compose(REFERENCE_TIME t, BYTE* frame);

 private:
  // Layers [0, top) at t into frame, black where none shows.
  ClipInputPin::Result ComposeLayers(size_t top, REFERENCE_TIME t, BYTE* frame);
  // The layer's own picture at t; kNothing where it has none.
  ClipInputPin::Result LayerPicture(size_t layer, REFERENCE_TIME t, BYTE* frame);
  void Blend(const TransitionPlan& transition, REFERENCE_TIME t, const BYTE* below, const BYTE* own, BYTE* frame);

  const GroupPlan& plan_;
  const int width_, height_, bits_;
  const size_t frameBytes_;
  std::vector<std::vector<BYTE>> below_;  // per layer: what lies beneath it during a transition
  Picture from_, to_, drawn_;
  BandHelper* Helper();
  std::unique_ptr<BandHelper> helper_;  // takes half of each picture's conversion; made when first needed
};

}  // namespace des
