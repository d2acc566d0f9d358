#include "capture_graph_builder.h"

#include <deque>
#include <set>
#include <vector>

#include "dshow/uuids.h"

namespace dshow {
namespace {

std::vector<IPin*> AllPins(IBaseFilter* filter) {
  std::vector<IPin*> pins;
  IEnumPins* e = nullptr;
  if (FAILED(filter->EnumPins(&e))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) pins.push_back(pin);
  e->Release();
  return pins;
}

void ReleasePins(std::vector<IPin*>& pins) {
  for (IPin* p : pins) p->Release();
  pins.clear();
}

IPin* Peer(IPin* pin) {
  IPin* peer = nullptr;
  if (FAILED(pin->ConnectedTo(&peer))) return nullptr;
  return peer;
}

// The pin carries (or offers) the major type; a pin that offers no types yet is taken as fitting.
bool HasMajorType(IPin* pin, const GUID* type) {
  if (!type) return true;
  AM_MEDIA_TYPE mt{};
  if (SUCCEEDED(pin->ConnectionMediaType(&mt))) {
    bool match = mt.majortype == *type;
    FreeMediaType(mt);
    return match;
  }
  IEnumMediaTypes* e = nullptr;
  if (FAILED(pin->EnumMediaTypes(&e)) || !e) return true;
  bool any = false, match = false;
  AM_MEDIA_TYPE* offered = nullptr;
  while (!match && e->Next(1, &offered, nullptr) == S_OK) {
    any = true;
    match = offered->majortype == *type;
    DeleteMediaType(offered);
  }
  e->Release();
  return match || !any;
}

}  // namespace

CaptureGraphBuilder::~CaptureGraphBuilder() {
  if (m_graph) m_graph->Release();
}

HRESULT CaptureGraphBuilder::Create(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter && riid != IID_IUnknown) return E_NOINTERFACE;
  HRESULT hr = S_OK;
  CaptureGraphBuilder* builder = new CaptureGraphBuilder(pUnkOuter, &hr);
  builder->NonDelegatingAddRef();
  hr = builder->NonDelegatingQueryInterface(riid, ppv);
  builder->NonDelegatingRelease();
  return hr;
}

STDMETHODIMP CaptureGraphBuilder::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ICaptureGraphBuilder2) return GetInterface(static_cast<ICaptureGraphBuilder2*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CaptureGraphBuilder::EnsureGraph() {
  if (m_graph) return S_OK;
  return CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                          reinterpret_cast<void**>(&m_graph));
}

HRESULT CaptureGraphBuilder::EnsureInGraph(IBaseFilter* filter) {
  FILTER_INFO info{};
  if (FAILED(filter->QueryFilterInfo(&info))) return E_FAIL;
  bool inOurs = info.pGraph && static_cast<IFilterGraph*>(m_graph) == info.pGraph;
  if (!inOurs && info.pGraph) {
    // The same graph may come back through another interface pointer.
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    info.pGraph->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    m_graph->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    inOurs = a && a == b;
    if (a) a->Release();
    if (b) b->Release();
  }
  bool elsewhere = info.pGraph && !inOurs;
  if (info.pGraph) info.pGraph->Release();
  if (inOurs) return S_OK;
  if (elsewhere) return VFW_E_NOT_IN_GRAPH;
  HRESULT hr = m_graph->AddFilter(filter, nullptr);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CaptureGraphBuilder::AddNew(REFCLSID clsid, LPCWSTR name, IBaseFilter** filter) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(filter));
  if (FAILED(hr)) return hr;
  hr = m_graph->AddFilter(*filter, name);
  if (FAILED(hr)) {
    (*filter)->Release();
    *filter = nullptr;
  }
  return hr;
}

STDMETHODIMP CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* pfg) {
  if (!pfg) return E_POINTER;
  if (m_graph) return E_UNEXPECTED;
  m_graph = pfg;
  m_graph->AddRef();
  return S_OK;
}

