#pragma once
// The class factory the built-in class table hands out: it calls the class's creation function.
#include <atomic>

#include "ole/objbase.h"

class BuiltinFactory final : public IClassFactory {
 public:
  explicit BuiltinFactory(LPFNCREATEINSTANCE create) : create_(create) {}

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

 private:
  std::atomic<ULONG> refs_{1};
  LPFNCREATEINSTANCE create_;
};
