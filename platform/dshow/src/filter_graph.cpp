#include "filter_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dshow/uuids.h"
#include "dshow/filter_pins.h"
#include "ole/com_enum.h"
#include "system_clock.h"
#include "wide_text.h"

namespace dshow {
namespace {

// A snapshot of the graph's filters, newest first as the platform enumerates them.
using FilterEnum = ComEnum<IEnumFilters, IBaseFilter*, InterfaceItemTraits<IBaseFilter*>>;

PIN_DIRECTION Direction(IPin* pin) {
  PIN_DIRECTION dir = PINDIR_INPUT;
  pin->QueryDirection(&dir);
  return dir;
}

// Not referenced: the pin keeps its filter alive.
IBaseFilter* OwnerOf(IPin* pin) {
  PIN_INFO info{};
  if (FAILED(pin->QueryPinInfo(&info))) return nullptr;
  return ComPtr<IBaseFilter>::Adopt(info.pFilter).get();
}

const LONGLONG kUnits = UNITS;

}  // namespace

FilterGraph::FilterGraph(LPUNKNOWN pUnk, HRESULT* phr) : CUnknown("filter graph", pUnk, phr) {}

FilterGraph::~FilterGraph() {
  CAutoLock lock(&lock_);
  StopLocked();
  for (Member& m : members_) {
    for (const ComPtr<IPin>& pin : PinsOf(m.filter.get())) pin->Disconnect();
    m.filter->JoinFilterGraph(nullptr, nullptr);
    m.filter = nullptr;
  }
  members_.clear();
}

CUnknown* FilterGraph::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new FilterGraph(outer, phr); }

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
    CAutoLock lock(&lock_);
    for (auto it = members_.rbegin(); it != members_.rend(); ++it)
      if (SUCCEEDED(it->filter->QueryInterface(riid, ppv))) return S_OK;
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

// ---- Membership ---------------------------------------------------------------------------------

bool FilterGraph::Contains(IBaseFilter* filter) {
  return std::any_of(members_.begin(), members_.end(), [filter](const Member& m) { return m.filter == filter; });
}

std::u16string FilterGraph::UniqueName(LPCWSTR requested) {
  std::u16string base = WideString(requested);
  auto taken = [this](const std::u16string& name) {
    return std::any_of(members_.begin(), members_.end(), [&](const Member& m) { return m.name == name; });
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
  CAutoLock lock(&lock_);
  if (Contains(pFilter)) return VFW_E_DUPLICATE_NAME;
  std::u16string name = UniqueName(pName);
  bool renamed = pName && name != pName;
  HRESULT hr = pFilter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), name.c_str());
  if (FAILED(hr)) return hr;
  members_.push_back({ComPtr<IBaseFilter>(pFilter), name});
  if (clock_ || clockChosen_) pFilter->SetSyncSource(clock_.get());
  return renamed ? VFW_S_DUPLICATE_NAME : S_OK;
}

STDMETHODIMP FilterGraph::RemoveFilter(IBaseFilter* pFilter) {
  if (!pFilter) return E_POINTER;
  CAutoLock lock(&lock_);
  auto it = std::find_if(members_.begin(), members_.end(), [pFilter](const Member& m) { return m.filter == pFilter; });
  if (it == members_.end()) return VFW_E_NOT_FOUND;
  if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
  for (const ComPtr<IPin>& pin : PinsOf(pFilter)) {
    if (const ComPtr<IPin> peer = PeerOf(pin.get())) peer->Disconnect();
    pin->Disconnect();
  }
  pFilter->JoinFilterGraph(nullptr, nullptr);
  const ComPtr<IBaseFilter> removed = std::move(it->filter);  // let go of last
  members_.erase(it);
  {
    std::lock_guard<std::mutex> guard(completionLock_);
    pendingRenderers_.erase(pFilter);
  }
  return S_OK;
}