STDMETHODIMP CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** ppfg) {
  if (!ppfg) return E_POINTER;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;
  *ppfg = m_graph;
  m_graph->AddRef();
  return S_OK;
}

STDMETHODIMP CaptureGraphBuilder::SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                                                    IFileSinkFilter** ppSink) {
  if (!pType || !lpstrFile) return E_POINTER;
  if (ppf) *ppf = nullptr;
  if (ppSink) *ppSink = nullptr;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;

  IBaseFilter* mux = nullptr;
  IBaseFilter* writer = nullptr;
  if (*pType == MEDIASUBTYPE_Asf)
    hr = AddNew(CLSID_WMAsfWriter, u"WM ASF Writer", &mux);
  else
    hr = AddNew(*pType == MEDIASUBTYPE_Avi ? CLSID_AviDest : *pType, u"Mux", &mux);
  if (FAILED(hr)) return hr;

  IFileSinkFilter* sink = nullptr;
  if (FAILED(mux->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(&sink)))) {
    // The multiplexer streams into a File Writer.
    hr = AddNew(CLSID_FileWriter, u"File Writer", &writer);
    if (SUCCEEDED(hr)) hr = writer->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(&sink));
    if (SUCCEEDED(hr)) hr = sink->SetFileName(lpstrFile, nullptr);
    if (SUCCEEDED(hr)) {
      IPin* out = nullptr;
      IPin* in = nullptr;
      hr = FindPin(mux, PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, &out);
      if (SUCCEEDED(hr)) hr = FindPin(writer, PINDIR_INPUT, nullptr, nullptr, TRUE, 0, &in);
      if (SUCCEEDED(hr)) hr = m_graph->ConnectDirect(out, in, nullptr);
      if (out) out->Release();
      if (in) in->Release();
    }
  } else {
    hr = sink->SetFileName(lpstrFile, nullptr);
  }

  if (FAILED(hr)) {
    if (sink) sink->Release();
    if (writer) {
      m_graph->RemoveFilter(writer);
      writer->Release();
    }
    m_graph->RemoveFilter(mux);
    mux->Release();
    return hr;
  }
  if (writer) writer->Release();
  if (ppSink)
    *ppSink = sink;
  else
    sink->Release();
  if (ppf)
    *ppf = mux;
  else
    mux->Release();
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
    std::vector<IPin*> pins = AllPins(pf);
    for (IPin* pin : pins) {
      if (SUCCEEDED(pin->QueryInterface(riid, ppint))) {
        ReleasePins(pins);
        return S_OK;
      }
    }
    ReleasePins(pins);
  }
  // Breadth first along the connections, downstream then upstream.
  for (PIN_DIRECTION way : {PINDIR_OUTPUT, PINDIR_INPUT}) {
    if ((upOnly && way == PINDIR_OUTPUT) || (downOnly && way == PINDIR_INPUT)) continue;
    std::set<IBaseFilter*> seen{pf};
    std::deque<IBaseFilter*> queue{pf};
    while (!queue.empty()) {
      IBaseFilter* current = queue.front();
      queue.pop_front();
      std::vector<IPin*> pins = AllPins(current);
      for (IPin* pin : pins) {
        PIN_DIRECTION dir;
        if (FAILED(pin->QueryDirection(&dir)) || dir != way) continue;
        IPin* peer = Peer(pin);
        if (!peer) continue;
        PIN_INFO info{};
        HRESULT hr = peer->QueryPinInfo(&info);
        bool found = SUCCEEDED(peer->QueryInterface(riid, ppint));
        peer->Release();
        if (SUCCEEDED(hr) && info.pFilter) {
          if (!found && seen.insert(info.pFilter).second) {
            found = SUCCEEDED(info.pFilter->QueryInterface(riid, ppint));
            queue.push_back(info.pFilter);
          }
          info.pFilter->Release();  // filters stay alive in the graph
        }
        if (found) {
          ReleasePins(pins);
          return S_OK;
        }
      }
      ReleasePins(pins);
    }
  }
  return E_NOINTERFACE;
}

