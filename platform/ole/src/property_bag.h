#pragma once
// An in-memory IPropertyBag: names without case, values kept as variant copies.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "ole/ocidl.h"

class PropertyBag final : public IPropertyBag {
 public:
  PropertyBag() = default;
  ~PropertyBag();
  PropertyBag(const PropertyBag&) = delete;
  PropertyBag& operator=(const PropertyBag&) = delete;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(Read)(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
  STDMETHOD(Write)(LPCOLESTR pszPropName, VARIANT* pVar) override;

 private:
  struct Entry {
    std::u16string name;
    VARIANT value;
  };
  Entry* Find(LPCOLESTR name);

  std::atomic<ULONG> refs_{1};
  std::mutex mutex_;
  std::vector<Entry> entries_;
};
