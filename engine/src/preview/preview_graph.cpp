#include "preview/preview_graph.h"

namespace {

HRESULT AddNew(IGraphBuilder* graph, REFCLSID clsid, LPCWSTR name, ComPtr<IBaseFilter>* filter) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter->putVoid());
  return SUCCEEDED(hr) ? graph->AddFilter(filter->get(), name) : hr;
}

HRESULT RenderVideo(ICaptureGraphBuilder2* builder, IGraphBuilder* graph, IPin* pin, IBaseFilter* tee,
                    bool useOverlay, OverlayDriver& overlay) {
  if (useOverlay) {
    HRESULT hr = overlay.Insert(graph);
    if (FAILED(hr)) return hr;
    // The builder puts converters in where the overlay filter needs another picture format.
    hr = builder->RenderStream(nullptr, nullptr, pin, nullptr, tee);
    if (SUCCEEDED(hr)) hr = builder->RenderStream(nullptr, nullptr, tee, nullptr, overlay.Filter());
    if (SUCCEEDED(hr)) hr = builder->RenderStream(nullptr, nullptr, overlay.Filter(), nullptr, nullptr);
    return hr;
  }
  ComPtr<IBaseFilter> renderer;
  // Without the mixing renderer the builder picks the default one.
  AddNew(graph, CLSID_VideoMixingRenderer9, u"Video Mixing Renderer 9", &renderer);
  return builder->RenderStream(nullptr, nullptr, pin, nullptr, renderer.get());
}

}  // namespace

HRESULT BuildPreviewGraph(IAMTimeline* timeline, bool useOverlay, OverlayDriver& overlay, ConversionGraph& graph) {
  ComPtr<ICaptureGraphBuilder2> builder;
  HRESULT hr = graph.Open(timeline);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                          builder.putVoid());
  if (SUCCEEDED(hr)) hr = builder->SetFiltergraph(graph.Graph());
  if (FAILED(hr)) return hr;

  LONG groups = 0;
  hr = timeline->GetGroupCount(&groups);
  ComPtr<IBaseFilter> tee;
  if (SUCCEEDED(hr)) hr = AddNew(graph.Graph(), CLSID_InfTee, u"Smart Tee 2", &tee);
  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    ComPtr<IAMTimelineObj> node;
    ComPtr<IAMTimelineGroup> group;
    AM_MEDIA_TYPE type = {};
    ComPtr<IPin> pin;
    hr = timeline->GetGroup(node.put(), index);
    if (SUCCEEDED(hr) && FAILED(node.As(IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->GetMediaType(&type);
    HRESULT pinResult = S_FALSE;
    if (SUCCEEDED(hr)) pinResult = graph.RenderEngine()->GetGroupOutputPin(index, pin.put());
    if (FAILED(pinResult)) hr = pinResult;
    if (SUCCEEDED(hr) && pinResult == S_OK) {
      if (type.majortype == MEDIATYPE_Video) {
        hr = RenderVideo(builder.get(), graph.Graph(), pin.get(), tee.get(), useOverlay, overlay);
      } else {
        ComPtr<IBaseFilter> renderer;
        hr = AddNew(graph.Graph(), CLSID_AudioRender, u"Audio Renderer", &renderer);
        if (SUCCEEDED(hr)) hr = builder->RenderStream(nullptr, nullptr, pin.get(), nullptr, renderer.get());
      }
    }
    FreeMediaType(type);
  }
  return hr;
}
