// The clip adders of the automation surface: the control's conditions, then the editing timeline's
// work.
#include <algorithm>
#include <vector>

#include "control/tessary_ctrl.h"
#include "control/transitions.h"

using Layer = EditingTimeline::Layer;
using Stretch = EditingTimeline::Stretch;

bool CTessaryCtrl::TimelineEditable() {
  if (!ready_) return false;
  OAFilterState state;
  GetGraphState(&state);
  return state != State_Running;
}

bool CTessaryCtrl::SoundEditable() { return settings_.outputAudio && TimelineEditable(); }

void CTessaryCtrl::CreateTimeline() {
  TearDownEditing();
  if (!timeline_.Create()) return;

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
  timeline_.AddGroups(settings_);
}

void CTessaryCtrl::TearDownEditing() {
  if (auto control = m_pGraph.As<IMediaControl>(IID_IMediaControl)) control->Stop();
  timeline_.ReleaseClips();
  if (!timeline_.Get()) return;
  ReleaseGraph();
  timeline_.Release();
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

double CTessaryCtrl::GetTotalDuration() { return timeline_.Duration(); }

BOOL CTessaryCtrl::AddVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode) {
  return TimelineEditable() &&
         timeline_.AddVideo(Layer::Main, strFile, iVideoStart, iVideoStop, iStretchMode, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddBgVideo(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode) {
  return TimelineEditable() &&
         timeline_.AddVideo(Layer::Background, strFile, iVideoStart, iVideoStop, iStretchMode, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddVideoWithSlowMotion(LPCTSTR strFile, double iVideoStart, double iVideoStop,
                                          short iStretchMode, double iSlowMotionRate) {
  return TimelineEditable() && timeline_.AddVideo(Layer::Main, strFile, iVideoStart, iVideoStop, iStretchMode,
                                                  Stretch::SlowMotion, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoWithSlowMotionMer(LPCTSTR strFile, double iVideoStart, double iVideoStop,
                                             short iStretchMode, double iSlowMotionRate) {
  return AddVideoWithSlowMotion(strFile, iVideoStart, iVideoStop, iStretchMode, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoSlow2(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                                 double iSlowMotionRate) {
  return TimelineEditable() && timeline_.AddVideo(Layer::Main, strFile, iVideoStart, iVideoStop, iStretchMode,
                                                  Stretch::SlowMotionScaledStart, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop) {
  return SoundEditable() && timeline_.AddAudio(Layer::Main, strFile, iAudioStart, iAudioStop, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddBgAudio(LPCTSTR strFile, double iAudioStart, double iAudioStop) {
  return SoundEditable() &&
         timeline_.AddAudio(Layer::Background, strFile, iAudioStart, iAudioStop, Stretch::None, 0);
}

BOOL CTessaryCtrl::AddAudioWithSlowMotion(LPCTSTR strFile, double iAudioStart, double iAudioStop,
                                          double iSlowMotionRate) {
  return SoundEditable() &&
         timeline_.AddAudio(Layer::Main, strFile, iAudioStart, iAudioStop, Stretch::SlowMotion, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudioWithSlowMotionMer(LPCTSTR strFile, double iAudioStart, short iAudioStop,
                                             double iSlowMotionRate) {
  return AddAudioWithSlowMotion(strFile, iAudioStart, iAudioStop, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddAudioSlow2(LPCTSTR strFile, double iAudioStart, double iAudioStop, double iSlowMotionRate) {
  return SoundEditable() && timeline_.AddAudio(Layer::Main, strFile, iAudioStart, iAudioStop,
                                               Stretch::SlowMotionScaledStart, iSlowMotionRate);
}

BOOL CTessaryCtrl::AddVideoWithTran(LPCTSTR strFile, double iVideoStart, double iVideoStop, short iStretchMode,
                                    short iInsertTranID, double iTranDuration) {
  if (!ready_) return FALSE;
  OAFilterState state;
  const HRESULT stateResult = GetGraphState(&state);
  if (state == State_Running) return FALSE;
  return timeline_.AddVideoWithTransition(strFile, iVideoStart, iVideoStop, iStretchMode, iInsertTranID,
                                          iTranDuration, *transitions_, SUCCEEDED(stateResult));
}

BOOL CTessaryCtrl::AddAudioWithTran(LPCTSTR strFile, double iAudioStart, double iAudioStop, double) {
  return SoundEditable() && timeline_.AddAudioWithTransition(strFile, iAudioStart, iAudioStop);
}
