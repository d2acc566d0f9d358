#include "filter_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dshow/uuids.h"
#include "system_clock.h"
#include "wide_text.h"

namespace dshow {
namespace {

// A snapshot of the graph's filters, newest first as the platform enumerates them.
class FilterEnum : public IEnumFilters {
 public:
  explicit FilterEnum(std::vector<IBaseFilter*> filters, size_t position = 0)
      : m_filters(std::move(filters)), m_position(position) {
    for (IBaseFilter* f : m_filters) f->AddRef();
  }
  virtual ~FilterEnum() {
    for (IBaseFilter* f : m_filters) f->Release();
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IEnumFilters || riid == IID_IUnknown) return GetInterface(this, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_cRef); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG ref = --m_cRef;
    if (ref == 0) delete this;
    return static_cast<ULONG>(ref);
  }
  STDMETHODIMP Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) override {
    if (!ppFilter) return E_POINTER;
    if (cFilters > 1 && !pcFetched) return E_INVALIDARG;
    ULONG fetched = 0;
    while (fetched < cFilters && m_position < m_filters.size()) {
      ppFilter[fetched] = m_filters[m_position++];
      ppFilter[fetched++]->AddRef();
    }
    if (pcFetched) *pcFetched = fetched;
    return fetched == cFilters ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG cFilters) override {
    if (m_filters.size() - m_position < cFilters) {
      m_position = m_filters.size();
      return S_FALSE;
    }
    m_position += cFilters;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumFilters** ppEnum) override {
    if (!ppEnum) return E_POINTER;
    *ppEnum = new FilterEnum(m_filters, m_position);
    return S_OK;
  }

 private:
  std::vector<IBaseFilter*> m_filters;
  size_t m_position;
  std::atomic<LONG> m_cRef{1};
};

template <class T>
void ReleaseAll(std::vector<T*>& items) {
  for (T* item : items) item->Release();
  items.clear();
}

// Output pins of a filter and their peers.
std::vector<IPin*> Pins(IBaseFilter* filter) {
  std::vector<IPin*> pins;
  IEnumPins* e = nullptr;
  if (FAILED(filter->EnumPins(&e))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) pins.push_back(pin);
  e->Release();
  return pins;
}

PIN_DIRECTION Direction(IPin* pin) {
  PIN_DIRECTION dir = PINDIR_INPUT;
  pin->QueryDirection(&dir);
  return dir;
}

IBaseFilter* OwnerOf(IPin* pin) {
  PIN_INFO info{};
  if (FAILED(pin->QueryPinInfo(&info))) return nullptr;
  if (info.pFilter) info.pFilter->Release();  // the pin keeps it alive
  return info.pFilter;
}

const LONGLONG kUnits = UNITS;

}  // namespace

FilterGraph::FilterGraph(LPUNKNOWN pUnk, HRESULT* phr) : CUnknown("filter graph", pUnk, phr) {}

FilterGraph::~FilterGraph() {
  CAutoLock lock(&m_lock);
  StopLocked();
  for (Member& m : m_members) {
    for (IPin* pin : Pins(m.filter)) {
      pin->Disconnect();
      pin->Release();
    }
    m.filter->JoinFilterGraph(nullptr, nullptr);
    m.filter->Release();
  }
  m_members.clear();
  if (m_clock) m_clock->Release();
}

HRESULT FilterGraph::Create(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter && riid != IID_IUnknown) return E_NOINTERFACE;
  HRESULT hr = S_OK;
  FilterGraph* graph = new FilterGraph(pUnkOuter, &hr);
  graph->NonDelegatingAddRef();
  hr = graph->NonDelegatingQueryInterface(riid, ppv);
  graph->NonDelegatingRelease();
  return hr;
}

