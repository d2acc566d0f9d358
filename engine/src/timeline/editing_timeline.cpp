#include "timeline/editing_timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "control/transitions.h"
#include "win32/utf.h"

namespace {

// Names whose last three letters match ext (any case) are refused; short names pass.
bool EndsWith3(LPCTSTR file, const char* ext) {
  const size_t length = std::strlen(file);
  return length > 3 && strcasecmp(file + length - 3, ext) == 0;
}

// Media times no clip can have. They are refused before the record is kept: a reversed span
// would pull every later clip back over the ones before it (cutting sound on the shared audio
// track), a negative start would leave a gap, and a time that is not a number would spoil every
// later start.
bool PlayableTimes(double start, double stop) {
  return std::isfinite(start) && std::isfinite(stop) && start >= 0 && stop >= start;
}

// A slow-motion rate stretches a clip to (1 + rate) times its length: below -1 the span would run
// backwards.
bool PlayableRate(double rate) { return std::isfinite(rate) && rate >= -1; }

template <class Record>
double SumOfLengths(const std::vector<Record>& list, size_t count, double scale) {
  double sum = 0;
  for (size_t i = 0; i < count; ++i) sum += (list[i].mediaStop - list[i].mediaStart) * scale;
  return sum;
}

// The start of the newest record's clip: the lengths of all earlier records, each scaled.
template <class Record>
EditingTimeline::ClipPlacement Place(const std::vector<Record>& list, LPCTSTR file, double scale) {
  const Record& last = list.back();
  const double start = list.size() == 1 ? 0.0 : SumOfLengths(list, list.size() - 1, scale);
  return {file, start, start + (last.mediaStop - last.mediaStart), last.mediaStart, last.mediaStop};
}

HRESULT NewNode(IAMTimeline* timeline, TIMELINE_MAJOR_TYPE type, ComPtr<IAMTimelineObj>* node) {
  return timeline->CreateEmptyNode(node->put(), type);
}

// Appends a composite with one track to the audio group's composition.
void AddAudioLayer(IAMTimeline* timeline, IAMTimelineComp* groupComp, ComPtr<IAMTimelineComp>* comp,
                   ComPtr<IAMTimelineTrack>* track) {
  ComPtr<IAMTimelineObj> compNode;
  if (FAILED(NewNode(timeline, TIMELINE_MAJOR_TYPE_COMPOSITE, &compNode))) return;
  groupComp->VTrackInsBefore(compNode.get(), -1);
  compNode.As(IID_IAMTimelineComp, comp);
  ComPtr<IAMTimelineObj> trackNode;
  if (!*comp || FAILED(NewNode(timeline, TIMELINE_MAJOR_TYPE_TRACK, &trackNode))) return;
  (*comp)->VTrackInsBefore(trackNode.get(), -1);
  trackNode.As(IID_IAMTimelineTrack, track);
}

// Uncompressed RGB at the output size: 16 bits (RGB555) unless the sample size is 8, 24 or 32.
void SetVideoFormat(IAMTimelineGroup* group, const OutputSettings& settings) {
  WORD bits = 16;
  GUID subtype = MEDIASUBTYPE_RGB555;
  if (settings.videoSampleSize == 8) bits = 8, subtype = MEDIASUBTYPE_RGB8;
  if (settings.videoSampleSize == 24) bits = 24, subtype = MEDIASUBTYPE_RGB24;
  if (settings.videoSampleSize == 32) bits = 32, subtype = MEDIASUBTYPE_RGB32;
  VIDEOINFOHEADER vih = {};
  vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih.bmiHeader.biWidth = settings.outputFileWidth;
  vih.bmiHeader.biHeight = settings.outputFileHeight;
  vih.bmiHeader.biPlanes = 1;
  vih.bmiHeader.biBitCount = bits;
  const LONG stride = ((bits * LONG(settings.outputFileWidth) + 31) / 32) * 4;
  vih.bmiHeader.biSizeImage = DWORD(std::abs(LONG(settings.outputFileHeight)) * stride);
  AM_MEDIA_TYPE video = {};
  video.majortype = MEDIATYPE_Video;
  video.subtype = subtype;
  video.bFixedSizeSamples = TRUE;
  video.lSampleSize = vih.bmiHeader.biSizeImage;
  video.formattype = FORMAT_VideoInfo;
  video.cbFormat = sizeof vih;
  video.pbFormat = reinterpret_cast<BYTE*>(&vih);
  group->SetMediaType(&video);
}

// 16-bit PCM; sample rates outside the list take the middle one.
void SetAudioFormat(IAMTimelineGroup* group, const OutputSettings& settings) {
  static const DWORD kRates[] = {22050, 44100, 48000};
  WAVEFORMATEX wave = {};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = WORD(settings.audioChannels);
  wave.nSamplesPerSec =
      settings.audioSample >= 0 && settings.audioSample <= 2 ? kRates[settings.audioSample] : 44100;
  wave.wBitsPerSample = 16;
  wave.nBlockAlign = WORD(wave.nChannels * 2);
  wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
  AM_MEDIA_TYPE audio = {};
  audio.majortype = MEDIATYPE_Audio;
  audio.subtype = MEDIASUBTYPE_PCM;
  audio.bFixedSizeSamples = TRUE;
  audio.lSampleSize = wave.nBlockAlign;
  audio.formattype = FORMAT_WaveFormatEx;
  audio.cbFormat = sizeof wave;
  audio.pbFormat = reinterpret_cast<BYTE*>(&wave);
  group->SetMediaType(&audio);
}

// Creates a source node with its timeline span set; the caller completes it.
HRESULT NewSource(IAMTimeline* timeline, double start, double stop, ComPtr<IAMTimelineObj>* node,
                  ComPtr<IAMTimelineSrc>* source) {
  HRESULT hr = NewNode(timeline, TIMELINE_MAJOR_TYPE_SOURCE, node);
  if (FAILED(hr)) return hr;
  hr = node->As(IID_IAMTimelineSrc, source);
  if (SUCCEEDED(hr)) hr = (*node)->SetStartStop2(start, stop);
  return hr;
}

// Media name, media times, the stretch mode (when one of the four) and the track.
HRESULT FinishSource(IAMTimelineTrack* track, IAMTimelineObj* node, IAMTimelineSrc* source,
                     const EditingTimeline::ClipPlacement& placement, int stretchMode) {
  BSTR name = placement.file.AllocSysString();
  HRESULT hr = source->SetMediaName(name);
  SysFreeString(name);
  if (SUCCEEDED(hr)) hr = source->SetMediaTimes2(placement.mediaStart, placement.mediaStop);
  if (SUCCEEDED(hr) && stretchMode >= 0 && stretchMode <= 3) hr = source->SetStretchMode(stretchMode);
  if (SUCCEEDED(hr)) hr = track->SrcAdd(node);
  return hr;
}

}  // namespace

