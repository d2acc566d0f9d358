#pragma once
// IUnknown for an object that is one interface: QueryInterface answers IID_IUnknown and the given
// interface ids with that interface, and an atomic count deletes the object when it reaches zero.
#include <atomic>

#include "ole/unknwn.h"

template <class Derived, class Interface, const IID&... Iids>
class ComObject : public Interface {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || ((riid == Iids) || ...)) {
      *ppvObject = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs_; }
  STDMETHOD_(ULONG, Release)() override {
    const ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};
};