STDMETHODIMP FilterGraph::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFilterGraph || riid == IID_IGraphBuilder) return GetInterface(static_cast<IGraphBuilder*>(this), ppv);
  if (riid == IID_IMediaControl) return GetInterface(static_cast<IMediaControl*>(this), ppv);
  if (riid == IID_IMediaEvent || riid == IID_IMediaEventEx) return GetInterface(static_cast<IMediaEventEx*>(this), ppv);
  if (riid == IID_IMediaEventSink) return GetInterface(static_cast<IMediaEventSink*>(this), ppv);
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
  if (riid == IID_IMediaPosition) return GetInterface(static_cast<IMediaPosition*>(this), ppv);
  if (riid == IID_IMediaFilter || riid == IID_IPersist) return GetInterface(static_cast<IMediaFilter*>(this), ppv);
  if (riid == IID_IVideoWindow || riid == IID_IBasicVideo || riid == IID_IBasicVideo2 || riid == IID_IBasicAudio) {
    CAutoLock lock(&m_lock);
    for (auto it = m_members.rbegin(); it != m_members.rend(); ++it)
      if (SUCCEEDED(it->filter->QueryInterface(riid, ppv))) return S_OK;
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

// ---- Membership ---------------------------------------------------------------------------------

bool FilterGraph::Contains(IBaseFilter* filter) {
  return std::any_of(m_members.begin(), m_members.end(), [filter](const Member& m) { return m.filter == filter; });
}

std::u16string FilterGraph::UniqueName(LPCWSTR requested) {
  std::u16string base = WideString(requested);
  auto taken = [this](const std::u16string& name) {
    return std::any_of(m_members.begin(), m_members.end(), [&](const Member& m) { return m.name == name; });
  };
  if (!base.empty() && base.size() < MAX_FILTER_NAME && !taken(base)) return base;
  // "name 0001", "name 0002", ... cut so that the whole fits a filter name.
  const size_t suffix = 5;
  if (base.size() + suffix >= MAX_FILTER_NAME) base.resize(MAX_FILTER_NAME - 1 - suffix);
  for (int n = 1;; ++n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", n);
    std::u16string candidate = base.empty() ? std::u16string() : base + u" ";
    for (const char* p = digits; *p; ++p) candidate.push_back(static_cast<char16_t>(*p));
    if (!taken(candidate)) return candidate;
  }
}

STDMETHODIMP FilterGraph::AddFilter(IBaseFilter* pFilter, LPCWSTR pName) {
  if (!pFilter) return E_POINTER;
  CAutoLock lock(&m_lock);
  if (Contains(pFilter)) return VFW_E_DUPLICATE_NAME;
  std::u16string name = UniqueName(pName);
  bool renamed = pName && name != pName;
  HRESULT hr = pFilter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), name.c_str());
  if (FAILED(hr)) return hr;
  pFilter->AddRef();
  m_members.push_back({pFilter, name});
  if (m_clock || m_clockChosen) pFilter->SetSyncSource(m_clock);
  return renamed ? VFW_S_DUPLICATE_NAME : S_OK;
}

STDMETHODIMP FilterGraph::RemoveFilter(IBaseFilter* pFilter) {
  if (!pFilter) return E_POINTER;
  CAutoLock lock(&m_lock);
  auto it = std::find_if(m_members.begin(), m_members.end(), [pFilter](const Member& m) { return m.filter == pFilter; });
  if (it == m_members.end()) return VFW_E_NOT_FOUND;
  if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
  for (IPin* pin : Pins(pFilter)) {
    IPin* peer = nullptr;
    if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
      peer->Disconnect();
      peer->Release();
    }
    pin->Disconnect();
    pin->Release();
  }
  pFilter->JoinFilterGraph(nullptr, nullptr);
  m_members.erase(it);
  {
    std::lock_guard<std::mutex> guard(m_completionLock);
    m_pendingRenderers.erase(pFilter);
  }
  pFilter->Release();
  return S_OK;
}

STDMETHODIMP FilterGraph::EnumFilters(IEnumFilters** ppEnum) {
  if (!ppEnum) return E_POINTER;
  CAutoLock lock(&m_lock);
  std::vector<IBaseFilter*> filters;
  for (auto it = m_members.rbegin(); it != m_members.rend(); ++it) filters.push_back(it->filter);
  *ppEnum = new FilterEnum(std::move(filters));
  return S_OK;
}

STDMETHODIMP FilterGraph::FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) {
  if (!pName || !ppFilter) return E_POINTER;
  CAutoLock lock(&m_lock);
  for (const Member& m : m_members) {
    if (m.name == pName) {
      *ppFilter = m.filter;
      m.filter->AddRef();
      return S_OK;
    }
  }
  *ppFilter = nullptr;
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterGraph::ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) {
  if (!ppinOut || !ppinIn) return E_POINTER;
  CAutoLock lock(&m_lock);
  if (!Contains(OwnerOf(ppinOut)) || !Contains(OwnerOf(ppinIn))) return VFW_E_NOT_IN_GRAPH;
  if (Direction(ppinOut) != PINDIR_OUTPUT || Direction(ppinIn) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  return ppinOut->Connect(ppinIn, pmt);
}

STDMETHODIMP FilterGraph::Reconnect(IPin* ppin) {
  if (!ppin) return E_POINTER;
  CAutoLock lock(&m_lock);
  if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
  IPin* peer = nullptr;
  if (FAILED(ppin->ConnectedTo(&peer))) return VFW_E_NOT_CONNECTED;
  IPin* out = Direction(ppin) == PINDIR_OUTPUT ? ppin : peer;
  IPin* in = out == ppin ? peer : ppin;
  // The pins agree on a type afresh, so a format changed on the output since (IAMStreamConfig)
  // takes effect; the old type is the fallback.
  CMediaType type;
  out->ConnectionMediaType(&type);
  in->Disconnect();
  out->Disconnect();
  HRESULT hr = out->Connect(in, nullptr);
  if (FAILED(hr)) hr = out->Connect(in, &type);
  peer->Release();
  return hr;
}

STDMETHODIMP FilterGraph::Disconnect(IPin* ppin) {
  if (!ppin) return E_POINTER;
  return ppin->Disconnect();
}

STDMETHODIMP FilterGraph::SetDefaultSyncSource() {
  CAutoLock lock(&m_lock);
  m_clockChosen = false;
  ChooseDefaultClock();
  DistributeClock();
  return S_OK;
}

// ---- IDispatch ----------------------------------------------------------------------------------

STDMETHODIMP FilterGraph::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}
STDMETHODIMP FilterGraph::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP FilterGraph::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
STDMETHODIMP FilterGraph::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// ---- State --------------------------------------------------------------------------------------