// ---- The timeline and its groups ----------------------------------------------------------------

bool EditingTimeline::Create() {
  return SUCCEEDED(
      CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IAMTimeline, timeline_.putVoid()));
}

// The video group comes first, so it is group 0.
void EditingTimeline::AddGroups(const OutputSettings& settings) {
  ComPtr<IAMTimelineGroup> group;
  if (SUCCEEDED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_GROUP, &videoGroup_)) &&
      SUCCEEDED(videoGroup_.As(IID_IAMTimelineGroup, &group))) {
    SetVideoFormat(group.get(), settings);
    group->SetOutputFPS(settings.frameRate);
    timeline_->AddGroup(videoGroup_.get());
    videoGroup_.As(IID_IAMTimelineComp, &videoComp_);
    videoGroup_.As(IID_IAMTimelineComp, &bgVideoComp_);
  }

  if (!settings.outputAudio) return;
  if (SUCCEEDED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_GROUP, &audioGroup_)) &&
      SUCCEEDED(audioGroup_.As(IID_IAMTimelineGroup, &group))) {
    SetAudioFormat(group.get(), settings);
    timeline_->AddGroup(audioGroup_.get());
    if (auto audioGroupComp = audioGroup_.As<IAMTimelineComp>(IID_IAMTimelineComp)) {
      AddAudioLayer(timeline_.get(), audioGroupComp.get(), &audioComp_, &audioTrack_);
      AddAudioLayer(timeline_.get(), audioGroupComp.get(), &bgAudioComp_, &bgAudioTrack_);
    }
  }
}

