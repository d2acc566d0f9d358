// The saves of the timeline's sound alone, and the RealMedia audience list.
#include "control/tessary_ctrl.h"
#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "engine/tessary_ids.h"
#include "conversion/real_media_writer_stage.h"
#include "conversion/sound_save.h"

// A save needs the control's window for the graph's notices and a timeline; it waits for a
// conversion or another save to end, while a preview gives way to it.
bool CTessaryCtrl::SoundSaveAllowed() {
  if (!m_hWnd || !timeline_.Get()) return false;
  if (previewing_) {
    KillTimer(kPreviewPositionTimer);
    ReleaseGraph();
  }
  return !graph_.Running();
}

// A build that found no sound to save fails too (S_FALSE); a failed build's graph stays until Stop
// or the next build lets it go.
BOOL CTessaryCtrl::RunSoundSave(HRESULT build) {
  if (build != S_OK) return FALSE;
  graph_.NotifyWindow(m_hWnd, kGraphNotifyMessage);
  if (FAILED(graph_.Run())) return FALSE;
  SetTimer(kSoundSaveProgressTimer, 100, nullptr);
  return TRUE;
}

BOOL CTessaryCtrl::Save2Wave(LPCTSTR strOutputFile, short iChannels, LONG iSamplesPerSec, short iBitsPerSample) {
  WaveFormat format;
  if (!SoundSaveAllowed() || !ReadWaveArguments(iChannels, iSamplesPerSec, iBitsPerSample, &format)) return FALSE;
  CWaitCursor wait;
  return RunSoundSave(SoundSave(timeline_.Get(), graph_).SaveWave(strOutputFile, format));
}

BOOL CTessaryCtrl::Save2WMA(LPCTSTR strFileName) {
  if (!SoundSaveAllowed()) return FALSE;
  GUID profileId = GUID_NULL;
  if (const CWMVProfile* profile = wmvProfiles_->ProfileAt(settings_.wmvProfile)) profileId = profile->ProfileId();
  CWaitCursor wait;
  return RunSoundSave(SoundSave(timeline_.Get(), graph_).SaveWindowsMedia(strFileName, profileId));
}

BOOL CTessaryCtrl::Save2MP3(LPCTSTR strOutputFile, LONG iMP3SampleRate, short iMP3BitRate) {
  if (!SoundSaveAllowed()) return FALSE;
  CWaitCursor wait;
  return RunSoundSave(SoundSave(timeline_.Get(), graph_).SaveMp3(strOutputFile, iMP3SampleRate, iMP3BitRate));
}

void CTessaryCtrl::ReportSoundSaveProgress() {
  LONGLONG position = 0;
  if (FAILED(graph_.CurrentPosition(&position))) return;
  const double total = GetTotalDuration();
  if (total >= 0) FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), double(position) * 1e-7, total);
}

void CTessaryCtrl::LoadRmProfiles() { AppendRealMediaAudiences(settings_.rmDllPath, rmProfileNames_); }

BSTR CTessaryCtrl::GetRMProfileName(short iIndex) {
  if (iIndex < 0 || size_t(iIndex) >= rmProfileNames_.size()) return CString().AllocSysString();
  return rmProfileNames_[size_t(iIndex)].AllocSysString();
}