std::vector<IBaseFilter*> FilterGraph::DownstreamFirst() {
  std::vector<IBaseFilter*> pending;
  for (const Member& m : m_members) pending.push_back(m.filter);
  std::vector<IBaseFilter*> ordered;
  // A filter goes next once every filter its outputs feed is ordered.
  while (!pending.empty()) {
    bool progress = false;
    for (auto it = pending.begin(); it != pending.end();) {
      bool ready = true;
      for (IPin* pin : Pins(*it)) {
        IPin* peer = nullptr;
        if (Direction(pin) == PINDIR_OUTPUT && SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
          IBaseFilter* next = OwnerOf(peer);
          if (next != *it && std::find(pending.begin(), pending.end(), next) != pending.end()) ready = false;
          peer->Release();
        }
        pin->Release();
      }
      if (ready) {
        ordered.push_back(*it);
        it = pending.erase(it);
        progress = true;
      } else {
        ++it;
      }
    }
    if (!progress) {  // a cycle: take the rest as they are
      ordered.insert(ordered.end(), pending.begin(), pending.end());
      break;
    }
  }
  return ordered;
}

bool FilterGraph::HasConnectedInput(IBaseFilter* filter) {
  bool connected = false;
  for (IPin* pin : Pins(filter)) {
    IPin* peer = nullptr;
    if (!connected && Direction(pin) == PINDIR_INPUT && SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
      connected = true;
      peer->Release();
    }
    pin->Release();
  }
  return connected;
}

bool FilterGraph::IsRenderer(IBaseFilter* filter) {
  IAMFilterMiscFlags* flags = nullptr;
  if (SUCCEEDED(filter->QueryInterface(IID_IAMFilterMiscFlags, reinterpret_cast<void**>(&flags)))) {
    ULONG value = flags->GetMiscFlags();
    flags->Release();
    if (value & AM_FILTER_MISC_FLAGS_IS_RENDERER) return true;
  }
  // Otherwise: connected inputs and no outputs.
  bool connectedInput = false, output = false;
  for (IPin* pin : Pins(filter)) {
    if (Direction(pin) == PINDIR_OUTPUT) {
      output = true;
    } else {
      IPin* peer = nullptr;
      if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
        connectedInput = true;
        peer->Release();
      }
    }
    pin->Release();
  }
  return connectedInput && !output;
}

void FilterGraph::ResetCompletion() {
  std::set<IBaseFilter*> renderers;
  for (const Member& m : m_members)
    if (IsRenderer(m.filter)) renderers.insert(m.filter);
  std::lock_guard<std::mutex> guard(m_completionLock);
  m_pendingRenderers = std::move(renderers);
  m_completeSent = false;
}

void FilterGraph::ChooseDefaultClock() {
  if (m_clock) {
    m_clock->Release();
    m_clock = nullptr;
  }
  // A renderer's clock (audio) wins; otherwise the system clock.
  for (IBaseFilter* filter : DownstreamFirst()) {
    IReferenceClock* clock = nullptr;
    if (SUCCEEDED(filter->QueryInterface(IID_IReferenceClock, reinterpret_cast<void**>(&clock)))) {
      m_clock = clock;
      return;
    }
  }
  CreateComInstance<&SystemClock::CreateInstance>(nullptr, IID_IReferenceClock, reinterpret_cast<void**>(&m_clock));
}

void FilterGraph::DistributeClock() {
  for (const Member& m : m_members) m.filter->SetSyncSource(m_clock);
}

REFERENCE_TIME FilterGraph::StreamTimeNow() {
  if (m_state == State_Paused) return m_pausedAt;
  if (m_state != State_Running || !m_clock) return 0;
  REFERENCE_TIME now = 0;
  m_clock->GetTime(&now);
  return now - m_tStart;
}

HRESULT FilterGraph::PauseLocked() {
  if (m_state == State_Paused) return S_OK;
  if (m_state == State_Stopped) {
    if (!m_clockChosen && !m_clock) ChooseDefaultClock();
    DistributeClock();
    ResetCompletion();
    m_pausedAt = 0;
  } else {
    m_pausedAt = StreamTimeNow();
  }
  HRESULT result = S_OK;
  for (IBaseFilter* filter : DownstreamFirst()) {
    HRESULT hr = filter->Pause();
    if (FAILED(hr)) {
      result = hr;
      break;
    }
  }
  m_state = State_Paused;
  if (FAILED(result)) StopLocked();
  return result;
}

HRESULT FilterGraph::RunLocked(REFERENCE_TIME tStart) {
  m_tStart = tStart;
  HRESULT result = S_OK;
  for (IBaseFilter* filter : DownstreamFirst()) {
    HRESULT hr = filter->Run(tStart);
    if (FAILED(hr)) {
      result = hr;
      break;
    }
  }
  m_state = State_Running;
  if (FAILED(result)) StopLocked();
  return result;
}