void EditingTimeline::ReleaseClips() {
  videoClips_.clear();
  audioClips_.clear();
  bgAudioClips_.clear();
  bgVideoClips_.clear();
  videoComp_ = nullptr;
  bgVideoComp_ = nullptr;
  videoGroup_ = nullptr;
  audioTrack_ = nullptr;
  audioComp_ = nullptr;
  bgAudioTrack_ = nullptr;
  bgAudioComp_ = nullptr;
  audioGroup_ = nullptr;
}

void EditingTimeline::Release() {
  if (timeline_) timeline_->ClearAllGroups();
  timeline_ = nullptr;
}

double EditingTimeline::Duration() const {
  double duration = 0;
  if (timeline_) timeline_->GetDuration2(&duration);
  return duration;
}

// ---- Placing sources ----------------------------------------------------------------------------

HRESULT EditingTimeline::NewVideoTrack(IAMTimelineComp* comp, ComPtr<IAMTimelineTrack>* track) {
  track->Reset();
  if (!timeline_ || !comp) return E_UNEXPECTED;
  ComPtr<IAMTimelineObj> node;
  HRESULT hr = NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_TRACK, &node);
  if (FAILED(hr)) return hr;
  hr = comp->VTrackInsBefore(node.get(), 0);
  return FAILED(hr) ? hr : node.As(IID_IAMTimelineTrack, track);
}

HRESULT EditingTimeline::AddSourceClip(IAMTimelineTrack* track, const ClipPlacement& placement, int stretchMode) {
  ComPtr<IAMTimelineObj> node;
  ComPtr<IAMTimelineSrc> source;
  HRESULT hr = NewSource(timeline_.get(), placement.timelineStart, placement.timelineStop, &node, &source);
  if (SUCCEEDED(hr)) hr = FinishSource(track, node.get(), source.get(), placement, stretchMode);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT EditingTimeline::AddSlowMotionSource(IAMTimelineTrack* track, ClipPlacement placement, int stretchMode,
                                             double rate) {
  if (rate != 0) placement.timelineStop += rate * (placement.timelineStop - placement.timelineStart);
  return AddSourceClip(track, placement, stretchMode);
}

HRESULT EditingTimeline::AddSourceWithTransition(IAMTimelineTrack* track, const ClipPlacement& placement,
                                                 int stretchMode, double overlapSeconds, double* overlapStart,
                                                 double* overlapStop) {
  if (stretchMode == -1) return AddSourceClip(track, placement, -1);
  ComPtr<IAMTimelineObj> node;
  ComPtr<IAMTimelineSrc> source;
  HRESULT hr = NewSource(timeline_.get(), placement.timelineStart, placement.timelineStop, &node, &source);
  if (SUCCEEDED(hr)) {
    const bool first = placement.timelineStart == 0;
    *overlapStart = first ? placement.timelineStart : placement.timelineStop - overlapSeconds;
    *overlapStop = placement.timelineStop;
    hr = FinishSource(track, node.get(), source.get(), placement, stretchMode);
  }
  return FAILED(hr) ? hr : S_OK;
}

HRESULT EditingTimeline::AddTransitionNode(IAMTimelineTrack* track, const CLSID& transition, double start,
                                           double stop) {
  // A number the collection does not hold names no transition that could be rendered.
  if (transition == GUID_NULL) return E_INVALIDARG;
  ComPtr<IAMTimelineObj> node;
  HRESULT hr = NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_TRANSITION, &node);
  if (FAILED(hr)) return hr;
  node->SetSubObjectGUID(transition);
  node->SetStartStop2(start, stop);
  ComPtr<IAMTimelineTransable> transable;
  if (SUCCEEDED(track->QueryInterface(IID_IAMTimelineTransable, transable.putVoid()))) transable->TransAdd(node.get());
  if (auto trans = node.As<IAMTimelineTrans>(IID_IAMTimelineTrans)) trans->SetSwapInputs(TRUE);
  return S_OK;
}

// ---- Adders -------------------------------------------------------------------------------------

