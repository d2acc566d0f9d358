// The editing timeline: its groups, the clip adders with their start-time arithmetic, and teardown.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "control/tessary_ctrl.h"
#include "control/transitions.h"

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
CTessaryCtrl::ClipPlacement Place(const std::vector<Record>& list, LPCTSTR file, double scale) {
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

}  // namespace

// ---- Timeline -----------------------------------------------------------------------------------

void CTessaryCtrl::CreateTimeline() {
  TearDownEditing();
  if (FAILED(CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IAMTimeline, m_pTimeline.putVoid())))
    return;

  // Disc formats dictate the frame; MPEG keeps it within what the encoder takes.
  struct Frame {
    short width, height;
    float rate;
  };
  static const Frame kDiscFrames[] = {{352, 288, 25.0f},  {352, 240, 29.97003f}, {480, 576, 25.0f},
                                      {480, 480, 29.97003f}, {720, 576, 25.0f},  {720, 480, 29.97f}};
  if (settings_.outputType >= 0 && settings_.outputType <= 5) {
    const Frame& f = kDiscFrames[settings_.outputType];
    settings_.outputFileWidth = f.width;
    settings_.outputFileHeight = f.height;
    settings_.frameRate = f.rate;
  } else if (settings_.outputType == 6 || settings_.outputType == 7) {
    settings_.outputFileWidth = std::min<short>(std::max<short>(settings_.outputFileWidth, 80), 1024);
    settings_.outputFileHeight = std::min<short>(std::max<short>(settings_.outputFileHeight, 60), 768);
  }

  // Video group: uncompressed RGB at the output size and rate.
  WORD bits = 16;
  GUID subtype = MEDIASUBTYPE_RGB555;
  if (settings_.videoSampleSize == 8) bits = 8, subtype = MEDIASUBTYPE_RGB8;
  if (settings_.videoSampleSize == 24) bits = 24, subtype = MEDIASUBTYPE_RGB24;
  if (settings_.videoSampleSize == 32) bits = 32, subtype = MEDIASUBTYPE_RGB32;
  VIDEOINFOHEADER vih = {};
  vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih.bmiHeader.biWidth = settings_.outputFileWidth;
  vih.bmiHeader.biHeight = settings_.outputFileHeight;
  vih.bmiHeader.biPlanes = 1;
  vih.bmiHeader.biBitCount = bits;
  const LONG stride = ((bits * LONG(settings_.outputFileWidth) + 31) / 32) * 4;
  vih.bmiHeader.biSizeImage = DWORD(std::abs(LONG(settings_.outputFileHeight)) * stride);
  AM_MEDIA_TYPE video = {};
  video.majortype = MEDIATYPE_Video;
  video.subtype = subtype;
  video.bFixedSizeSamples = TRUE;
  video.lSampleSize = vih.bmiHeader.biSizeImage;
  video.formattype = FORMAT_VideoInfo;
  video.cbFormat = sizeof vih;
  video.pbFormat = reinterpret_cast<BYTE*>(&vih);
  ComPtr<IAMTimelineGroup> group;
  if (SUCCEEDED(NewNode(m_pTimeline.get(), TIMELINE_MAJOR_TYPE_GROUP, &m_pVideoGroup)) &&
      SUCCEEDED(m_pVideoGroup.As(IID_IAMTimelineGroup, &group))) {
    group->SetMediaType(&video);
    group->SetOutputFPS(settings_.frameRate);
    m_pTimeline->AddGroup(m_pVideoGroup.get());
    m_pVideoGroup.As(IID_IAMTimelineComp, &m_pVideoComp);
    m_pVideoGroup.As(IID_IAMTimelineComp, &m_pBgVideoComp);
  }

  // Audio group: 16-bit PCM.
  if (!settings_.outputAudio) return;
  static const DWORD kRates[] = {22050, 44100, 48000};
  WAVEFORMATEX wave = {};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = WORD(settings_.audioChannels);
  // Rates outside the list take the middle one.
  wave.nSamplesPerSec = settings_.audioSample >= 0 && settings_.audioSample <= 2 ? kRates[settings_.audioSample] : 44100;
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
  if (SUCCEEDED(NewNode(m_pTimeline.get(), TIMELINE_MAJOR_TYPE_GROUP, &m_pAudioGroup)) &&
      SUCCEEDED(m_pAudioGroup.As(IID_IAMTimelineGroup, &group))) {
    group->SetMediaType(&audio);
    m_pTimeline->AddGroup(m_pAudioGroup.get());
    if (auto audioGroupComp = m_pAudioGroup.As<IAMTimelineComp>(IID_IAMTimelineComp)) {
      AddAudioLayer(m_pTimeline.get(), audioGroupComp.get(), &m_pAudioComp, &m_pAudioTrack);
      AddAudioLayer(m_pTimeline.get(), audioGroupComp.get(), &m_pBgAudioComp, &m_pBgAudioTrack);
    }
  }
}