HRESULT FilterGraph::StopLocked() {
  HRESULT result = S_OK;
  // Renderers first: a stopped renderer refuses samples, which frees blocked senders upstream.
  for (IBaseFilter* filter : DownstreamFirst()) {
    HRESULT hr = filter->Stop();
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  m_state = State_Stopped;
  m_pausedAt = 0;
  return result;
}

STDMETHODIMP FilterGraph::Run() {
  CAutoLock lock(&m_lock);
  if (m_state == State_Running) return S_OK;
  HRESULT hr = PauseLocked();
  if (FAILED(hr)) return hr;
  REFERENCE_TIME start = 0;
  if (m_clock) {
    // Stream time goes on from where a pause left it, a little ahead so that nothing is late.
    REFERENCE_TIME now = 0;
    m_clock->GetTime(&now);
    start = now - m_pausedAt + 10 * MILLISECONDS;
  }
  return RunLocked(start);
}

STDMETHODIMP FilterGraph::Run(REFERENCE_TIME tStart) {
  CAutoLock lock(&m_lock);
  if (m_state == State_Running) return S_OK;
  HRESULT hr = PauseLocked();
  if (FAILED(hr)) return hr;
  return RunLocked(tStart);
}

STDMETHODIMP FilterGraph::Pause() {
  CAutoLock lock(&m_lock);
  return PauseLocked();
}

STDMETHODIMP FilterGraph::Stop() {
  CAutoLock lock(&m_lock);
  if (m_state == State_Stopped) return S_OK;
  return StopLocked();
}

STDMETHODIMP FilterGraph::GetState(LONG msTimeout, OAFilterState* pfs) {
  if (!pfs) return E_POINTER;
  FILTER_STATE state;
  HRESULT hr = GetState(static_cast<DWORD>(msTimeout), &state);
  *pfs = state;
  return hr;
}

STDMETHODIMP FilterGraph::GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) {
  if (!State) return E_POINTER;
  CAutoLock lock(&m_lock);
  *State = m_state;
  // A filter still on its way (a renderer waiting for its first sample) makes it intermediate.
  for (const Member& m : m_members) {
    FILTER_STATE s;
    if (m.filter->GetState(dwMilliSecsTimeout, &s) == VFW_S_STATE_INTERMEDIATE) return VFW_S_STATE_INTERMEDIATE;
  }
  return S_OK;
}

STDMETHODIMP FilterGraph::StopWhenReady() {
  CAutoLock lock(&m_lock);
  if (m_state == State_Stopped) {
    HRESULT hr = PauseLocked();
    if (FAILED(hr)) return hr;
    FILTER_STATE state;
    for (const Member& m : m_members) m.filter->GetState(10000, &state);
  }
  return StopLocked();
}

STDMETHODIMP FilterGraph::RenderFile(BSTR strFilename) { return RenderFile(strFilename, nullptr); }

// The automation objects of the graph (filter info collections) are not offered.
STDMETHODIMP FilterGraph::AddSourceFilter(BSTR, IDispatch** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP FilterGraph::get_FilterCollection(IDispatch** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP FilterGraph::get_RegFilterCollection(IDispatch** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FilterGraph::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = CLSID_FilterGraph;
  return S_OK;
}

STDMETHODIMP FilterGraph::SetSyncSource(IReferenceClock* pClock) {
  CAutoLock lock(&m_lock);
  if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
  if (pClock) pClock->AddRef();
  if (m_clock) m_clock->Release();
  m_clock = pClock;
  m_clockChosen = true;
  DistributeClock();
  return S_OK;
}

STDMETHODIMP FilterGraph::GetSyncSource(IReferenceClock** pClock) {
  if (!pClock) return E_POINTER;
  CAutoLock lock(&m_lock);
  *pClock = m_clock;
  if (m_clock) m_clock->AddRef();
  return S_OK;
}

STDMETHODIMP FilterGraph::SetLogFile(DWORD_PTR) { return S_OK; }
STDMETHODIMP FilterGraph::Abort() { return S_OK; }
STDMETHODIMP FilterGraph::ShouldOperationContinue() { return S_OK; }

// ---- Events -------------------------------------------------------------------------------------

STDMETHODIMP FilterGraph::GetEventHandle(OAEVENT* hEvent) {
  if (!hEvent) return E_POINTER;
  *hEvent = reinterpret_cast<OAEVENT>(m_events.Handle());
  return S_OK;
}

STDMETHODIMP FilterGraph::GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) {
  return m_events.Get(lEventCode, lParam1, lParam2, msTimeout);
}

STDMETHODIMP FilterGraph::WaitForCompletion(LONG msTimeout, LONG* pEvCode) {
  if (!pEvCode) return E_POINTER;
  {
    CAutoLock lock(&m_lock);
    if (m_state != State_Running) {
      *pEvCode = 0;
      return VFW_E_WRONG_STATE;
    }
  }
  return m_events.WaitForCompletion(msTimeout, pEvCode);
}

STDMETHODIMP FilterGraph::CancelDefaultHandling(LONG lEvCode) {
  if (lEvCode != EC_COMPLETE) return S_FALSE;
  std::lock_guard<std::mutex> guard(m_completionLock);
  m_defaultComplete = false;
  return S_OK;
}

STDMETHODIMP FilterGraph::RestoreDefaultHandling(LONG lEvCode) {
  if (lEvCode != EC_COMPLETE) return S_FALSE;
  std::lock_guard<std::mutex> guard(m_completionLock);
  m_defaultComplete = true;
  return S_OK;
}

STDMETHODIMP FilterGraph::FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) {
  // Only EC_OLE_EVENT carries allocated parameters (two BSTRs).
  if (lEvCode == EC_OLE_EVENT) {
    SysFreeString(reinterpret_cast<BSTR>(lParam1));
    SysFreeString(reinterpret_cast<BSTR>(lParam2));
  }
  return S_OK;
}