bool EditingTimeline::AddVideo(Layer layer, LPCTSTR file, double start, double stop, short stretchMode,
                               Stretch stretch, double rate) {
  if (!PlayableTimes(start, stop) || !PlayableRate(rate) || EndsWith3(file, "ico")) return false;
  if (stretch != Stretch::None && EndsWith3(file, "tif")) return false;
  std::vector<VideoClipRecord>& list = layer == Layer::Main ? videoClips_ : bgVideoClips_;
  VideoClipRecord record;
  record.mediaStart = start;
  record.mediaStop = stop;
  list.push_back(record);
  const double scale = stretch == Stretch::SlowMotionScaledStart ? 1 + rate : 1;
  const ClipPlacement where = Place(list, file, scale);
  ComPtr<IAMTimelineTrack> track;
  HRESULT hr = NewVideoTrack(layer == Layer::Main ? videoComp_.get() : bgVideoComp_.get(), &track);
  if (SUCCEEDED(hr))
    hr = stretch == Stretch::None ? AddSourceClip(track.get(), where, stretchMode)
                                  : AddSlowMotionSource(track.get(), where, stretchMode, rate);
  return SUCCEEDED(hr);
}

bool EditingTimeline::AddAudio(Layer layer, LPCTSTR file, double start, double stop, Stretch stretch, double rate) {
  if (!PlayableTimes(start, stop) || !PlayableRate(rate)) return false;
  std::vector<ClipRecord>& list = layer == Layer::Main ? audioClips_ : bgAudioClips_;
  list.push_back({start, stop});
  const double scale = stretch == Stretch::SlowMotionScaledStart ? 1 + rate : 1;
  const ClipPlacement where = Place(list, file, scale);
  // The editing services' answer is not the caller's concern: the record counts either way.
  if (IAMTimelineTrack* track = layer == Layer::Main ? audioTrack_.get() : bgAudioTrack_.get()) {
    if (stretch == Stretch::None)
      AddSourceClip(track, where, 1);
    else
      AddSlowMotionSource(track, where, 1, rate);
  }
  return true;
}

bool EditingTimeline::AddVideoWithTransition(LPCTSTR file, double start, double stop, short stretchMode,
                                             short transition, double transitionSeconds,
                                             const CTransitions& transitions, bool graphStateKnown) {
  if (!PlayableTimes(start, stop) || !std::isfinite(transitionSeconds) || EndsWith3(file, "ico")) return false;
  VideoClipRecord record;
  record.mediaStart = start;
  record.mediaStop = stop;
  videoClips_.push_back(record);
  ClipPlacement where = Place(videoClips_, file, 1);
  if (transition == -1 && !graphStateKnown) return false;
  ComPtr<IAMTimelineTrack> track;
  if (FAILED(NewVideoTrack(videoComp_.get(), &track))) return false;
  // The clip overlaps the one before by that clip's transition; after a clip without one it
  // starts where that clip ends.
  if (where.timelineStart != 0 && videoClips_.size() > 1) {
    const VideoClipRecord& before = videoClips_[videoClips_.size() - 2];
    if (before.hasOverlap || before.hasPlacement) {
      where.timelineStart = before.hasOverlap ? before.overlapStart : before.timelineStop;
      where.timelineStop = where.timelineStart + (stop - start);
    }
  }
  // The transition lies within its clip: a longer one would start the next clip before this one,
  // a negative one would start it after this one's end.
  const double transitionLength = std::clamp(transitionSeconds, 0.0, where.timelineStop - where.timelineStart);
  double overlapStart = 0, overlapStop = 0;
  AddSourceWithTransition(track.get(), where, stretchMode, transitionLength, &overlapStart, &overlapStop);
  VideoClipRecord& added = videoClips_.back();
  added.timelineStart = where.timelineStart;
  added.timelineStop = where.timelineStop;
  added.hasPlacement = true;
  if (transition != -1) {
    const double windowStart = where.timelineStop - transitionLength;
    if (transition >= 1000) {
      // A number past the preset table names no transition.
      EffectChoice preset;
      if (!FindTransitionPreset(transition, &preset)) return false;
      ApplyTransitionByNumber(preset, windowStart, where.timelineStop, track.get());
    } else {
      CLSID clsid = GUID_NULL;
      transitions.GetTransitionClsid(transition, clsid);
      if (FAILED(AddTransitionNode(track.get(), clsid, windowStart, where.timelineStop))) return false;
    }
    added.overlapStart = windowStart;
    added.overlapStop = where.timelineStop;
    added.hasOverlap = true;
  }
  return true;
}