STDMETHODIMP FilterGraph::EnumFilters(IEnumFilters** ppEnum) {
  if (!ppEnum) return E_POINTER;
  CAutoLock lock(&lock_);
  FilterEnum::Items filters;  // the enumerator takes these references over
  for (auto it = members_.rbegin(); it != members_.rend(); ++it) filters.push_back(ComPtr(it->filter).Detach());
  *ppEnum = FilterEnum::Create(IID_IEnumFilters, std::move(filters));
  return S_OK;
}

STDMETHODIMP FilterGraph::FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) {
  if (!pName || !ppFilter) return E_POINTER;
  CAutoLock lock(&lock_);
  for (const Member& m : members_) {
    if (m.name == pName) return m.filter.CopyTo(ppFilter);
  }
  *ppFilter = nullptr;
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterGraph::ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) {
  if (!ppinOut || !ppinIn) return E_POINTER;
  CAutoLock lock(&lock_);
  if (!Contains(OwnerOf(ppinOut)) || !Contains(OwnerOf(ppinIn))) return VFW_E_NOT_IN_GRAPH;
  if (Direction(ppinOut) != PINDIR_OUTPUT || Direction(ppinIn) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  return ppinOut->Connect(ppinIn, pmt);
}

STDMETHODIMP FilterGraph::Reconnect(IPin* ppin) {
  if (!ppin) return E_POINTER;
  CAutoLock lock(&lock_);
  if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
  const ComPtr<IPin> peer = PeerOf(ppin);
  if (!peer) return VFW_E_NOT_CONNECTED;
  IPin* out = Direction(ppin) == PINDIR_OUTPUT ? ppin : peer.get();
  IPin* in = out == ppin ? peer.get() : ppin;
  // The pins agree on a type afresh, so a format changed on the output since (IAMStreamConfig)
  // takes effect; the old type is the fallback.
  CMediaType type;
  out->ConnectionMediaType(&type);
  in->Disconnect();
  out->Disconnect();
  HRESULT hr = out->Connect(in, nullptr);
  if (FAILED(hr)) hr = out->Connect(in, &type);
  return hr;
}

STDMETHODIMP FilterGraph::Disconnect(IPin* ppin) {
  if (!ppin) return E_POINTER;
  return ppin->Disconnect();
}

STDMETHODIMP FilterGraph::SetDefaultSyncSource() {
  CAutoLock lock(&lock_);
  clockChosen_ = false;
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
  std::vector<IBaseFilter*> pending;  // the members keep them
  for (const Member& m : members_) pending.push_back(m.filter.get());
  std::vector<IBaseFilter*> ordered;
  // A filter goes next once every filter its outputs feed is ordered.
  while (!pending.empty()) {
    bool progress = false;
    for (auto it = pending.begin(); it != pending.end();) {
      bool ready = true;
      for (const ComPtr<IPin>& pin : PinsOf(*it)) {
        if (Direction(pin.get()) != PINDIR_OUTPUT) continue;
        if (const ComPtr<IPin> peer = PeerOf(pin.get())) {
          IBaseFilter* next = OwnerOf(peer.get());
          if (next != *it && std::find(pending.begin(), pending.end(), next) != pending.end()) ready = false;
        }
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
  for (const ComPtr<IPin>& pin : PinsOf(filter))
    if (Direction(pin.get()) == PINDIR_INPUT && PeerOf(pin.get())) return true;
  return false;
}

bool FilterGraph::IsRenderer(IBaseFilter* filter) {
  ComPtr<IAMFilterMiscFlags> flags;
  if (SUCCEEDED(filter->QueryInterface(IID_IAMFilterMiscFlags, flags.putVoid())) &&
      (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER))
    return true;
  // Otherwise: connected inputs and no outputs.
  bool connectedInput = false, output = false;
  for (const ComPtr<IPin>& pin : PinsOf(filter)) {
    if (Direction(pin.get()) == PINDIR_OUTPUT)
      output = true;
    else if (PeerOf(pin.get()))
      connectedInput = true;
  }
  return connectedInput && !output;
}

void FilterGraph::ResetCompletion() {
  std::set<IBaseFilter*> renderers;
  for (const Member& m : members_)
    if (IsRenderer(m.filter.get())) renderers.insert(m.filter.get());
  std::lock_guard<std::mutex> guard(completionLock_);
  pendingRenderers_ = std::move(renderers);
  completeSent_ = false;
}

void FilterGraph::ChooseDefaultClock() {
  clock_ = nullptr;
  // A renderer's clock (audio) wins; otherwise the system clock.
  for (IBaseFilter* filter : DownstreamFirst())
    if (SUCCEEDED(filter->QueryInterface(IID_IReferenceClock, clock_.putVoid()))) return;
  CreateComInstance<&SystemClock::CreateInstance>(nullptr, IID_IReferenceClock, clock_.putVoid());
}

void FilterGraph::DistributeClock() {
  for (const Member& m : members_) m.filter->SetSyncSource(clock_.get());
}

REFERENCE_TIME FilterGraph::StreamTimeNow() {
  if (state_ == State_Paused) return pausedAt_;
  if (state_ != State_Running || !clock_) return 0;
  REFERENCE_TIME now = 0;
  clock_->GetTime(&now);
  return now - runStart_;
}

HRESULT FilterGraph::PauseLocked() {
  if (state_ == State_Paused) return S_OK;
  if (state_ == State_Stopped) {
    if (!clockChosen_ && !clock_) ChooseDefaultClock();
    DistributeClock();
    ResetCompletion();
    pausedAt_ = 0;
  } else {
    pausedAt_ = StreamTimeNow();
  }
  HRESULT result = S_OK;
  for (IBaseFilter* filter : DownstreamFirst()) {
    HRESULT hr = filter->Pause();
    if (FAILED(hr)) {
      result = hr;
      break;
    }
  }
  state_ = State_Paused;
  if (FAILED(result)) StopLocked();
  return result;
}

HRESULT FilterGraph::RunLocked(REFERENCE_TIME tStart) {
  runStart_ = tStart;
  HRESULT result = S_OK;
  for (IBaseFilter* filter : DownstreamFirst()) {
    HRESULT hr = filter->Run(tStart);
    if (FAILED(hr)) {
      result = hr;
      break;
    }
  }
  state_ = State_Running;
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
  state_ = State_Stopped;
  pausedAt_ = 0;
  return result;
}

STDMETHODIMP FilterGraph::Run() {
  CAutoLock lock(&lock_);
  if (state_ == State_Running) return S_OK;
  HRESULT hr = PauseLocked();
  if (FAILED(hr)) return hr;
  REFERENCE_TIME start = 0;
  if (clock_) {
    // Stream time goes on from where a pause left it, a little ahead so that nothing is late.
    REFERENCE_TIME now = 0;
    clock_->GetTime(&now);
    start = now - pausedAt_ + 10 * MILLISECONDS;
  }
  return RunLocked(start);
}

STDMETHODIMP FilterGraph::Run(REFERENCE_TIME tStart) {
  CAutoLock lock(&lock_);
  if (state_ == State_Running) return S_OK;
  HRESULT hr = PauseLocked();
  if (FAILED(hr)) return hr;
  return RunLocked(tStart);
}

STDMETHODIMP FilterGraph::Pause() {
  CAutoLock lock(&lock_);
  return PauseLocked();
}

STDMETHODIMP FilterGraph::Stop() {
  CAutoLock lock(&lock_);
  if (state_ == State_Stopped) return S_OK;
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
  CAutoLock lock(&lock_);
  *State = state_;
  // A filter still on its way (a renderer waiting for its first sample) makes it intermediate.
  for (const Member& m : members_) {
    FILTER_STATE s;
    if (m.filter->GetState(dwMilliSecsTimeout, &s) == VFW_S_STATE_INTERMEDIATE) return VFW_S_STATE_INTERMEDIATE;
  }
  return S_OK;
}

STDMETHODIMP FilterGraph::StopWhenReady() {
  CAutoLock lock(&lock_);
  if (state_ == State_Stopped) {
    HRESULT hr = PauseLocked();
    if (FAILED(hr)) return hr;
    FILTER_STATE state;
    for (const Member& m : members_) m.filter->GetState(10000, &state);
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
  CAutoLock lock(&lock_);
  if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
  clock_ = pClock;
  clockChosen_ = true;
  DistributeClock();
  return S_OK;
}

STDMETHODIMP FilterGraph::GetSyncSource(IReferenceClock** pClock) {
  if (!pClock) return E_POINTER;
  CAutoLock lock(&lock_);
  return clock_.CopyTo(pClock);
}

STDMETHODIMP FilterGraph::SetLogFile(DWORD_PTR) { return S_OK; }
STDMETHODIMP FilterGraph::Abort() { return S_OK; }
STDMETHODIMP FilterGraph::ShouldOperationContinue() { return S_OK; }

// ---- Events -------------------------------------------------------------------------------------

STDMETHODIMP FilterGraph::GetEventHandle(OAEVENT* hEvent) {
  if (!hEvent) return E_POINTER;
  *hEvent = reinterpret_cast<OAEVENT>(events_.Handle());
  return S_OK;
}

STDMETHODIMP FilterGraph::GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) {
  return events_.Get(lEventCode, lParam1, lParam2, msTimeout);
}

STDMETHODIMP FilterGraph::WaitForCompletion(LONG msTimeout, LONG* pEvCode) {
  if (!pEvCode) return E_POINTER;
  {
    CAutoLock lock(&lock_);
    if (state_ != State_Running) {
      *pEvCode = 0;
      return VFW_E_WRONG_STATE;
    }
  }
  return events_.WaitForCompletion(msTimeout, pEvCode);
}

STDMETHODIMP FilterGraph::CancelDefaultHandling(LONG lEvCode) {
  if (lEvCode != EC_COMPLETE) return S_FALSE;
  std::lock_guard<std::mutex> guard(completionLock_);
  defaultComplete_ = false;
  return S_OK;
}

STDMETHODIMP FilterGraph::RestoreDefaultHandling(LONG lEvCode) {
  if (lEvCode != EC_COMPLETE) return S_FALSE;
  std::lock_guard<std::mutex> guard(completionLock_);
  defaultComplete_ = true;
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
  events_.SetNotifyWindow(hwnd, lMsg, lInstanceData);
  return S_OK;
}

STDMETHODIMP FilterGraph::SetNotifyFlags(LONG lNoNotifyFlags) {
  if (lNoNotifyFlags & ~AM_MEDIAEVENT_NONOTIFY) return E_INVALIDARG;
  events_.SetNotifyFlags(lNoNotifyFlags);
  return S_OK;
}

STDMETHODIMP FilterGraph::GetNotifyFlags(LONG* lplNoNotifyFlags) {
  if (!lplNoNotifyFlags) return E_POINTER;
  *lplNoNotifyFlags = events_.NotifyFlags();
  return S_OK;
}

STDMETHODIMP FilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) {
  if (EventCode == EC_COMPLETE) {
    std::unique_lock<std::mutex> guard(completionLock_);
    if (defaultComplete_) {
      auto* sender = reinterpret_cast<IBaseFilter*>(EventParam2);
      if (pendingRenderers_.erase(sender) == 0 && !pendingRenderers_.empty()) return S_OK;
      if (!pendingRenderers_.empty() || completeSent_) return S_OK;
      completeSent_ = true;
      guard.unlock();
      events_.Queue(EC_COMPLETE, S_OK, 0);
      return S_OK;
    }
  }
  events_.Queue(EventCode, EventParam1, EventParam2);
  return S_OK;
}

// ---- Seeking ------------------------------------------------------------------------------------

namespace {

bool CallsItselfASource(IBaseFilter* filter) {
  ComPtr<IAMFilterMiscFlags> flags;
  if (FAILED(filter->QueryInterface(IID_IAMFilterMiscFlags, flags.putVoid()))) return false;
  return (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_SOURCE) != 0;
}

// Every filter feeding the given one, directly or further up.
void AddUpstream(IBaseFilter* filter, std::vector<IBaseFilter*>& upstream) {
  for (const ComPtr<IPin>& pin : PinsOf(filter)) {
    if (Direction(pin.get()) != PINDIR_INPUT) continue;
    const ComPtr<IPin> peer = PeerOf(pin.get());
    IBaseFilter* feeder = peer ? OwnerOf(peer.get()) : nullptr;
    if (feeder && std::find(upstream.begin(), upstream.end(), feeder) == upstream.end()) {
      upstream.push_back(feeder);
      AddUpstream(feeder, upstream);
    }
  }
}

}  // namespace

// The graph's seeking goes to its sources: filters without connected inputs, and filters that
// call themselves sources although they pull from others (the editing services' group filters),
// in which case what feeds them is theirs to seek.
std::vector<ComPtr<IMediaSeeking>> FilterGraph::Seekers() {
  std::vector<ComPtr<IMediaSeeking>> seekers;
  CAutoLock lock(&lock_);
  std::vector<IBaseFilter*> flaggedSources;
  std::vector<IBaseFilter*> upstream;
  for (const Member& m : members_)
    if (CallsItselfASource(m.filter.get())) {
      flaggedSources.push_back(m.filter.get());
      AddUpstream(m.filter.get(), upstream);
    }
  for (const Member& m : members_) {
    if (std::find(upstream.begin(), upstream.end(), m.filter.get()) != upstream.end()) continue;
    const bool flagged =
        std::find(flaggedSources.begin(), flaggedSources.end(), m.filter.get()) != flaggedSources.end();
    bool connectedInput = false;
    std::vector<ComPtr<IMediaSeeking>> pinSeekers;
    bool connectedOutput = false;
    for (const ComPtr<IPin>& pin : PinsOf(m.filter.get())) {
      const bool connected = PeerOf(pin.get()) != nullptr;
      if (connected && Direction(pin.get()) == PINDIR_INPUT) connectedInput = true;
      if (connected && Direction(pin.get()) == PINDIR_OUTPUT) {
        connectedOutput = true;
        if (auto seeking = pin.As<IMediaSeeking>(IID_IMediaSeeking)) pinSeekers.push_back(std::move(seeking));
      }
    }
    if ((connectedInput && !flagged) || !connectedOutput) continue;
    // A source: its pins seek, or else the filter.
    if (pinSeekers.empty())
      if (auto seeking = m.filter.As<IMediaSeeking>(IID_IMediaSeeking)) pinSeekers.push_back(std::move(seeking));
    seekers.insert(seekers.end(), pinSeekers.begin(), pinSeekers.end());
  }
  return seekers;
}

STDMETHODIMP FilterGraph::GetCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  DWORD caps = seekers.empty() ? 0 : ~DWORD(0);
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    DWORD c = 0;
    if (FAILED(s->GetCapabilities(&c))) c = 0;
    caps &= c;
  }
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
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  bool all = !seekers.empty();
  for (const ComPtr<IMediaSeeking>& s : seekers) all = all && s->IsFormatSupported(pFormat) == S_OK;
  return all ? S_OK : S_FALSE;
}

STDMETHODIMP FilterGraph::QueryPreferredFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP FilterGraph::GetTimeFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  CAutoLock lock(&lock_);
  *pFormat = timeFormat_;
  return S_OK;
}