STDMETHODIMP FilterGraph::SetNotifyWindow(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) {
  m_events.SetNotifyWindow(hwnd, lMsg, lInstanceData);
  return S_OK;
}

STDMETHODIMP FilterGraph::SetNotifyFlags(LONG lNoNotifyFlags) {
  if (lNoNotifyFlags & ~AM_MEDIAEVENT_NONOTIFY) return E_INVALIDARG;
  m_events.SetNotifyFlags(lNoNotifyFlags);
  return S_OK;
}

STDMETHODIMP FilterGraph::GetNotifyFlags(LONG* lplNoNotifyFlags) {
  if (!lplNoNotifyFlags) return E_POINTER;
  *lplNoNotifyFlags = m_events.NotifyFlags();
  return S_OK;
}

STDMETHODIMP FilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) {
  if (EventCode == EC_COMPLETE) {
    std::unique_lock<std::mutex> guard(m_completionLock);
    if (m_defaultComplete) {
      auto* sender = reinterpret_cast<IBaseFilter*>(EventParam2);
      if (m_pendingRenderers.erase(sender) == 0 && !m_pendingRenderers.empty()) return S_OK;
      if (!m_pendingRenderers.empty() || m_completeSent) return S_OK;
      m_completeSent = true;
      guard.unlock();
      m_events.Queue(EC_COMPLETE, S_OK, 0);
      return S_OK;
    }
  }
  m_events.Queue(EventCode, EventParam1, EventParam2);
  return S_OK;
}

// ---- Seeking ------------------------------------------------------------------------------------

namespace {

bool CallsItselfASource(IBaseFilter* filter) {
  IAMFilterMiscFlags* flags = nullptr;
  if (FAILED(filter->QueryInterface(IID_IAMFilterMiscFlags, reinterpret_cast<void**>(&flags)))) return false;
  const bool source = (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_SOURCE) != 0;
  flags->Release();
  return source;
}

// Every filter feeding the given one, directly or further up.
void AddUpstream(IBaseFilter* filter, std::vector<IBaseFilter*>& upstream) {
  for (IPin* pin : Pins(filter)) {
    IPin* peer = nullptr;
    if (Direction(pin) == PINDIR_INPUT && SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
      IBaseFilter* feeder = OwnerOf(peer);
      peer->Release();
      if (feeder && std::find(upstream.begin(), upstream.end(), feeder) == upstream.end()) {
        upstream.push_back(feeder);
        AddUpstream(feeder, upstream);
      }
    }
    pin->Release();
  }
}

}  // namespace

// The graph's seeking goes to its sources: filters without connected inputs, and filters that
// call themselves sources although they pull from others (the editing services' group filters),
// in which case what feeds them is theirs to seek.
std::vector<IMediaSeeking*> FilterGraph::Seekers() {
  std::vector<IMediaSeeking*> seekers;
  CAutoLock lock(&m_lock);
  std::vector<IBaseFilter*> flaggedSources;
  std::vector<IBaseFilter*> upstream;
  for (const Member& m : m_members)
    if (CallsItselfASource(m.filter)) {
      flaggedSources.push_back(m.filter);
      AddUpstream(m.filter, upstream);
    }
  for (const Member& m : m_members) {
    if (std::find(upstream.begin(), upstream.end(), m.filter) != upstream.end()) continue;
    const bool flagged = std::find(flaggedSources.begin(), flaggedSources.end(), m.filter) != flaggedSources.end();
    bool connectedInput = false;
    std::vector<IMediaSeeking*> pinSeekers;
    bool connectedOutput = false;
    for (IPin* pin : Pins(m.filter)) {
      IPin* peer = nullptr;
      bool connected = SUCCEEDED(pin->ConnectedTo(&peer)) && peer;
      if (peer) peer->Release();
      if (connected && Direction(pin) == PINDIR_INPUT) connectedInput = true;
      if (connected && Direction(pin) == PINDIR_OUTPUT) {
        connectedOutput = true;
        IMediaSeeking* seeking = nullptr;
        if (SUCCEEDED(pin->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking))))
          pinSeekers.push_back(seeking);
      }
      pin->Release();
    }
    if ((connectedInput && !flagged) || !connectedOutput) {
      ReleaseAll(pinSeekers);
      continue;
    }
    // A source: its pins seek, or else the filter.
    if (pinSeekers.empty()) {
      IMediaSeeking* seeking = nullptr;
      if (SUCCEEDED(m.filter->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking))))
        pinSeekers.push_back(seeking);
    }
    seekers.insert(seekers.end(), pinSeekers.begin(), pinSeekers.end());
  }
  return seekers;
}

