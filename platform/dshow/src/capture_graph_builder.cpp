#include "capture_graph_builder.h"

#include <deque>
#include <set>
#include <vector>

#include "dshow/uuids.h"
#include "dshow/filter_pins.h"

namespace dshow {
namespace {

// The pin carries (or offers) the major type; a pin that offers no types yet is taken as fitting.
bool HasMajorType(IPin* pin, const GUID* type) {
  if (!type) return true;
  AM_MEDIA_TYPE mt{};
  if (SUCCEEDED(pin->ConnectionMediaType(&mt))) {
    bool match = mt.majortype == *type;
    FreeMediaType(mt);
    return match;
  }
  ComPtr<IEnumMediaTypes> e;
  if (FAILED(pin->EnumMediaTypes(e.put())) || !e) return true;
  bool any = false, match = false;
  AM_MEDIA_TYPE* offered = nullptr;
  while (!match && e->Next(1, &offered, nullptr) == S_OK) {
    any = true;
    match = offered->majortype == *type;
    DeleteMediaType(offered);
  }
  return match || !any;
}

}  // namespace

CUnknown* CaptureGraphBuilder::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new CaptureGraphBuilder(outer, phr);
}

STDMETHODIMP CaptureGraphBuilder::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ICaptureGraphBuilder2) return GetInterface(static_cast<ICaptureGraphBuilder2*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CaptureGraphBuilder::EnsureGraph() {
  if (graph_) return S_OK;
  return CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.putVoid());
}

HRESULT CaptureGraphBuilder::EnsureInGraph(IBaseFilter* filter) {
  FILTER_INFO info{};
  if (FAILED(filter->QueryFilterInfo(&info))) return E_FAIL;
  const auto itsGraph = ComPtr<IFilterGraph>::Adopt(info.pGraph);
  if (!itsGraph) {
    HRESULT hr = graph_->AddFilter(filter, nullptr);
    return FAILED(hr) ? hr : S_OK;
  }
  if (itsGraph.get() == static_cast<IFilterGraph*>(graph_.get())) return S_OK;
  // The same graph may come back through another interface pointer.
  const auto a = itsGraph.As<IUnknown>(IID_IUnknown);
  const auto b = graph_.As<IUnknown>(IID_IUnknown);
  return a && a == b ? S_OK : VFW_E_NOT_IN_GRAPH;
}

ComPtr<IBaseFilter> CaptureGraphBuilder::AddNew(REFCLSID clsid, LPCWSTR name, HRESULT* hr) {
  ComPtr<IBaseFilter> filter;
  *hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.putVoid());
  if (FAILED(*hr)) return nullptr;
  *hr = graph_->AddFilter(filter.get(), name);
  return FAILED(*hr) ? nullptr : filter;
}

STDMETHODIMP CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* pfg) {
  if (!pfg) return E_POINTER;
  if (graph_) return E_UNEXPECTED;
  graph_ = pfg;
  return S_OK;
}

STDMETHODIMP CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** ppfg) {
  if (!ppfg) return E_POINTER;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;
  return graph_.CopyTo(ppfg);
}

STDMETHODIMP CaptureGraphBuilder::SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                                                    IFileSinkFilter** ppSink) {
  if (!pType || !lpstrFile) return E_POINTER;
  if (ppf) *ppf = nullptr;
  if (ppSink) *ppSink = nullptr;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;

  ComPtr<IBaseFilter> mux;
  if (*pType == MEDIASUBTYPE_Asf)
    mux = AddNew(CLSID_WMAsfWriter, u"WM ASF Writer", &hr);
  else
    mux = AddNew(*pType == MEDIASUBTYPE_Avi ? CLSID_AviDest : *pType, u"Mux", &hr);
  if (FAILED(hr)) return hr;

  ComPtr<IBaseFilter> writer;
  ComPtr<IFileSinkFilter> sink = mux.As<IFileSinkFilter>(IID_IFileSinkFilter);
  if (!sink) {
    // The multiplexer streams into a File Writer.
    writer = AddNew(CLSID_FileWriter, u"File Writer", &hr);
    if (SUCCEEDED(hr)) hr = writer.As(IID_IFileSinkFilter, &sink);
    if (SUCCEEDED(hr)) hr = sink->SetFileName(lpstrFile, nullptr);
    if (SUCCEEDED(hr)) {
      ComPtr<IPin> out;
      ComPtr<IPin> in;
      hr = FindPin(mux.get(), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, out.put());
      if (SUCCEEDED(hr)) hr = FindPin(writer.get(), PINDIR_INPUT, nullptr, nullptr, TRUE, 0, in.put());
      if (SUCCEEDED(hr)) hr = graph_->ConnectDirect(out.get(), in.get(), nullptr);
    }
  } else {
    hr = sink->SetFileName(lpstrFile, nullptr);
  }

  if (FAILED(hr)) {
    sink = nullptr;
    if (writer) graph_->RemoveFilter(writer.get());
    graph_->RemoveFilter(mux.get());
    return hr;
  }
  if (ppSink) *ppSink = sink.Detach();
  if (ppf) *ppf = mux.Detach();
  return S_OK;
}

