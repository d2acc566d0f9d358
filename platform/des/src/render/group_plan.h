#pragma once
// What a group filter renders: its output format, the span of the timeline it covers and the
// clips of each layer, read from the timeline when the front end is built.
#include <memory>
#include <string>
#include <vector>

#include "dshow/dshow.h"

namespace des {

class ClipInputPin;
class VideoEffect;
class VideoTransition;

struct ClipPlan {
  std::u16string file;
  LONG stream = 0;  // which stream of the group's kind in the file
  REFERENCE_TIME start = 0, stop = 0;            // timeline
  REFERENCE_TIME mediaStart = 0, mediaStop = 0;  // file
  int stretchMode = 0;
  ClipInputPin* pin = nullptr;  // where the clip's chain delivers, once connected
  // Media time per timeline time.
  double Rate() const { return stop > start ? double(mediaStop - mediaStart) / double(stop - start) : 1.0; }
  REFERENCE_TIME MediaTimeAt(REFERENCE_TIME t) const {
    return mediaStart + REFERENCE_TIME(double(t - start) * Rate() + 0.5);
  }
};

// A transition over [start, stop): from the picture below to the layer's own (the other way round
// when swapped).
struct TransitionPlan {
  REFERENCE_TIME start = 0, stop = 0;
  bool swap = false;
  std::shared_ptr<VideoTransition> draw;
};

struct EffectPlan {
  REFERENCE_TIME start = 0, stop = 0;
  std::shared_ptr<VideoEffect> apply;
};

struct GroupPlan {
  CMediaType type;  // the output type, frame time filled in for video
  bool video = true;
  double fps = 15;
  REFERENCE_TIME rangeStart = 0, rangeStop = 0;  // the part of the timeline delivered
  std::vector<std::vector<ClipPlan>> layers;     // lowest first
  std::vector<std::vector<TransitionPlan>> layerTransitions;  // one list per layer
  std::vector<TransitionPlan> groupTransitions;  // from black to the composed picture
  std::vector<EffectPlan> effects;               // on the composed picture, in order
};

}  // namespace des