STDMETHODIMP FilterGraph::GetCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  std::vector<IMediaSeeking*> seekers = Seekers();
  DWORD caps = seekers.empty() ? 0 : ~DWORD(0);
  for (IMediaSeeking* s : seekers) {
    DWORD c = 0;
    if (FAILED(s->GetCapabilities(&c))) c = 0;
    caps &= c;
  }
  ReleaseAll(seekers);
  *pCapabilities = caps | AM_SEEKING_CanGetCurrentPos;
  return S_OK;
}

STDMETHODIMP FilterGraph::CheckCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  DWORD caps = 0;
  GetCapabilities(&caps);
  DWORD wanted = *pCapabilities;
  *pCapabilities &= caps;
  if (*pCapabilities == wanted) return S_OK;
  return *pCapabilities ? S_FALSE : E_FAIL;
}

STDMETHODIMP FilterGraph::IsFormatSupported(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (*pFormat == TIME_FORMAT_MEDIA_TIME) return S_OK;
  std::vector<IMediaSeeking*> seekers = Seekers();
  bool all = !seekers.empty();
  for (IMediaSeeking* s : seekers) all = all && s->IsFormatSupported(pFormat) == S_OK;
  ReleaseAll(seekers);
  return all ? S_OK : S_FALSE;
}

STDMETHODIMP FilterGraph::QueryPreferredFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP FilterGraph::GetTimeFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  CAutoLock lock(&m_lock);
  *pFormat = m_timeFormat;
  return S_OK;
}

STDMETHODIMP FilterGraph::IsUsingTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  CAutoLock lock(&m_lock);
  return *pFormat == m_timeFormat ? S_OK : S_FALSE;
}

STDMETHODIMP FilterGraph::SetTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (IsFormatSupported(pFormat) != S_OK) return E_INVALIDARG;
  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = S_OK;
  for (IMediaSeeking* s : seekers) {
    HRESULT hrSeeker = s->SetTimeFormat(pFormat);
    if (FAILED(hrSeeker) && *pFormat != TIME_FORMAT_MEDIA_TIME) hr = hrSeeker;
  }
  ReleaseAll(seekers);
  if (SUCCEEDED(hr)) {
    CAutoLock lock(&m_lock);
    m_timeFormat = *pFormat;
  }
  return hr;
}

HRESULT FilterGraph::LargestFromSeekers(HRESULT (STDMETHODCALLTYPE IMediaSeeking::*get)(LONGLONG*), LONGLONG* value) {
  if (!value) return E_POINTER;
  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : E_FAIL;
  *value = 0;
  for (IMediaSeeking* s : seekers) {
    LONGLONG v = 0;
    if (SUCCEEDED((s->*get)(&v))) {
      *value = std::max(*value, v);
      hr = S_OK;
    }
  }
  ReleaseAll(seekers);
  return hr;
}

STDMETHODIMP FilterGraph::GetDuration(LONGLONG* pDuration) {
  return LargestFromSeekers(&IMediaSeeking::GetDuration, pDuration);
}

STDMETHODIMP FilterGraph::GetStopPosition(LONGLONG* pStop) {
  return LargestFromSeekers(&IMediaSeeking::GetStopPosition, pStop);
}

HRESULT FilterGraph::MediaTimeFromFormat(LONGLONG value, LONGLONG* mediaTime) {
  GUID format;
  {
    CAutoLock lock(&m_lock);
    format = m_timeFormat;
  }
  if (format == TIME_FORMAT_MEDIA_TIME || value == 0) {
    *mediaTime = value;
    return S_OK;
  }
  return ConvertTimeFormat(mediaTime, &TIME_FORMAT_MEDIA_TIME, value, &format);
}

HRESULT FilterGraph::FormatFromMediaTime(LONGLONG mediaTime, LONGLONG* value) {
  GUID format;
  {
    CAutoLock lock(&m_lock);
    format = m_timeFormat;
  }
  if (format == TIME_FORMAT_MEDIA_TIME || mediaTime == 0) {
    *value = mediaTime;
    return S_OK;
  }
  return ConvertTimeFormat(value, &format, mediaTime, &TIME_FORMAT_MEDIA_TIME);
}