STDMETHODIMP CaptureGraphBuilder::FindInterface(const GUID* pCategory, const GUID*, IBaseFilter* pf, REFIID riid,
                                                void** ppint) {
  if (!pf || !ppint) return E_POINTER;
  *ppint = nullptr;
  bool upOnly = pCategory && *pCategory == LOOK_UPSTREAM_ONLY;
  bool downOnly = pCategory && *pCategory == LOOK_DOWNSTREAM_ONLY;
  if (pCategory && !upOnly && !downOnly) return E_NOINTERFACE;  // no pin has a category

  if (!upOnly && !downOnly) {
    if (SUCCEEDED(pf->QueryInterface(riid, ppint))) return S_OK;
    for (const ComPtr<IPin>& pin : PinsOf(pf))
      if (SUCCEEDED(pin->QueryInterface(riid, ppint))) return S_OK;
  }
  // Breadth first along the connections, downstream then upstream.
  for (PIN_DIRECTION way : {PINDIR_OUTPUT, PINDIR_INPUT}) {
    if ((upOnly && way == PINDIR_OUTPUT) || (downOnly && way == PINDIR_INPUT)) continue;
    std::set<IBaseFilter*> seen{pf};
    std::deque<IBaseFilter*> queue{pf};  // filters stay alive in the graph
    while (!queue.empty()) {
      IBaseFilter* current = queue.front();
      queue.pop_front();
      for (const ComPtr<IPin>& pin : PinsOf(current)) {
        PIN_DIRECTION dir;
        if (FAILED(pin->QueryDirection(&dir)) || dir != way) continue;
        const ComPtr<IPin> peer = PeerOf(pin.get());
        if (!peer) continue;
        PIN_INFO info{};
        HRESULT hr = peer->QueryPinInfo(&info);
        const auto owner = ComPtr<IBaseFilter>::Adopt(SUCCEEDED(hr) ? info.pFilter : nullptr);
        bool found = SUCCEEDED(peer->QueryInterface(riid, ppint));
        if (owner && !found && seen.insert(owner.get()).second) {
          found = SUCCEEDED(owner->QueryInterface(riid, ppint));
          queue.push_back(owner.get());
        }
        if (found) return S_OK;
      }
    }
  }
  return E_NOINTERFACE;
}

STDMETHODIMP CaptureGraphBuilder::FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                                          const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) {
  if (!pSource || !ppPin) return E_POINTER;
  *ppPin = nullptr;
  if (pCategory) return E_FAIL;
  ComPtr<IPin> pin;
  if (SUCCEEDED(pSource->QueryInterface(IID_IPin, pin.putVoid()))) {
    PIN_DIRECTION dir;
    bool ok = SUCCEEDED(pin->QueryDirection(&dir)) && dir == pindir && HasMajorType(pin.get(), pType);
    if (ok && fUnconnected && PeerOf(pin.get())) ok = false;
    if (!ok || num != 0) return E_FAIL;
    *ppPin = pin.Detach();
    return S_OK;
  }
  ComPtr<IBaseFilter> filter;
  if (FAILED(pSource->QueryInterface(IID_IBaseFilter, filter.putVoid()))) return E_NOINTERFACE;
  for (const ComPtr<IPin>& candidate : PinsOf(filter.get())) {
    PIN_DIRECTION dir;
    if (FAILED(candidate->QueryDirection(&dir)) || dir != pindir || !HasMajorType(candidate.get(), pType)) continue;
    if (fUnconnected && PeerOf(candidate.get())) continue;
    if (num-- == 0) return candidate.CopyTo(ppPin);
  }
  return E_FAIL;
}

STDMETHODIMP CaptureGraphBuilder::RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                                               IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) {
  if (!pSource) return E_POINTER;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;
  // Capture and preview categories name every output here: our pins carry no categories.
  (void)pCategory;
  ComPtr<IPin> from;
  hr = FindPin(pSource, PINDIR_OUTPUT, nullptr, pType, TRUE, 0, from.put());
  if (FAILED(hr)) return hr;

  ComPtr<IPin> compressorIn;
  if (pfCompressor) {
    hr = EnsureInGraph(pfCompressor);
    if (SUCCEEDED(hr)) hr = FindPin(pfCompressor, PINDIR_INPUT, nullptr, nullptr, TRUE, 0, compressorIn.put());
    if (SUCCEEDED(hr)) hr = graph_->Connect(from.get(), compressorIn.get());
    from = nullptr;
    if (SUCCEEDED(hr)) hr = FindPin(pfCompressor, PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, from.put());
    if (FAILED(hr)) {
      if (compressorIn) {
        graph_->Disconnect(compressorIn.get());
        if (const ComPtr<IPin> peer = PeerOf(compressorIn.get())) graph_->Disconnect(peer.get());
      }
      return hr;
    }
  }

  if (pfRenderer) {
    hr = EnsureInGraph(pfRenderer);
    if (SUCCEEDED(hr)) {
      hr = VFW_E_CANNOT_CONNECT;
      for (const ComPtr<IPin>& in : PinsOf(pfRenderer, PINDIR_INPUT)) {
        if (PeerOf(in.get())) continue;
        hr = graph_->Connect(from.get(), in.get());
        if (SUCCEEDED(hr)) break;
      }
    }
  } else {
    hr = graph_->Render(from.get());
  }
  from = nullptr;
  if (FAILED(hr) && compressorIn) {
    // Leave no half-built stream behind.
    const ComPtr<IPin> peer = PeerOf(compressorIn.get());
    graph_->Disconnect(compressorIn.get());
    if (peer) graph_->Disconnect(peer.get());
  }
  return FAILED(hr) ? hr : S_OK;
}

STDMETHODIMP CaptureGraphBuilder::ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*,
                                                REFERENCE_TIME*, WORD, WORD) {
  return E_NOTIMPL;
}

STDMETHODIMP CaptureGraphBuilder::AllocCapFile(LPCOLESTR, DWORDLONG) { return E_NOTIMPL; }

STDMETHODIMP CaptureGraphBuilder::CopyCaptureFile(LPOLESTR, LPOLESTR, int, IAMCopyCaptureFileProgress*) {
  return E_NOTIMPL;
}

}  // namespace dshow