STDMETHODIMP CaptureGraphBuilder::FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                                          const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) {
  if (!pSource || !ppPin) return E_POINTER;
  *ppPin = nullptr;
  if (pCategory) return E_FAIL;
  IPin* pin = nullptr;
  if (SUCCEEDED(pSource->QueryInterface(IID_IPin, reinterpret_cast<void**>(&pin)))) {
    PIN_DIRECTION dir;
    bool ok = SUCCEEDED(pin->QueryDirection(&dir)) && dir == pindir && HasMajorType(pin, pType);
    IPin* peer = ok && fUnconnected ? Peer(pin) : nullptr;
    if (peer) {
      peer->Release();
      ok = false;
    }
    if (ok && num == 0) {
      *ppPin = pin;
      return S_OK;
    }
    pin->Release();
    return E_FAIL;
  }
  IBaseFilter* filter = nullptr;
  if (FAILED(pSource->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)))) return E_NOINTERFACE;
  std::vector<IPin*> pins = AllPins(filter);
  filter->Release();
  HRESULT hr = E_FAIL;
  for (IPin* candidate : pins) {
    PIN_DIRECTION dir;
    if (FAILED(candidate->QueryDirection(&dir)) || dir != pindir || !HasMajorType(candidate, pType)) continue;
    if (fUnconnected) {
      IPin* peer = Peer(candidate);
      if (peer) {
        peer->Release();
        continue;
      }
    }
    if (num-- == 0) {
      *ppPin = candidate;
      candidate->AddRef();
      hr = S_OK;
      break;
    }
  }
  ReleasePins(pins);
  return hr;
}

STDMETHODIMP CaptureGraphBuilder::RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                                               IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) {
  if (!pSource) return E_POINTER;
  HRESULT hr = EnsureGraph();
  if (FAILED(hr)) return hr;
  // Capture and preview categories name every output here: our pins carry no categories.
  (void)pCategory;
  IPin* from = nullptr;
  hr = FindPin(pSource, PINDIR_OUTPUT, nullptr, pType, TRUE, 0, &from);
  if (FAILED(hr)) return hr;

  IPin* compressorIn = nullptr;
  if (pfCompressor) {
    hr = EnsureInGraph(pfCompressor);
    if (SUCCEEDED(hr)) hr = FindPin(pfCompressor, PINDIR_INPUT, nullptr, nullptr, TRUE, 0, &compressorIn);
    if (SUCCEEDED(hr)) hr = m_graph->Connect(from, compressorIn);
    from->Release();
    from = nullptr;
    if (SUCCEEDED(hr)) hr = FindPin(pfCompressor, PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, &from);
    if (FAILED(hr)) {
      if (compressorIn) {
        m_graph->Disconnect(compressorIn);
        IPin* peer = Peer(compressorIn);
        if (peer) {
          m_graph->Disconnect(peer);
          peer->Release();
        }
        compressorIn->Release();
      }
      return hr;
    }
  }

  if (pfRenderer) {
    hr = EnsureInGraph(pfRenderer);
    if (SUCCEEDED(hr)) {
      hr = VFW_E_CANNOT_CONNECT;
      std::vector<IPin*> pins = AllPins(pfRenderer);
      for (IPin* in : pins) {
        PIN_DIRECTION dir;
        if (FAILED(in->QueryDirection(&dir)) || dir != PINDIR_INPUT) continue;
        IPin* peer = Peer(in);
        if (peer) {
          peer->Release();
          continue;
        }
        hr = m_graph->Connect(from, in);
        if (SUCCEEDED(hr)) break;
      }
      ReleasePins(pins);
    }
  } else {
    hr = m_graph->Render(from);
  }
  from->Release();
  if (FAILED(hr) && compressorIn) {
    // Leave no half-built stream behind.
    IPin* peer = Peer(compressorIn);
    m_graph->Disconnect(compressorIn);
    if (peer) {
      m_graph->Disconnect(peer);
      peer->Release();
    }
  }
  if (compressorIn) compressorIn->Release();
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
