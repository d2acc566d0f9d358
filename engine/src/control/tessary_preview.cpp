// Preview and playback: the timeline played in the control with its sound, paused, moved and
// followed through OnPlaying until PreviewComplete.
#include "control/tessary_ctrl.h"
#include "engine/tessary_ids.h"
#include "preview/playback.h"
#include "preview/preview_graph.h"
#include "preview/video_placement.h"

void CTessaryCtrl::ReleaseGraph() {
  graph_.Stop();
  overlay_.Release();
  graph_.Release();
  previewing_ = false;
}

BOOL CTessaryCtrl::Preview() {
  if (!ready_ || busy_) return FALSE;
  CWaitCursor wait;
  // Never two graphs on one timeline: the running one goes first.
  if (m_hWnd) KillTimer(kPreviewPositionTimer);
  ReleaseGraph();
  if (FAILED(StartPreviewGraph())) {
    ReleaseGraph();
    return FALSE;
  }
  SetTimer(kPreviewPositionTimer, 50, nullptr);
  return TRUE;
}

HRESULT CTessaryCtrl::StartPreviewGraph() {
  // Without the control's window nothing would show and the end would reach nobody.
  if (!m_hWnd || !timeline_.Get()) return E_UNEXPECTED;
  HRESULT hr = BuildPreviewGraph(timeline_.Get(), settings_.useOverlay != FALSE, overlay_, graph_);
  if (FAILED(hr)) return hr;
  previewing_ = true;
  if (prePos_ != 0) SeekGraph(graph_.Graph(), SecondsToUnits(prePos_));
  graph_.NotifyWindow(m_hWnd, kPreviewNotifyMessage);
  // The video window is in place before the run either way; with SetDivx it is placed again once
  // the picture runs.
  PlaceVideo(true);
  hr = graph_.Run();
  if (SUCCEEDED(hr) && setDivx_) PlaceVideo(true);
  return hr;
}

HRESULT CTessaryCtrl::PlaceVideo(bool attach) {
  VideoPlacement placement;
  placement.control = m_hWnd;
  placement.keepAspect = aspectRatio_ != FALSE;
  placement.fullScreen = fullScreen_;
  return PlaceVideoWindow(graph_.Graph(), placement, attach);
}

void CTessaryCtrl::ReportPlaying() {
  LONGLONG position = 0;
  if (!previewing_ || FAILED(graph_.CurrentPosition(&position))) return;
  FireEvent(eventidOnPlaying, EVENT_PARAM(VTS_R8), double(position) * 1e-7);
}

LRESULT CTessaryCtrl::OnPreviewGraphNotify(WPARAM, LPARAM) {
  // A late notice of a preview already let go must not read the conversion's graph.
  if (!previewing_) return 0;
  const ComPtr<IMediaEventEx> events = graph_.Events();
  if (!events) return 0;
  LONG code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
    events->FreeEventParams(code, param1, param2);
    switch (code) {
      case EC_COMPLETE:
        fullScreen_ = false;
        StopProcessing();
        FireEvent(eventidPreviewComplete, EVENT_PARAM(VTS_NONE));
        // What follows belongs to the graph just let go.
        return 0;
      case EC_REPAINT:
        Invalidate(TRUE);
        break;
      case EC_FULLSCREEN_LOST: {
        VideoPlacement placement;
        placement.control = m_hWnd;
        placement.keepAspect = aspectRatio_ != FALSE;
        RestoreVideoWindow(graph_.Graph(), placement, true);
        fullScreen_ = false;
        break;
      }
      default:
        break;
    }
  }
  return 0;
}

void CTessaryCtrl::Play() { PlayGraph(graph_.Graph()); }

void CTessaryCtrl::Pause() { PauseGraph(graph_.Graph()); }

BOOL CTessaryCtrl::IsPause() { return GraphPaused(graph_.Graph()); }

void CTessaryCtrl::SetPos(double fPos) { SeekGraph(graph_.Graph(), SecondsToUnits(fPos)); }

double CTessaryCtrl::GetPos() { return GraphWholeSeconds(graph_.Graph()); }

void CTessaryCtrl::ResizeControl(short, short, short iWidth, short iHeight) {
  SetControlSize(iWidth, iHeight);
  PlaceVideo(true);
}

void CTessaryCtrl::ShowFullScreen(BOOL iFlag) { fullScreen_ = iFlag != FALSE; }

void CTessaryCtrl::SetAspectRatio(BOOL bNewValue) {
  aspectRatio_ = bNewValue;
  PropertyStored(dispidAspectRatio, Notify::DesignMode);
  PlaceVideo(true);
}

BOOL CTessaryCtrl::CheckDivxFile(LPCTSTR strFileName) {
  ComPtr<IGraphBuilder> probe;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, probe.putVoid())))
    return FALSE;
  const CStringW name(strFileName);
  if (FAILED(probe->RenderFile(name, nullptr))) return FALSE;
  ComPtr<IBaseFilter> decoder;
  return SUCCEEDED(probe->FindFilterByName(u"DivX Decoder Filter", decoder.put()));
}
