#include "render_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "effects/video_effect.h"
#include "timeline/timeline.h"

namespace des {

namespace {

std::vector<ComPtr<IBaseFilter>> FiltersOf(IGraphBuilder* graph) {
  std::vector<ComPtr<IBaseFilter>> filters;
  ComPtr<IEnumFilters> e;
  if (FAILED(graph->EnumFilters(e.put()))) return filters;
  ComPtr<IBaseFilter> f;
  while (e->Next(1, f.put(), nullptr) == S_OK) filters.push_back(std::move(f));
  return filters;
}

bool PinCarries(IPin* pin, const GUID& major) {
  ComPtr<IEnumMediaTypes> e;
  if (FAILED(pin->EnumMediaTypes(e.put()))) return false;
  bool found = false;
  AM_MEDIA_TYPE* mt = nullptr;
  while (!found && e->Next(1, &mt, nullptr) == S_OK) {
    found = mt->majortype == major;
    DeleteMediaType(mt);
  }
  return found;
}

// The group's type as its pin delivers it: the frame time and image size filled in.
HRESULT OutputType(const CMediaType& groupType, double fps, CMediaType* out) {
  *out = groupType;
  if (groupType.majortype == MEDIATYPE_Video) {
    if (groupType.formattype != FORMAT_VideoInfo || groupType.cbFormat < sizeof(VIDEOINFOHEADER))
      return VFW_E_INVALIDMEDIATYPE;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(out->pbFormat);
    BITMAPINFOHEADER& bmi = vih->bmiHeader;
    const GUID sub = groupType.subtype;
    const WORD bits = sub == MEDIASUBTYPE_RGB32 ? 32 : sub == MEDIASUBTYPE_RGB24 ? 24 : sub == MEDIASUBTYPE_RGB555 ? 16 : 0;
    if (bits == 0 || bmi.biBitCount != bits || bmi.biWidth <= 0 || bmi.biHeight <= 0 || bmi.biCompression != BI_RGB)
      return VFW_E_INVALIDMEDIATYPE;
    // A frame's length travels as a signed 32-bit count.
    const uint64_t size = (uint64_t(bmi.biWidth) * bits + 31) / 32 * 4 * uint64_t(bmi.biHeight);
    if (size > uint64_t(INT32_MAX)) return VFW_E_INVALIDMEDIATYPE;
    bmi.biSizeImage = DWORD(size);
    vih->AvgTimePerFrame = std::llround(UNITS / fps);
    out->SetSampleSize(bmi.biSizeImage);
    out->SetTemporalCompression(FALSE);
    return S_OK;
  }
  if (groupType.formattype != FORMAT_WaveFormatEx || groupType.cbFormat < sizeof(WAVEFORMATEX) - 2)
    return VFW_E_INVALIDMEDIATYPE;
  auto* wf = reinterpret_cast<WAVEFORMATEX*>(out->pbFormat);
  // Bytes a second must fit the format's 32-bit field, and the rate a signed count.
  if (wf->wFormatTag != WAVE_FORMAT_PCM || wf->wBitsPerSample != 16 || wf->nChannels == 0 || wf->nChannels > 8 ||
      wf->nSamplesPerSec == 0 || uint64_t(wf->nSamplesPerSec) * wf->nChannels * 2 > uint64_t(INT32_MAX))
    return VFW_E_INVALIDMEDIATYPE;
  wf->nBlockAlign = WORD(wf->nChannels * 2);
  wf->nAvgBytesPerSec = wf->nSamplesPerSec * wf->nBlockAlign;
  out->SetSampleSize(wf->nBlockAlign);
  return S_OK;
}

std::vector<TransitionPlan> TransitionsOf(const TimelineNode& node) {
  std::vector<TransitionPlan> plans;
  for (const ComPtr<TimelineNode>& t : node.Transitions()) {
    if (t->Stop() <= t->Start()) continue;
    TransitionPlan plan;
    plan.start = t->Start();
    plan.stop = t->Stop();
    plan.swap = t->SwapsInputs();
    plan.draw = MakeTransition(t->SubObjectClass(), EffectParameters(t->Setter()));
    if (plan.draw) plans.push_back(std::move(plan));
  }
  return plans;
}

}  // namespace

RenderEngine::RenderEngine() : CUnknown("RenderEngine", nullptr) {}

RenderEngine::~RenderEngine() { ScrapIt(); }

STDMETHODIMP RenderEngine::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IRenderEngine) return GetInterface(static_cast<IRenderEngine*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP RenderEngine::SetTimelineObject(IAMTimeline* pTimeline) {
  if (pTimeline && !dynamic_cast<Timeline*>(pTimeline)) return E_NOINTERFACE;
  if (built_) ScrapIt();
  timeline_.Reset(pTimeline);
  return S_OK;
}

STDMETHODIMP RenderEngine::GetTimelineObject(IAMTimeline** ppTimeline) {
  if (!ppTimeline) return E_POINTER;
  timeline_.CopyTo(ppTimeline);
  return timeline_ ? S_OK : S_FALSE;
}

STDMETHODIMP RenderEngine::GetFilterGraph(IGraphBuilder** ppFG) {
  if (!ppFG) return E_POINTER;
  graph_.CopyTo(ppFG);
  return graph_ ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP RenderEngine::SetFilterGraph(IGraphBuilder* pFG) {
  if (built_) return E_UNEXPECTED;
  graph_.Reset(pFG);
  return S_OK;
}

STDMETHODIMP RenderEngine::SetInterestRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) {
  if (Start < 0 || Stop <= Start) return E_INVALIDARG;
  interestStart_ = Start;
  interestStop_ = Stop;
  return S_OK;
}

STDMETHODIMP RenderEngine::SetInterestRange2(double Start, double Stop) {
  return SetInterestRange(UnitsFromSeconds(Start), UnitsFromSeconds(Stop));
}

STDMETHODIMP RenderEngine::SetRenderRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) {
  if (built_) return E_UNEXPECTED;
  if (Start < 0 || Stop <= Start) return E_INVALIDARG;
  renderStart_ = Start;
  renderStop_ = Stop;
  return S_OK;
}

