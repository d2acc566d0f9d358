#pragma once
// What the render engine draws for a transition or an effect node, made from the node's class
// and parameters by the catalog.
#include <memory>

#include "des/timeline.h"
#include "effect_parameters.h"
#include "picture.h"

namespace des {

class VideoTransition {
 public:
  virtual ~VideoTransition() = default;
  // Draws the picture at progress (0: exactly from, 1: exactly to) into out. All three have one
  // size; out is neither from nor to. t: the timeline time, for anything drawn at random.
  virtual void Draw(const Picture& from, const Picture& to, double progress, REFERENCE_TIME t, Picture* out) = 0;
};

class VideoEffect {
 public:
  virtual ~VideoEffect() = default;
  // Changes the picture in place at progress (0 at the effect's start, 1 at its stop).
  virtual void Apply(Picture* picture, double progress, REFERENCE_TIME t) = 0;
};

// What a class draws; nothing for a class the editing services do not know (the node then
// leaves the pictures as they are).
std::unique_ptr<VideoTransition> MakeTransition(const GUID& clsid, const EffectParameters& parameters);
std::unique_ptr<VideoEffect> MakeEffect(const GUID& clsid, const EffectParameters& parameters);

}  // namespace des
