#include <algorithm>

#include "ole/com_enum.h"
#include "ole/connpt.h"

namespace {

struct ConnectDataTraits {
  static HRESULT Copy(CONNECTDATA* to, const CONNECTDATA& from) {
    if (from.pUnk) from.pUnk->AddRef();
    *to = from;
    return S_OK;
  }
  static void Release(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
  }
};

}  // namespace

ConnectionPoint::ConnectionPoint(ConnectionPointContainer& container, const IID& iid, ULONG maxSinks)
    : container_(container), iid_(iid), maxSinks_(maxSinks) {}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *ppvObject = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return container_.Owner()->AddRef(); }

STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return container_.Owner()->Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* pIID) {
  if (!pIID) return E_POINTER;
  *pIID = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
  if (!ppCPC) return E_POINTER;
  *ppCPC = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
  if (pdwCookie) *pdwCookie = 0;
  if (!pUnkSink || !pdwCookie) return E_POINTER;
  if (sinks_.size() >= maxSinks_) return CONNECT_E_ADVISELIMIT;
  ComPtr<IUnknown> sink;
  if (FAILED(pUnkSink->QueryInterface(iid_, sink.putVoid())) || !sink) return CONNECT_E_CANNOTCONNECT;
  *pdwCookie = nextCookie_++;
  sinks_.push_back({*pdwCookie, std::move(sink)});
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD dwCookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == dwCookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Released once the list is consistent: the sink may call back while it goes.
  ComPtr<IUnknown> sink = std::move(it->sink);
  sinks_.erase(it);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
  if (!ppEnum) return E_POINTER;
  std::vector<CONNECTDATA> list;
  for (const Sink& s : sinks_) {
    CONNECTDATA item = {nullptr, s.cookie};
    s.sink.CopyTo(&item.pUnk);
    list.push_back(item);
  }
  *ppEnum = ComEnum<IEnumConnections, CONNECTDATA, ConnectDataTraits>::Create(IID_IEnumConnections,
                                                                             std::move(list));
  return S_OK;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Snapshot() const {
  std::vector<ComPtr<IUnknown>> list;
  for (const Sink& s : sinks_) list.push_back(s.sink);
  return list;
}

void ConnectionPoint::ForEachSink(const std::function<void(IUnknown* sink)>& fn) {
  // A sink may unadvise while it is called: work on a referenced copy of the list.
  for (const ComPtr<IUnknown>& sink : Snapshot()) fn(sink.get());
}

void ConnectionPoint::Fire(DISPID id, const VARIANT* args, UINT count) {
  std::vector<VARIANT> reversed(args, args + count);
  std::reverse(reversed.begin(), reversed.end());
  ForEachSink([&](IUnknown* sink) {
    ComPtr<IDispatch> disp;
    if (FAILED(sink->QueryInterface(IID_IDispatch, disp.putVoid()))) return;
    DISPPARAMS params = {reversed.data(), nullptr, count, 0};
    disp->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  });
}

size_t ConnectionPoint::SinkCount() const { return sinks_.size(); }

ConnectionPointContainer::ConnectionPointContainer(IUnknown* owner) : owner_(owner) {}

ConnectionPoint& ConnectionPointContainer::Add(const IID& iid, ULONG maxSinks) {
  points_.push_back(std::make_unique<ConnectionPoint>(*this, iid, maxSinks));
  return *points_.back();
}

ConnectionPoint* ConnectionPointContainer::Find(const IID& iid) {
  for (auto& p : points_) {
    IID pointIid;
    p->GetConnectionInterface(&pointIid);
    if (pointIid == iid) return p.get();
  }
  return nullptr;
}

STDMETHODIMP ConnectionPointContainer::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IConnectionPointContainer) {
    *ppvObject = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
  }
  return owner_->QueryInterface(riid, ppvObject);
}

STDMETHODIMP_(ULONG) ConnectionPointContainer::AddRef() { return owner_->AddRef(); }

STDMETHODIMP_(ULONG) ConnectionPointContainer::Release() { return owner_->Release(); }

STDMETHODIMP ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
  if (!ppEnum) return E_POINTER;
  std::vector<IConnectionPoint*> list;
  for (auto& p : points_) {
    p->AddRef();
    list.push_back(p.get());
  }
  *ppEnum = ComEnum<IEnumConnectionPoints, IConnectionPoint*, InterfaceItemTraits<IConnectionPoint*>>::Create(
      IID_IEnumConnectionPoints, std::move(list));
  return S_OK;
}

STDMETHODIMP ConnectionPointContainer::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
  if (!ppCP) return E_POINTER;
  *ppCP = Find(riid);
  if (!*ppCP) return CONNECT_E_NOCONNECTION;
  (*ppCP)->AddRef();
  return S_OK;
}