bool EditingTimeline::AddAudioWithTransition(LPCTSTR file, double start, double stop) {
  if (!PlayableTimes(start, stop)) return false;
  audioClips_.push_back({start, stop});
  ClipPlacement where = Place(audioClips_, file, 1);
  if (!audioComp_ || !timeline_) return true;
  ComPtr<IAMTimelineObj> node;
  if (FAILED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_TRACK, &node))) return true;
  ComPtr<IAMTimelineTrack> track;
  if (SUCCEEDED(audioComp_->VTrackInsBefore(node.get(), 0)) && SUCCEEDED(node.As(IID_IAMTimelineTrack, &track))) {
    // Follows the span of the last video clip placed with a transition.
    if (where.timelineStart != 0 && !videoClips_.empty() && videoClips_.back().hasPlacement) {
      where.timelineStart = videoClips_.back().timelineStart;
      where.timelineStop = videoClips_.back().timelineStop;
    }
    AddSourceWithTransition(track.get(), where, -1, 0, nullptr, nullptr);
  }
  return true;
}

// ---- Transitions and effects ------------------------------------------------------------------

void EditingTimeline::AttachValues(IAMTimelineObj* node, const NamedValues& values) {
  ComPtr<IPropertySetter> setter;
  if (FAILED(CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                              setter.putVoid())))
    return;
  for (const auto& [name, value] : values) {
    const std::u16string wideName = win32::Utf8ToUtf16(name), wideValue = win32::Utf8ToUtf16(value);
    DEXTER_PARAM param{SysAllocString(wideName.c_str()), 0, 1};
    DEXTER_VALUE text{};
    VariantInit(&text.v);
    text.v.vt = VT_BSTR;
    text.v.bstrVal = SysAllocString(wideValue.c_str());
    text.rt = 0;
    text.dwInterp = DEXTERF_JUMP;
    setter->AddProp(param, &text);
    SysFreeString(param.Name);
    VariantClear(&text.v);
  }
  node->SetPropertySetter(setter.get());
}

bool EditingTimeline::ApplyTransitionByNumber(const EffectChoice& preset, double start, double stop,
                                              IAMTimelineTrack* track) {
  ComPtr<IAMTimelineObj> node;
  if (!timeline_ || FAILED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_TRANSITION, &node))) return false;
  if (FAILED(node->SetSubObjectGUID(preset.clsid)) || FAILED(node->SetStartStop2(start, stop))) return false;
  ComPtr<IAMTimelineTransable> transable;
  if (SUCCEEDED(track->QueryInterface(IID_IAMTimelineTransable, transable.putVoid()))) transable->TransAdd(node.get());
  // The clip's own track is the upper input: swapped, the transition runs from this clip to the
  // next one beneath it.
  auto trans = node.As<IAMTimelineTrans>(IID_IAMTimelineTrans);
  if (!trans || trans->SetSwapInputs(TRUE) != S_OK) return false;
  AttachValues(node.get(), preset.values);
  return true;
}

bool EditingTimeline::AddTransition(const CLSID& transition, double start, double stop) {
  ComPtr<IAMTimelineObj> node;
  if (!timeline_ || !videoComp_ || FAILED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_TRANSITION, &node)))
    return false;
  // A span the node cannot take (reversed, or before the start) would leave a transition that
  // never shows.
  if (FAILED(node->SetSubObjectGUID(transition)) || FAILED(node->SetStartStop2(start, stop))) return false;
  auto transable = videoComp_.As<IAMTimelineTransable>(IID_IAMTimelineTransable);
  return transable && SUCCEEDED(transable->TransAdd(node.get()));
}

bool EditingTimeline::AddEffect(const EffectChoice& effect, double start, double stop) {
  ComPtr<IAMTimelineObj> node;
  if (!timeline_ || !videoComp_ || FAILED(NewNode(timeline_.get(), TIMELINE_MAJOR_TYPE_EFFECT, &node))) return false;
  if (FAILED(node->SetSubObjectGUID(effect.clsid)) || FAILED(node->SetStartStop2(start, stop))) return false;
  auto effectable = videoComp_.As<IAMTimelineEffectable>(IID_IAMTimelineEffectable);
  if (!effectable || effectable->EffectInsBefore(node.get(), -1) != S_OK) return false;
  AttachValues(node.get(), effect.values);
  return true;
}