STDMETHODIMP FilterGraph::GetCurrentPosition(LONGLONG* pCurrent) {
  if (!pCurrent) return E_POINTER;
  bool completed;
  {
    std::lock_guard<std::mutex> guard(m_completionLock);
    completed = m_completeSent;
  }
  if (completed && SUCCEEDED(GetStopPosition(pCurrent))) return S_OK;

  // Filters downstream of the sources that know how far they have got (writers, renderers)
  // answer in the graph's time format; the one furthest behind tells the position.
  {
    CAutoLock lock(&m_lock);
    bool answered = false;
    LONGLONG slowest = 0;
    for (const Member& m : m_members) {
      if (!HasConnectedInput(m.filter)) continue;
      IMediaSeeking* seeking = nullptr;
      if (FAILED(m.filter->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)))) continue;
      LONGLONG p = 0;
      if (seeking->GetCurrentPosition(&p) == S_OK) {
        slowest = answered ? std::min(slowest, p) : p;
        answered = true;
      }
      seeking->Release();
    }
    if (answered) {
      *pCurrent = slowest;
      return S_OK;
    }
  }
  // Otherwise the clock tells how far the streams are from where the run began.
  LONGLONG position;
  {
    CAutoLock lock(&m_lock);
    REFERENCE_TIME streamTime = std::max<REFERENCE_TIME>(StreamTimeNow(), 0);
    position = m_segmentStart + static_cast<LONGLONG>(static_cast<double>(streamTime) * m_rate);
  }
  LONGLONG stop = 0;
  if (SUCCEEDED(GetStopPosition(&stop))) {
    LONGLONG stopMedia = stop;
    if (SUCCEEDED(MediaTimeFromFormat(stop, &stopMedia))) position = std::min(position, stopMedia);
  }
  return FormatFromMediaTime(position, pCurrent);
}

STDMETHODIMP FilterGraph::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                            const GUID* pSourceFormat) {
  if (!pTarget) return E_POINTER;
  GUID current;
  {
    CAutoLock lock(&m_lock);
    current = m_timeFormat;
  }
  const GUID& target = pTargetFormat ? *pTargetFormat : current;
  const GUID& source = pSourceFormat ? *pSourceFormat : current;
  if (target == source) {
    *pTarget = Source;
    return S_OK;
  }
  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = E_NOTIMPL;
  for (IMediaSeeking* s : seekers) {
    hr = s->ConvertTimeFormat(pTarget, &target, Source, &source);
    if (SUCCEEDED(hr)) break;
  }
  ReleaseAll(seekers);
  return hr;
}

STDMETHODIMP FilterGraph::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) {
  DWORD currentBits = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
  DWORD stopBits = dwStopFlags & AM_SEEKING_PositioningBitsMask;
  if ((currentBits && !pCurrent) || (stopBits && !pStop)) return E_POINTER;
  if (!currentBits && !stopBits) return S_OK;

  CAutoLock lock(&m_lock);
  FILTER_STATE was = m_state;
  // A running graph pauses while its sources move, then runs on from stream time 0.
  if (was == State_Running) {
    m_pausedAt = StreamTimeNow();
    for (IBaseFilter* filter : DownstreamFirst()) filter->Pause();
    m_state = State_Paused;
  }
  LONGLONG newStart = 0;
  if (currentBits == AM_SEEKING_AbsolutePositioning) MediaTimeFromFormat(*pCurrent, &newStart);
  LONGLONG currentBefore = 0;
  if (currentBits == AM_SEEKING_RelativePositioning) {
    GetCurrentPosition(&currentBefore);
    MediaTimeFromFormat(currentBefore + *pCurrent, &newStart);
  }

  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : S_OK;
  bool anyOk = false;
  for (IMediaSeeking* s : seekers) {
    LONGLONG current = pCurrent ? *pCurrent : 0;
    LONGLONG stop = pStop ? *pStop : 0;
    // Relative moves are made absolute from the graph's position, so that every stream agrees.
    DWORD flags = dwCurrentFlags;
    if (currentBits == AM_SEEKING_RelativePositioning) {
      current = currentBefore + *pCurrent;
      flags = (dwCurrentFlags & ~AM_SEEKING_PositioningBitsMask) | AM_SEEKING_AbsolutePositioning;
    }
    HRESULT hrSeeker = s->SetPositions(currentBits ? &current : nullptr, flags, stopBits ? &stop : nullptr, dwStopFlags);
    if (SUCCEEDED(hrSeeker))
      anyOk = true;
    else if (SUCCEEDED(hr))
      hr = hrSeeker;
  }
  ReleaseAll(seekers);
  if (anyOk) hr = S_OK;

  if (SUCCEEDED(hr) && currentBits) {
    m_segmentStart = newStart;
    m_pausedAt = 0;
    ResetCompletion();
  }
  if (was == State_Running) {
    REFERENCE_TIME start = 0;
    if (m_clock) {
      m_clock->GetTime(&start);
      start -= m_pausedAt;
      start += 10 * MILLISECONDS;
    }
    RunLocked(start);
  }
  return hr;
}

STDMETHODIMP FilterGraph::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
  HRESULT hr = S_OK;
  if (pCurrent) hr = GetCurrentPosition(pCurrent);
  if (SUCCEEDED(hr) && pStop) hr = GetStopPosition(pStop);
  return hr;
}

STDMETHODIMP FilterGraph::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : seekers.front()->GetAvailable(pEarliest, pLatest);
  ReleaseAll(seekers);
  return hr;
}

