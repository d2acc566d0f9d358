#include "preview/playback.h"

#include "ole/comptr.h"

REFERENCE_TIME SecondsToUnits(double seconds) { return REFERENCE_TIME(seconds * 10000000.0); }

namespace {

template <class Interface>
ComPtr<Interface> Query(IGraphBuilder* graph, REFIID iid) {
  ComPtr<Interface> found;
  if (graph) graph->QueryInterface(iid, found.putVoid());
  return found;
}

}  // namespace

HRESULT SeekGraph(IGraphBuilder* graph, REFERENCE_TIME position) {
  auto seeking = Query<IMediaSeeking>(graph, IID_IMediaSeeking);
  auto control = Query<IMediaControl>(graph, IID_IMediaControl);
  if (!seeking || !control) return E_NOINTERFACE;
  return seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

HRESULT PlayGraph(IGraphBuilder* graph) {
  auto control = Query<IMediaControl>(graph, IID_IMediaControl);
  if (!control) return E_NOINTERFACE;
  OAFilterState state = State_Stopped;
  HRESULT hr = control->GetState(INFINITE, &state);
  if (FAILED(hr) || state == State_Running) return hr;
  return control->Run();
}

HRESULT PauseGraph(IGraphBuilder* graph) {
  auto control = Query<IMediaControl>(graph, IID_IMediaControl);
  return control ? control->Pause() : E_NOINTERFACE;
}

bool GraphPaused(IGraphBuilder* graph) {
  auto control = Query<IMediaControl>(graph, IID_IMediaControl);
  OAFilterState state = State_Stopped;
  return control && SUCCEEDED(control->GetState(INFINITE, &state)) && state == State_Paused;
}

double GraphWholeSeconds(IGraphBuilder* graph) {
  auto seeking = Query<IMediaSeeking>(graph, IID_IMediaSeeking);
  LONGLONG current = 0, stop = 0;
  if (!seeking || FAILED(seeking->GetPositions(&current, &stop))) return 0;
  return double(current / 10000000);
}
