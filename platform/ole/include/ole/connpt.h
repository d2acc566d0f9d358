#pragma once
// Connection points for objects that fire events: the object embeds a ConnectionPointContainer,
// adds one point per outgoing interface and hands the container out from QueryInterface. Points
// are used on the object's own thread (advise, unadvise and firing are not locked).
#include <functional>
#include <memory>
#include <vector>

#include "ole/comptr.h"
#include "ole/ocidl.h"

class ConnectionPointContainer;

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(ConnectionPointContainer& container, const IID& iid, ULONG maxSinks);
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // Reference counting goes to the container's owner.
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetConnectionInterface)(IID* pIID) override;
  STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** ppCPC) override;
  // The sink is asked for the point's interface (missing: CONNECT_E_CANNOTCONNECT) and kept until
  // Unadvise. Cookies start at 1 and are never reused; beyond maxSinks: CONNECT_E_ADVISELIMIT.
  STDMETHOD(Advise)(IUnknown* pUnkSink, DWORD* pdwCookie) override;
  // Unknown cookie: CONNECT_E_NOCONNECTION.
  STDMETHOD(Unadvise)(DWORD dwCookie) override;
  STDMETHOD(EnumConnections)(IEnumConnections** ppEnum) override;

  // Calls IDispatch::Invoke(id, DISPATCH_METHOD) on every sink connected when the call starts,
  // with args in declaration order. A sink may unadvise (or advise others) while it is called.
  void Fire(DISPID id, const VARIANT* args, UINT count);
  // Calls fn with every sink connected when the call starts, as the point's interface.
  void ForEachSink(const std::function<void(IUnknown* sink)>& fn);
  size_t SinkCount() const;

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };
  std::vector<ComPtr<IUnknown>> Snapshot() const;

  ConnectionPointContainer& container_;
  IID iid_;
  ULONG maxSinks_;
  DWORD nextCookie_ = 1;
  std::vector<Sink> sinks_;
};

class ConnectionPointContainer final : public IConnectionPointContainer {
 public:
  // owner: the object that embeds the container; its reference count serves the container and
  // its points.
  explicit ConnectionPointContainer(IUnknown* owner);
  ConnectionPointContainer(const ConnectionPointContainer&) = delete;
  ConnectionPointContainer& operator=(const ConnectionPointContainer&) = delete;

  ConnectionPoint& Add(const IID& iid, ULONG maxSinks = 0xFFFFFFFF);
  ConnectionPoint* Find(const IID& iid);
  IUnknown* Owner() const { return owner_; }

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** ppEnum) override;
  // Unknown interface: CONNECT_E_NOCONNECTION.
  STDMETHOD(FindConnectionPoint)(REFIID riid, IConnectionPoint** ppCP) override;

 private:
  IUnknown* owner_;
  std::vector<std::unique_ptr<ConnectionPoint>> points_;
};
