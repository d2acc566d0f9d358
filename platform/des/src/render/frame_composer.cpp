#include "frame_composer.h"

#include <cstring>

#include "effects/video_effect.h"

namespace des {

namespace {

const TransitionPlan* ActiveAt(const std::vector<TransitionPlan>& list, REFERENCE_TIME t) {
  for (const TransitionPlan& plan : list)
    if (t >= plan.start && t < plan.stop && plan.draw) return &plan;
  return nullptr;
}

double ProgressAt(REFERENCE_TIME start, REFERENCE_TIME stop, REFERENCE_TIME t) {
  return stop > start ? double(t - start) / double(stop - start) : 1.0;
}

const BITMAPINFOHEADER& Header(const GroupPlan& plan) {
  return reinterpret_cast<const VIDEOINFOHEADER*>(plan.type.pbFormat)->bmiHeader;
}

}  // namespace

FrameComposer::FrameComposer(const GroupPlan& plan)
    : plan_(plan),
      width_(Header(plan).biWidth),
      height_(Header(plan).biHeight),
      bits_(Header(plan).biBitCount),
      frameBytes_(plan.type.lSampleSize),
      below_(plan.layers.size()) {}

BandHelper* FrameComposer::Helper() {
  if (!helper_) helper_ = std::make_unique<BandHelper>();
  return helper_.get();
}

ClipInputPin::Result FrameComposer::LayerPicture(size_t layer, REFERENCE_TIME t, BYTE* frame) {
  for (const ClipPlan& clip : plan_.layers[layer]) {
    if (t < clip.start || t >= clip.stop || !clip.pin) continue;
    return clip.pin->PictureAt(clip.MediaTimeAt(t), frame);
  }
  return ClipInputPin::Result::kNothing;
}

void FrameComposer::Blend(const TransitionPlan& transition, REFERENCE_TIME t, const BYTE* below, const BYTE* own,
                          BYTE* frame) {
  from_.Resize(width_, height_);
  to_.Resize(width_, height_);
  drawn_.Resize(width_, height_);
  ReadFrame(transition.swap ? own : below, bits_, &from_, Helper());
  ReadFrame(transition.swap ? below : own, bits_, &to_, Helper());
  transition.draw->Draw(from_, to_, ProgressAt(transition.start, transition.stop, t), t, &drawn_);
  WriteFrame(drawn_, bits_, frame, Helper());
}

ClipInputPin::Result FrameComposer::ComposeLayers(size_t top, REFERENCE_TIME t, BYTE* frame) {
  using Result = ClipInputPin::Result;
  for (size_t layer = top; layer-- > 0;) {
    const TransitionPlan* transition =
        layer < plan_.layerTransitions.size() ? ActiveAt(plan_.layerTransitions[layer], t) : nullptr;
    if (!transition) {
      const Result r = LayerPicture(layer, t, frame);
      if (r != Result::kNothing) return r;
      continue;
    }
    // Both inputs of the transition: everything beneath, and the layer's own picture (black
    // where the layer has none).
    std::vector<BYTE>& below = below_[layer];
    below.resize(frameBytes_);
    if (ComposeLayers(layer, t, below.data()) == Result::kAborted) return Result::kAborted;
    const Result own = LayerPicture(layer, t, frame);
    if (own == Result::kAborted) return own;
    if (own == Result::kNothing) std::memset(frame, 0, frameBytes_);
    Blend(*transition, t, below.data(), frame, frame);
    return Result::kFilled;
  }
  std::memset(frame, 0, frameBytes_);  // a gap is black
  return Result::kFilled;
}

ClipInputPin::Result FrameComposer::Compose(REFERENCE_TIME t, BYTE* frame) {
  const ClipInputPin::Result r = ComposeLayers(plan_.layers.size(), t, frame);
  if (r == ClipInputPin::Result::kAborted) return r;
  const TransitionPlan* transition = ActiveAt(plan_.groupTransitions, t);
  std::vector<const EffectPlan*> effects;
  for (const EffectPlan& effect : plan_.effects)
    if (t >= effect.start && t < effect.stop && effect.apply) effects.push_back(&effect);
  if (!transition && effects.empty()) return r;
  drawn_.Resize(width_, height_);
  if (transition) {
    from_.Resize(width_, height_);
    to_.Resize(width_, height_);
    from_.Fill(0);
    ReadFrame(frame, bits_, &to_, Helper());
    if (transition->swap) std::swap(from_, to_);
    transition->draw->Draw(from_, to_, ProgressAt(transition->start, transition->stop, t), t, &drawn_);
  } else {
    ReadFrame(frame, bits_, &drawn_, Helper());
  }
  for (const EffectPlan* effect : effects)
    effect->apply->Apply(&drawn_, ProgressAt(effect->start, effect->stop, t), t);
  WriteFrame(drawn_, bits_, frame, Helper());
  return r;
}

}  // namespace des
