// The clip adders of the automation surface: the control's conditions, then the editing timeline's
// work.
#include "control/tessary_ctrl.h"
#include "control/transitions.h"
#include "conversion/output_types.h"

using Layer = EditingTimeline::Layer;
using Stretch = EditingTimeline::Stretch;

bool CTessaryCtrl::TimelineEditable() { return ready_ && !graph_.Running(); }

bool CTessaryCtrl::SoundEditable() { return settings_.outputAudio && TimelineEditable(); }

void CTessaryCtrl::CreateTimeline() {
  TearDownEditing();
  if (!timeline_.Create()) return;
  if (const OutputTypeRow* type = FindOutputType(settings_.outputType)) ApplyFrameRule(*type, settings_);
  timeline_.AddGroups(settings_);
}

void CTessaryCtrl::TearDownEditing() {
  graph_.Stop();
  timeline_.ReleaseClips();
  if (!timeline_.Get()) return;
  ReleaseGraph();
  timeline_.Release();
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
  const HRESULT stateResult = graph_.State(&state);
  if (state == State_Running) return FALSE;
  return timeline_.AddVideoWithTransition(strFile, iVideoStart, iVideoStop, iStretchMode, iInsertTranID,
                                          iTranDuration, *transitions_, SUCCEEDED(stateResult));
}

BOOL CTessaryCtrl::AddAudioWithTran(LPCTSTR strFile, double iAudioStart, double iAudioStop, double) {
  return SoundEditable() && timeline_.AddAudioWithTransition(strFile, iAudioStart, iAudioStop);
}

BOOL CTessaryCtrl::AddTransition(short iTransitionID, double iStart, double iStop) {
  if (!ready_) return FALSE;
  // An item the collection does not hold names no class: refused before a node is made.
  CLSID clsid = GUID_NULL;
  transitions_->GetTransitionClsid(iTransitionID, clsid);
  if (clsid == GUID_NULL) return FALSE;
  return timeline_.AddTransition(clsid, iStart, iStop);
}

BOOL CTessaryCtrl::AddEffect(LONG iEffectID, double iStart, double iStop, LPCTSTR strParam1, LPCTSTR strParam2,
                             LPCTSTR strParam3, LPCTSTR strParam4) {
  if (!ready_) return FALSE;
  auto text = [](LPCTSTR s) { return std::string(s ? s : ""); };
  EffectChoice effect;
  if (!FindEffect(iEffectID, text(strParam1), text(strParam2), text(strParam3), text(strParam4), &effect))
    return FALSE;
  return timeline_.AddEffect(effect, iStart, iStop);
}