STDMETHODIMP RenderEngine::SetRenderRange2(double Start, double Stop) {
  return SetRenderRange(UnitsFromSeconds(Start), UnitsFromSeconds(Stop));
}

STDMETHODIMP RenderEngine::GetGroupOutputPin(LONG Group, IPin** ppRenderPin) {
  if (!ppRenderPin) return E_POINTER;
  *ppRenderPin = nullptr;
  if (!built_) return E_UNEXPECTED;
  if (Group < 0 || Group >= LONG(groups_.size())) return E_INVALIDARG;
  IPin* pin = groups_[size_t(Group)]->OutputPin();
  pin->AddRef();
  *ppRenderPin = pin;
  return S_OK;
}

void RenderEngine::RemoveFrontEnd() {
  if (graph_ && built_) {
    for (const ComPtr<IBaseFilter>& f : FiltersOf(graph_.get()))
      if (std::find(before_.begin(), before_.end(), f) == before_.end()) graph_->RemoveFilter(f.get());
  }
  before_.clear();
  groups_.clear();
  built_ = false;
}

void RenderEngine::StopGraph() {
  if (auto control = graph_.As<IMediaControl>(IID_IMediaControl)) control->Stop();
}

STDMETHODIMP RenderEngine::ScrapIt() {
  if (!graph_) return S_OK;
  StopGraph();
  RemoveFrontEnd();
  graph_ = nullptr;
  return S_OK;
}