STDMETHODIMP FilterGraph::IsUsingTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  CAutoLock lock(&lock_);
  return *pFormat == timeFormat_ ? S_OK : S_FALSE;
}

STDMETHODIMP FilterGraph::SetTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (IsFormatSupported(pFormat) != S_OK) return E_INVALIDARG;
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = S_OK;
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    HRESULT hrSeeker = s->SetTimeFormat(pFormat);
    if (FAILED(hrSeeker) && *pFormat != TIME_FORMAT_MEDIA_TIME) hr = hrSeeker;
  }
  if (SUCCEEDED(hr)) {
    CAutoLock lock(&lock_);
    timeFormat_ = *pFormat;
  }
  return hr;
}

HRESULT FilterGraph::LargestFromSeekers(HRESULT (STDMETHODCALLTYPE IMediaSeeking::*get)(LONGLONG*), LONGLONG* value) {
  if (!value) return E_POINTER;
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : E_FAIL;
  *value = 0;
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    LONGLONG v = 0;
    if (SUCCEEDED((s.get()->*get)(&v))) {
      *value = std::max(*value, v);
      hr = S_OK;
    }
  }
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
    CAutoLock lock(&lock_);
    format = timeFormat_;
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
    CAutoLock lock(&lock_);
    format = timeFormat_;
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
    std::lock_guard<std::mutex> guard(completionLock_);
    completed = completeSent_;
  }
  if (completed && SUCCEEDED(GetStopPosition(pCurrent))) return S_OK;

  // Filters downstream of the sources that know how far they have got (writers, renderers)
  // answer in the graph's time format; the one furthest behind tells the position. Their last
  // samples may end past the stop (an encoder's frames are whole), the position never does.
  {
    bool answered = false;
    LONGLONG slowest = 0;
    {
      CAutoLock lock(&lock_);
      for (const Member& m : members_) {
        if (!HasConnectedInput(m.filter.get())) continue;
        const auto seeking = m.filter.As<IMediaSeeking>(IID_IMediaSeeking);
        LONGLONG p = 0;
        if (seeking && seeking->GetCurrentPosition(&p) == S_OK) {
          slowest = answered ? std::min(slowest, p) : p;
          answered = true;
        }
      }
    }
    if (answered) {
      LONGLONG stop = 0;
      if (SUCCEEDED(GetStopPosition(&stop))) slowest = std::min(slowest, stop);
      *pCurrent = slowest;
      return S_OK;
    }
  }
  // Otherwise the clock tells how far the streams are from where the run began.
  LONGLONG position;
  {
    CAutoLock lock(&lock_);
    REFERENCE_TIME streamTime = std::max<REFERENCE_TIME>(StreamTimeNow(), 0);
    position = segmentStart_ + static_cast<LONGLONG>(static_cast<double>(streamTime) * rate_);
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
    CAutoLock lock(&lock_);
    current = timeFormat_;
  }
  const GUID& target = pTargetFormat ? *pTargetFormat : current;
  const GUID& source = pSourceFormat ? *pSourceFormat : current;
  if (target == source) {
    *pTarget = Source;
    return S_OK;
  }
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = E_NOTIMPL;
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    hr = s->ConvertTimeFormat(pTarget, &target, Source, &source);
    if (SUCCEEDED(hr)) break;
  }
  return hr;
}