STDMETHODIMP FilterGraph::SetRate(double dRate) {
  if (!(dRate > 0.0)) return E_INVALIDARG;
  std::vector<IMediaSeeking*> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : S_OK;
  for (IMediaSeeking* s : seekers) {
    HRESULT hrSeeker = s->SetRate(dRate);
    if (FAILED(hrSeeker)) hr = hrSeeker;
  }
  ReleaseAll(seekers);
  if (SUCCEEDED(hr)) {
    CAutoLock lock(&m_lock);
    m_rate = dRate;
  }
  return hr;
}

STDMETHODIMP FilterGraph::GetRate(double* pdRate) {
  if (!pdRate) return E_POINTER;
  CAutoLock lock(&m_lock);
  *pdRate = m_rate;
  return S_OK;
}

STDMETHODIMP FilterGraph::GetPreroll(LONGLONG* pllPreroll) {
  if (!pllPreroll) return E_POINTER;
  *pllPreroll = 0;
  std::vector<IMediaSeeking*> seekers = Seekers();
  for (IMediaSeeking* s : seekers) {
    LONGLONG p = 0;
    if (SUCCEEDED(s->GetPreroll(&p))) *pllPreroll = std::max(*pllPreroll, p);
  }
  ReleaseAll(seekers);
  return S_OK;
}

// ---- IMediaPosition -----------------------------------------------------------------------------

namespace {
REFTIME Seconds(LONGLONG mediaTime) { return static_cast<double>(mediaTime) / kUnits; }
LONGLONG MediaTime(REFTIME seconds) { return static_cast<LONGLONG>(std::llround(seconds * kUnits)); }
}  // namespace

STDMETHODIMP FilterGraph::get_Duration(REFTIME* plength) {
  if (!plength) return E_POINTER;
  LONGLONG d = 0, media = 0;
  HRESULT hr = GetDuration(&d);
  if (SUCCEEDED(hr)) hr = MediaTimeFromFormat(d, &media);
  *plength = SUCCEEDED(hr) ? Seconds(media) : 0.0;
  return hr;
}

STDMETHODIMP FilterGraph::put_CurrentPosition(REFTIME llTime) {
  LONGLONG value = 0;
  HRESULT hr = FormatFromMediaTime(MediaTime(llTime), &value);
  if (FAILED(hr)) return hr;
  return SetPositions(&value, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

STDMETHODIMP FilterGraph::get_CurrentPosition(REFTIME* pllTime) {
  if (!pllTime) return E_POINTER;
  LONGLONG p = 0, media = 0;
  HRESULT hr = GetCurrentPosition(&p);
  if (SUCCEEDED(hr)) hr = MediaTimeFromFormat(p, &media);
  *pllTime = SUCCEEDED(hr) ? Seconds(media) : 0.0;
  return hr;
}

STDMETHODIMP FilterGraph::get_StopTime(REFTIME* pllTime) {
  if (!pllTime) return E_POINTER;
  LONGLONG p = 0, media = 0;
  HRESULT hr = GetStopPosition(&p);
  if (SUCCEEDED(hr)) hr = MediaTimeFromFormat(p, &media);
  *pllTime = SUCCEEDED(hr) ? Seconds(media) : 0.0;
  return hr;
}

STDMETHODIMP FilterGraph::put_StopTime(REFTIME llTime) {
  LONGLONG value = 0;
  HRESULT hr = FormatFromMediaTime(MediaTime(llTime), &value);
  if (FAILED(hr)) return hr;
  return SetPositions(nullptr, AM_SEEKING_NoPositioning, &value, AM_SEEKING_AbsolutePositioning);
}

STDMETHODIMP FilterGraph::get_PrerollTime(REFTIME* pllTime) {
  if (!pllTime) return E_POINTER;
  LONGLONG p = 0;
  GetPreroll(&p);
  *pllTime = Seconds(p);
  return S_OK;
}

// Sources decide their own preroll.
STDMETHODIMP FilterGraph::put_PrerollTime(REFTIME) { return E_NOTIMPL; }

STDMETHODIMP FilterGraph::put_Rate(double dRate) { return SetRate(dRate); }
STDMETHODIMP FilterGraph::get_Rate(double* pdRate) { return GetRate(pdRate); }

STDMETHODIMP FilterGraph::CanSeekForward(LONG* pCanSeekForward) {
  if (!pCanSeekForward) return E_POINTER;
  DWORD caps = AM_SEEKING_CanSeekForwards;
  *pCanSeekForward = CheckCapabilities(&caps) == S_OK ? OATRUE : OAFALSE;
  return S_OK;
}

STDMETHODIMP FilterGraph::CanSeekBackward(LONG* pCanSeekBackward) {
  if (!pCanSeekBackward) return E_POINTER;
  DWORD caps = AM_SEEKING_CanSeekBackwards;
  *pCanSeekBackward = CheckCapabilities(&caps) == S_OK ? OATRUE : OAFALSE;
  return S_OK;
}

}  // namespace dshow