void CTessaryCtrl::TearDownEditing() {
  if (auto control = m_pGraph.As<IMediaControl>(IID_IMediaControl)) control->Stop();
  m_videoClips.clear();
  m_audioClips.clear();
  m_bgAudioClips.clear();
  m_bgVideoClips.clear();
  m_pVideoComp = nullptr;
  m_pBgVideoComp = nullptr;
  m_pVideoGroup = nullptr;
  m_pAudioTrack = nullptr;
  m_pAudioComp = nullptr;
  m_pBgAudioTrack = nullptr;
  m_pBgAudioComp = nullptr;
  m_pAudioGroup = nullptr;
  if (!m_pTimeline) return;
  ReleaseGraph();
  m_pTimeline->ClearAllGroups();
  m_pTimeline = nullptr;
}

void CTessaryCtrl::ReleaseGraph() {
  if (m_pRenderEngine) m_pRenderEngine->ScrapIt();
  if (m_pGraph) {
    // Collect first: removing filters while enumerating would upset the enumeration.
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> all;
    if (SUCCEEDED(m_pGraph->EnumFilters(all.put()))) {
      ComPtr<IBaseFilter> filter;
      while (all->Next(1, filter.put(), nullptr) == S_OK) filters.push_back(std::move(filter));
    }
    for (const ComPtr<IBaseFilter>& filter : filters) m_pGraph->RemoveFilter(filter.get());
  }
  m_pWriter = nullptr;
  m_pGraph = nullptr;
  m_pRenderEngine = nullptr;
}

HRESULT CTessaryCtrl::GetGraphState(OAFilterState* state) {
  *state = State_Stopped;
  if (!m_pGraph) return S_FALSE;
  ComPtr<IMediaControl> control;
  const HRESULT hr = m_pGraph.As(IID_IMediaControl, &control);
  return FAILED(hr) ? hr : control->GetState(INFINITE, state);
}

double CTessaryCtrl::GetTotalDuration() {
  double duration = 0;
  if (m_pTimeline) m_pTimeline->GetDuration2(&duration);
  return duration;
}

// ---- Placing sources ----------------------------------------------------------------------------

HRESULT CTessaryCtrl::NewVideoTrack(ComPtr<IAMTimelineTrack>* track) {
  track->Reset();
  if (!m_pTimeline || !m_pVideoComp) return E_UNEXPECTED;
  ComPtr<IAMTimelineObj> node;
  HRESULT hr = NewNode(m_pTimeline.get(), TIMELINE_MAJOR_TYPE_TRACK, &node);
  if (FAILED(hr)) return hr;
  hr = m_pVideoComp->VTrackInsBefore(node.get(), 0);
  return FAILED(hr) ? hr : node.As(IID_IAMTimelineTrack, track);
}

namespace {

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
                     const CTessaryCtrl::ClipPlacement& placement, int stretchMode) {
  BSTR name = placement.file.AllocSysString();
  HRESULT hr = source->SetMediaName(name);
  SysFreeString(name);
  if (SUCCEEDED(hr)) hr = source->SetMediaTimes2(placement.mediaStart, placement.mediaStop);
  if (SUCCEEDED(hr) && stretchMode >= 0 && stretchMode <= 3) hr = source->SetStretchMode(stretchMode);
  if (SUCCEEDED(hr)) hr = track->SrcAdd(node);
  return hr;
}

}  // namespace

