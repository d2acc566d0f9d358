#include "conversion/conversion_plan.h"

#include "control/device_category.h"

namespace {

// The device at a position of a category, in the enumerator's order; nothing bound past its end.
// The enumeration runs to its end.
BoundFilter BindCompressor(REFCLSID category, short position) {
  BoundFilter bound;
  ComPtr<IEnumMoniker> monikers;
  if (OpenDeviceCategory(category, &monikers) != S_OK) return bound;
  ComPtr<IMoniker> moniker;
  for (short index = 0; monikers->Next(1, moniker.put(), nullptr) == S_OK; ++index) {
    CString name;
    if (ReadFriendlyName(moniker.get(), name) != S_OK || index != position) continue;
    if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, bound.filter.putVoid())))
      bound.name = name;
  }
  return bound;
}

void SetDvFormat(const ComPtr<IBaseFilter>& compressor, bool pal) {
  auto dv = compressor.As<IDVEnc>(IID_IDVEnc);
  if (!dv) return;
  if (pal)
    dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_PAL, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, FALSE,
                              nullptr);
  else
    dv->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_360x240, FALSE,
                              nullptr);
}

}  // namespace

ConversionPlan::ConversionPlan(const OutputTypeRow& type, OutputSettings& settings, const GUID& profileId)
    : type_(type), useOverlay_(settings.useOverlay != FALSE) {
  const BoundFilter video = BindCompressor(CLSID_VideoCompressorCategory, settings.videoCompressor);
  SetDvFormat(video.filter, settings.dvVideoEncoderParam != 0);
  const BoundFilter audio = BindCompressor(CLSID_AudioCompressorCategory, settings.audioCompressor);
  writer_ = type.makeWriter({settings, video, audio, profileId});
}

HRESULT ConversionPlan::Build(IAMTimeline* timeline, LPCTSTR outputFile, HWND window, OverlayDriver& overlay,
                              ConversionGraph& graph) {
  ComPtr<ICaptureGraphBuilder2> builder;
  HRESULT hr = graph.Open(timeline);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                          builder.putVoid());
  if (SUCCEEDED(hr)) hr = builder->SetFiltergraph(graph.Graph());
  if (FAILED(hr)) return hr;

  GraphBuild build{builder.get(), graph.Graph(), graph.Writer(), window};
  hr = writer_->Add(build, outputFile);
  if (FAILED(hr)) return hr;
  hr = WireGroups(timeline, build, graph.RenderEngine(), overlay);
  if (FAILED(hr)) return hr;
  writer_->AfterGroups(build);

  if (auto interleaving = graph.Writer().As<IConfigInterleaving>(IID_IConfigInterleaving)) {
    const REFERENCE_TIME second = 10000000;
    interleaving->put_Mode(INTERLEAVE_FULL);
    interleaving->put_Interleaving(&second, &second);
  }
  // No clock: the conversion runs as fast as decoding and encoding allow.
  ComPtr<IMediaFilter> timing;
  if (!writer_->KeepsGraphClock() && SUCCEEDED(graph.Graph()->QueryInterface(IID_IMediaFilter, timing.putVoid())))
    timing->SetSyncSource(nullptr);
  return S_OK;
}

// Video goes through the tee to the writer (through the overlay when it is used) and to the live
// view; every other group straight to the writer stage. A group the render engine has no output
// pin for is left out.
HRESULT ConversionPlan::WireGroups(IAMTimeline* timeline, GraphBuild& build, IRenderEngine* engine,
                                   OverlayDriver& overlay) {
  LONG groups = 0;
  HRESULT hr = timeline->GetGroupCount(&groups);
  if (FAILED(hr)) return hr;
  ComPtr<IBaseFilter> tee;
  hr = CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, tee.putVoid());
  if (SUCCEEDED(hr)) hr = build.graph->AddFilter(tee.get(), type_.teeName);
  if (FAILED(hr)) return hr;

  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    ComPtr<IAMTimelineObj> node;
    ComPtr<IAMTimelineGroup> group;
    AM_MEDIA_TYPE type = {};
    ComPtr<IPin> pin;
    hr = timeline->GetGroup(node.put(), index);
    if (SUCCEEDED(hr) && FAILED(node.As(IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->GetMediaType(&type);
    if (SUCCEEDED(hr) && engine->GetGroupOutputPin(index, pin.put()) == S_OK) {
      if (type.majortype == MEDIATYPE_Video) {
        build.Render(pin.get(), nullptr, tee.get());
        IBaseFilter* video = tee.get();
        if (useOverlay_) {
          hr = InsertOverlay(build, tee.get(), overlay);
          video = overlay.Filter();
        }
        if (SUCCEEDED(hr)) writer_->RenderVideo(build, video);
        build.Render(tee.get(), nullptr, nullptr);  // the live view
      } else {
        writer_->RenderAudio(build, pin.get());
      }
    }
    FreeMediaType(type);
  }
  return hr;
}

// The overlay filter draws on RGB24 frames: a colour converter from the tee feeds it.
HRESULT ConversionPlan::InsertOverlay(GraphBuild& build, IBaseFilter* tee, OverlayDriver& overlay) {
  HRESULT hr = overlay.Insert(build.graph);
  if (FAILED(hr)) return hr;
  ComPtr<IBaseFilter> converter;
  hr = CoCreateInstance(CLSID_Colour, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, converter.putVoid());
  if (SUCCEEDED(hr)) hr = build.graph->AddFilter(converter.get(), type_.overlayConverterName);
  if (FAILED(hr)) return hr;
  build.Render(tee, nullptr, converter.get());
  build.Render(converter.get(), nullptr, overlay.Filter());
  return S_OK;
}