STDMETHODIMP FilterGraph::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) {
  DWORD currentBits = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
  DWORD stopBits = dwStopFlags & AM_SEEKING_PositioningBitsMask;
  if ((currentBits && !pCurrent) || (stopBits && !pStop)) return E_POINTER;
  if (!currentBits && !stopBits) return S_OK;

  CAutoLock lock(&lock_);
  FILTER_STATE was = state_;
  // A running graph pauses while its sources move, then runs on from stream time 0.
  if (was == State_Running) {
    pausedAt_ = StreamTimeNow();
    for (IBaseFilter* filter : DownstreamFirst()) filter->Pause();
    state_ = State_Paused;
  }
  LONGLONG newStart = 0;
  if (currentBits == AM_SEEKING_AbsolutePositioning) MediaTimeFromFormat(*pCurrent, &newStart);
  LONGLONG currentBefore = 0;
  if (currentBits == AM_SEEKING_RelativePositioning) {
    GetCurrentPosition(&currentBefore);
    MediaTimeFromFormat(currentBefore + *pCurrent, &newStart);
  }

  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : S_OK;
  bool anyOk = false;
  for (const ComPtr<IMediaSeeking>& s : seekers) {
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
  if (anyOk) hr = S_OK;

  if (SUCCEEDED(hr) && currentBits) {
    segmentStart_ = newStart;
    pausedAt_ = 0;
    ResetCompletion();
  }
  if (was == State_Running) {
    REFERENCE_TIME start = 0;
    if (clock_) {
      clock_->GetTime(&start);
      start -= pausedAt_;
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
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : seekers.front()->GetAvailable(pEarliest, pLatest);
  return hr;
}

STDMETHODIMP FilterGraph::SetRate(double dRate) {
  if (!(dRate > 0.0)) return E_INVALIDARG;
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  HRESULT hr = seekers.empty() ? E_NOTIMPL : S_OK;
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    HRESULT hrSeeker = s->SetRate(dRate);
    if (FAILED(hrSeeker)) hr = hrSeeker;
  }
  if (SUCCEEDED(hr)) {
    CAutoLock lock(&lock_);
    rate_ = dRate;
  }
  return hr;
}

STDMETHODIMP FilterGraph::GetRate(double* pdRate) {
  if (!pdRate) return E_POINTER;
  CAutoLock lock(&lock_);
  *pdRate = rate_;
  return S_OK;
}

STDMETHODIMP FilterGraph::GetPreroll(LONGLONG* pllPreroll) {
  if (!pllPreroll) return E_POINTER;
  *pllPreroll = 0;
  const std::vector<ComPtr<IMediaSeeking>> seekers = Seekers();
  for (const ComPtr<IMediaSeeking>& s : seekers) {
    LONGLONG p = 0;
    if (SUCCEEDED(s->GetPreroll(&p))) *pllPreroll = std::max(*pllPreroll, p);
  }
  return S_OK;
}

// ---- IMediaPosition -----------------------------------------------------------------------------

namespace {
REFTIME Seconds(LONGLONG mediaTime) { return static_cast<double>(mediaTime) / kUnits; }
LONGLONG MediaTime(REFTIME seconds) { return static_cast<LONGLONG>(std::llround(seconds * kUnits)); }
}  // namespace

HRESULT FilterGraph::SecondsOf(HRESULT (STDMETHODCALLTYPE FilterGraph::*get)(LONGLONG*), REFTIME* seconds) {
  if (!seconds) return E_POINTER;
  LONGLONG position = 0, media = 0;
  HRESULT hr = (this->*get)(&position);
  if (SUCCEEDED(hr)) hr = MediaTimeFromFormat(position, &media);
  *seconds = SUCCEEDED(hr) ? Seconds(media) : 0.0;
  return hr;
}

STDMETHODIMP FilterGraph::get_Duration(REFTIME* plength) { return SecondsOf(&FilterGraph::GetDuration, plength); }

STDMETHODIMP FilterGraph::put_CurrentPosition(REFTIME llTime) {
  LONGLONG value = 0;
  HRESULT hr = FormatFromMediaTime(MediaTime(llTime), &value);
  if (FAILED(hr)) return hr;
  return SetPositions(&value, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

STDMETHODIMP FilterGraph::get_CurrentPosition(REFTIME* pllTime) {
  return SecondsOf(&FilterGraph::GetCurrentPosition, pllTime);
}

STDMETHODIMP FilterGraph::get_StopTime(REFTIME* pllTime) { return SecondsOf(&FilterGraph::GetStopPosition, pllTime); }

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