HRESULT CTessaryCtrl::AddSourceClip(IAMTimelineTrack* track, const ClipPlacement& placement, int stretchMode) {
  ComPtr<IAMTimelineObj> node;
  ComPtr<IAMTimelineSrc> source;
  HRESULT hr = NewSource(m_pTimeline.get(), placement.timelineStart, placement.timelineStop, &node, &source);
  if (SUCCEEDED(hr)) hr = FinishSource(track, node.get(), source.get(), placement, stretchMode);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CTessaryCtrl::AddSlowMotionSource(IAMTimelineTrack* track, ClipPlacement placement, int stretchMode,
                                          double rate) {
  if (rate != 0)
    placement.timelineStop += rate * (placement.timelineStop - placement.timelineStart);
  return AddSourceClip(track, placement, stretchMode);
}

HRESULT CTessaryCtrl::AddSourceWithTransition(IAMTimelineTrack* track, const ClipPlacement& placement,
                                              int stretchMode, double overlapSeconds, double* overlapStart,
                                              double* overlapStop) {
  if (stretchMode == -1) return AddSourceClip(track, placement, -1);
  ComPtr<IAMTimelineObj> node;
  ComPtr<IAMTimelineSrc> source;
  HRESULT hr = NewSource(m_pTimeline.get(), placement.timelineStart, placement.timelineStop, &node, &source);
  if (SUCCEEDED(hr)) {
    const bool first = placement.timelineStart == 0;
    *overlapStart = first ? placement.timelineStart : placement.timelineStop - overlapSeconds;
    *overlapStop = placement.timelineStop;
    hr = FinishSource(track, node.get(), source.get(), placement, stretchMode);
  }
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CTessaryCtrl::AddTransitionNode(IAMTimelineTrack* track, short transition, double start, double stop) {
  // A number the collection does not hold names no transition that could be rendered.
  CLSID clsid = GUID_NULL;
  transitions_->GetTransitionClsid(transition, clsid);
  if (clsid == GUID_NULL) return E_INVALIDARG;
  ComPtr<IAMTimelineObj> node;
  HRESULT hr = NewNode(m_pTimeline.get(), TIMELINE_MAJOR_TYPE_TRANSITION, &node);
  if (FAILED(hr)) return hr;
  node->SetSubObjectGUID(clsid);
  node->SetStartStop2(start, stop);
  ComPtr<IAMTimelineTransable> transable;
  if (SUCCEEDED(track->QueryInterface(IID_IAMTimelineTransable, transable.putVoid()))) transable->TransAdd(node.get());
  if (auto trans = node.As<IAMTimelineTrans>(IID_IAMTimelineTrans)) trans->SetSwapInputs(TRUE);
  return S_OK;
}

// ---- Adders -------------------------------------------------------------------------------------

BOOL CTessaryCtrl::AddVideoClip(std::vector<VideoClipRecord>& list, LPCTSTR strFile, double start, double stop,
                                short stretchMode, Stretch stretch, double rate) {
  if (!ready_ || !PlayableTimes(start, stop) || !PlayableRate(rate) || EndsWith3(strFile, "ico")) return FALSE;
  if (stretch != Stretch::None && EndsWith3(strFile, "tif")) return FALSE;
  OAFilterState state;
  GetGraphState(&state);
  if (state == State_Running) return FALSE;
  VideoClipRecord record;
  record.mediaStart = start;
  record.mediaStop = stop;
  list.push_back(record);
  const double scale = stretch == Stretch::SlowMotionScaledStart ? 1 + rate : 1;
  const ClipPlacement where = Place(list, strFile, scale);
  ComPtr<IAMTimelineTrack> track;
  HRESULT hr = NewVideoTrack(&track);
  if (SUCCEEDED(hr))
    hr = stretch == Stretch::None ? AddSourceClip(track.get(), where, stretchMode)
                                  : AddSlowMotionSource(track.get(), where, stretchMode, rate);
  return SUCCEEDED(hr);
}

BOOL CTessaryCtrl::AddAudioClip(std::vector<ClipRecord>& list, IAMTimelineTrack* track, LPCTSTR strFile,
                                double start, double stop, Stretch stretch, double rate) {
  if (!ready_ || !settings_.outputAudio || !PlayableTimes(start, stop) || !PlayableRate(rate)) return FALSE;
  OAFilterState state;
  GetGraphState(&state);
  if (state == State_Running) return FALSE;
  list.push_back({start, stop});
  const double scale = stretch == Stretch::SlowMotionScaledStart ? 1 + rate : 1;
  const ClipPlacement where = Place(list, strFile, scale);
  // The editing services' answer is not the caller's concern: the record counts either way.
  if (track) {
    if (stretch == Stretch::None)
      AddSourceClip(track, where, 1);
    else
      AddSlowMotionSource(track, where, 1, rate);
  }
  return TRUE;
}

BOOL CTessaryCtrl::AddVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode) {
  return AddVideoClip(m_videoClips, strFile, iVideoStart, iVideoStop, iStretchMode, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddBgVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode) {
  return AddVideoClip(m_bgVideoClips, strFile, iVideoStart, iVideoStop, iStretchMode, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddVideoWithSlowMotion(LPCTSTR strFile, double iVideoStart, double iVideoStop,
                                          short iStretchMode, double iSlowMotionRate) {
  return AddVideoClip(m_videoClips, strFile, iVideoStart, iVideoStop, iStretchMode, Stretch::SlowMotion,
                      iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoWithSlowMotionMer(LPCTSTR strFile, double iVideoStart, double iVideoStop,
                                             short iStretchMode, double iSlowMotionRate) {
  return AddVideoWithSlowMotion(strFile, iVideoStart, iVideoStop, iStretchMode, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoSlow2(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                                 double iSlowMotionRate) {
  return AddVideoClip(m_videoClips, strFile, iVideoStart, iVideoStop, iStretchMode,
                      Stretch::SlowMotionScaledStart, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop) {
  return AddAudioClip(m_audioClips, m_pAudioTrack.get(), strFile, iAudioStart, iAudioStop, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddBgAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop) {
  return AddAudioClip(m_bgAudioClips, m_pBgAudioTrack.get(), strFile, iAudioStart, iAudioStop, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddAudioWithSlowMotion(LPCTSTR strFile, double iAudioStart, double iAudioStop,
                                          double iSlowMotionRate) {
  return AddAudioClip(m_audioClips, m_pAudioTrack.get(), strFile, iAudioStart, iAudioStop, Stretch::SlowMotion,
                      iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudioWithSlowMotionMer(LPCTSTR strFile, double iAudioStart, short iAudioStop,
                                             double iSlowMotionRate) {
  return AddAudioWithSlowMotion(strFile, iAudioStart, iAudioStop, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudioSlow2(LPCTSTR strFile, double iAudioStart, double iAudioStop, double iSlowMotionRate) {
  return AddAudioClip(m_audioClips, m_pAudioTrack.get(), strFile, iAudioStart, iAudioStop,
                      Stretch::SlowMotionScaledStart, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoWithTran(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                                    short iInsertTranID, double iTranDuration) {
  if (!ready_ || !PlayableTimes(iVideoStart, iVideoStop) || !std::isfinite(iTranDuration) ||
      EndsWith3(strFile, "ico"))
    return FALSE;
  OAFilterState state;
  const HRESULT stateResult = GetGraphState(&state);
  if (state == State_Running) return FALSE;
  VideoClipRecord record;
  record.mediaStart = iVideoStart;
  record.mediaStop = iVideoStop;
  m_videoClips.push_back(record);
  ClipPlacement where = Place(m_videoClips, strFile, 1);
  if (iInsertTranID == -1 && FAILED(stateResult)) return FALSE;
  ComPtr<IAMTimelineTrack> track;
  if (FAILED(NewVideoTrack(&track))) return FALSE;
  // The clip overlaps the one before by that clip's transition; after a clip without one it
  // starts where that clip ends.
  if (where.timelineStart != 0 && m_videoClips.size() > 1) {
    const VideoClipRecord& before = m_videoClips[m_videoClips.size() - 2];
    if (before.hasOverlap || before.hasPlacement) {
      where.timelineStart = before.hasOverlap ? before.overlapStart : before.timelineStop;
      where.timelineStop = where.timelineStart + (iVideoStop - iVideoStart);
    }
  }
  // The transition lies within its clip: a longer one would start the next clip before this one,
  // a negative one would start it after this one's end.
  const double transitionLength = std::clamp(iTranDuration, 0.0, where.timelineStop - where.timelineStart);
  double overlapStart = 0, overlapStop = 0;
  AddSourceWithTransition(track.get(), where, iStretchMode, transitionLength, &overlapStart, &overlapStop);
  VideoClipRecord& added = m_videoClips.back();
  added.timelineStart = where.timelineStart;
  added.timelineStop = where.timelineStop;
  added.hasPlacement = true;
  if (iInsertTranID != -1) {
    const double windowStart = where.timelineStop - transitionLength;
    // Numbered transitions are laid by the effects; collection items are held on the track here.
    if (iInsertTranID < 1000 && FAILED(AddTransitionNode(track.get(), iInsertTranID, windowStart, where.timelineStop)))
      return FALSE;
    added.overlapStart = windowStart;
    added.overlapStop = where.timelineStop;
    added.hasOverlap = true;
  }
  return TRUE;
}

BOOL CTessaryCtrl::AddAudioWithTran(LPCTSTR strFile, double iAudioStart, double iAudioStop, double) {
  if (!ready_ || !settings_.outputAudio || !PlayableTimes(iAudioStart, iAudioStop)) return FALSE;
  OAFilterState state;
  GetGraphState(&state);
  if (state == State_Running) return FALSE;
  m_audioClips.push_back({iAudioStart, iAudioStop});
  ClipPlacement where = Place(m_audioClips, strFile, 1);
  if (!m_pAudioComp || !m_pTimeline) return TRUE;
  ComPtr<IAMTimelineObj> node;
  if (FAILED(NewNode(m_pTimeline.get(), TIMELINE_MAJOR_TYPE_TRACK, &node))) return TRUE;
  ComPtr<IAMTimelineTrack> track;
  if (SUCCEEDED(m_pAudioComp->VTrackInsBefore(node.get(), 0)) && SUCCEEDED(node.As(IID_IAMTimelineTrack, &track))) {
    // Follows the span of the last video clip placed with a transition.
    if (where.timelineStart != 0 && !m_videoClips.empty() && m_videoClips.back().hasPlacement) {
      where.timelineStart = m_videoClips.back().timelineStart;
      where.timelineStop = m_videoClips.back().timelineStop;
    }
    AddSourceWithTransition(track.get(), where, -1, 0, nullptr, nullptr);
  }
  return TRUE;
}