STDMETHODIMP RenderEngine::RenderOutputPins() {
  if (!built_) return E_UNEXPECTED;
  for (const ComPtr<GroupFilter>& g : groups_) {
    ComPtr<IPin> peer;
    if (SUCCEEDED(g->OutputPin()->ConnectedTo(peer.put())) && peer) continue;
    HRESULT hr = graph_->Render(g->OutputPin());
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

STDMETHODIMP RenderEngine::GetVendorString(BSTR* pVendorID) {
  if (!pVendorID) return E_POINTER;
  *pVendorID = SysAllocString(u"Corvane");
  return *pVendorID ? S_OK : E_OUTOFMEMORY;
}

HRESULT RenderEngine::PlanGroup(const Timeline& timeline, const TimelineNode& group, GroupPlan* plan) const {
  plan->video = group.MediaType().majortype == MEDIATYPE_Video;
  plan->fps = group.OutputFPS();
  HRESULT hr = OutputType(group.MediaType(), plan->fps, &plan->type);
  if (FAILED(hr)) return hr;
  plan->rangeStart = renderStart_;
  plan->rangeStop = renderStop_ >= 0 ? renderStop_ : timeline.Duration();
  const REFERENCE_TIME from = std::max({interestStart_, timeline.InterestStart(), plan->rangeStart});
  const REFERENCE_TIME to = std::min({interestStop_, timeline.InterestStop(), plan->rangeStop});
  std::vector<const TimelineNode*> tracks;
  group.CollectLayers(&tracks);
  for (const TimelineNode* track : tracks) {
    std::vector<ClipPlan> layer;
    for (const ComPtr<TimelineNode>& s : track->Sources()) {
      if (s->Stop() <= s->Start() || s->Stop() <= from || s->Start() >= to) continue;
      ClipPlan clip;
      clip.file = s->MediaName();
      clip.stream = s->StreamNumber();
      clip.start = s->Start();
      clip.stop = s->Stop();
      clip.mediaStart = s->MediaStart();
      clip.mediaStop = s->MediaStop();
      clip.stretchMode = s->StretchMode();
      layer.push_back(clip);
    }
    plan->layers.push_back(std::move(layer));
    if (plan->video && timeline.DrawsTransitions()) plan->layerTransitions.push_back(TransitionsOf(*track));
  }
  if (!plan->video) return S_OK;
  if (timeline.DrawsTransitions()) plan->groupTransitions = TransitionsOf(group);
  if (timeline.DrawsEffects()) {
    for (const ComPtr<TimelineNode>& e : group.Effects()) {
      EffectPlan effect;
      effect.start = e->Start();
      effect.stop = e->Stop();
      effect.apply = MakeEffect(e->SubObjectClass(), EffectParameters(e->Setter()));
      if (effect.apply && effect.stop > effect.start) plan->effects.push_back(std::move(effect));
    }
  }
  return S_OK;
}

HRESULT RenderEngine::ConnectClip(GroupFilter* group, size_t layer, size_t index) {
  const ClipPlan& clip = group->Plan().layers[layer][index];
  const bool video = group->Plan().video;
  ComPtr<IBaseFilter> source;
  HRESULT hr = graph_->AddSourceFilter(clip.file.c_str(), nullptr, source.put());
  if (FAILED(hr)) return hr;
  const GUID& major = video ? MEDIATYPE_Video : MEDIATYPE_Audio;
  ComPtr<IPin> chosen;
  LONG seen = 0;
  ComPtr<IEnumPins> pins;
  if (SUCCEEDED(source->EnumPins(pins.put()))) {
    ComPtr<IPin> pin;
    while (!chosen && pins->Next(1, pin.put(), nullptr) == S_OK) {
      PIN_DIRECTION dir;
      if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == PINDIR_OUTPUT && PinCarries(pin.get(), major) &&
          seen++ == clip.stream)
        chosen = std::move(pin);
    }
  }
  if (!chosen) {  // a file without such a stream plays as a gap
    graph_->RemoveFilter(source.get());
    return S_OK;
  }
  ClipInputPin* input = group->AddClipInput(layer, index);
  hr = graph_->Connect(chosen.get(), input);
  // The chain starts at the clip's media start (a chain that cannot seek is read from its
  // beginning, its samples before the clip passed over).
  if (SUCCEEDED(hr)) input->SeekChain(clip.mediaStart);
  return hr;
}

STDMETHODIMP RenderEngine::ConnectFrontEnd() {
  auto* timeline = dynamic_cast<Timeline*>(timeline_.get());
  if (!timeline) return E_UNEXPECTED;
  if (built_) {
    StopGraph();  // a running graph keeps its filters
    RemoveFrontEnd();
  }
  if (!graph_) {
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  graph_.putVoid());
    if (FAILED(hr)) return hr;
  }
  before_ = FiltersOf(graph_.get());
  built_ = true;
  HRESULT hr = S_OK;
  for (size_t g = 0; g < timeline->Groups().size() && SUCCEEDED(hr); ++g) {
    GroupPlan plan;
    hr = PlanGroup(*timeline, *timeline->Groups()[g], &plan);
    if (FAILED(hr)) break;
    GroupFilter* filter = groups_.emplace_back(new GroupFilter(std::move(plan), &hr)).get();
    if (FAILED(hr)) break;
    std::u16string name = u"Group ";
    for (char c : std::to_string(g)) name += char16_t(c);
    hr = graph_->AddFilter(filter, name.c_str());
    const GroupPlan& placed = filter->Plan();
    for (size_t l = 0; l < placed.layers.size() && SUCCEEDED(hr); ++l)
      for (size_t i = 0; i < placed.layers[l].size() && SUCCEEDED(hr); ++i)
        hr = ConnectClip(filter, l, i);
  }
  if (FAILED(hr)) RemoveFrontEnd();
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace des
