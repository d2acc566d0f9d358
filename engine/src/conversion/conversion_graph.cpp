#include "conversion/conversion_graph.h"

#include <vector>

#include "win32/windows.h"

HRESULT ConversionGraph::Open(IAMTimeline* timeline) {
  HRESULT hr =
      CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine, renderEngine_.putVoid());
  if (SUCCEEDED(hr)) hr = renderEngine_->SetTimelineObject(timeline);
  if (SUCCEEDED(hr)) hr = renderEngine_->ConnectFrontEnd();
  if (SUCCEEDED(hr)) hr = renderEngine_->GetFilterGraph(graph_.put());
  return hr;
}

HRESULT ConversionGraph::State(OAFilterState* state) const {
  *state = State_Stopped;
  if (!graph_) return S_FALSE;
  ComPtr<IMediaControl> control;
  const HRESULT hr = graph_.As(IID_IMediaControl, &control);
  return FAILED(hr) ? hr : control->GetState(INFINITE, state);
}

bool ConversionGraph::Running() const {
  OAFilterState state;
  State(&state);
  return state == State_Running;
}

HRESULT ConversionGraph::Run() {
  ComPtr<IMediaControl> control;
  const HRESULT hr = graph_.As(IID_IMediaControl, &control);
  return FAILED(hr) ? hr : control->Run();
}

void ConversionGraph::Stop() {
  if (auto control = graph_.As<IMediaControl>(IID_IMediaControl)) control->Stop();
}

HRESULT ConversionGraph::CurrentPosition(LONGLONG* position) const {
  *position = 0;
  ComPtr<IMediaSeeking> seeking;
  const HRESULT hr = graph_.As(IID_IMediaSeeking, &seeking);
  if (FAILED(hr)) return hr;
  seeking->GetCurrentPosition(position);
  return S_OK;
}

ComPtr<IMediaEventEx> ConversionGraph::Events() const { return graph_.As<IMediaEventEx>(IID_IMediaEventEx); }

void ConversionGraph::NotifyWindow(HWND window, UINT message) {
  if (auto events = Events()) events->SetNotifyWindow(OAHWND(window), message, 0);
}

void ConversionGraph::Release() {
  if (renderEngine_) renderEngine_->ScrapIt();
  if (graph_) {
    // Collect first: removing filters while enumerating would upset the enumeration.
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> all;
    if (SUCCEEDED(graph_->EnumFilters(all.put()))) {
      ComPtr<IBaseFilter> filter;
      while (all->Next(1, filter.put(), nullptr) == S_OK) filters.push_back(std::move(filter));
    }
    for (const ComPtr<IBaseFilter>& filter : filters) graph_->RemoveFilter(filter.get());
  }
  writer_ = nullptr;
  graph_ = nullptr;
  renderEngine_ = nullptr;
}
