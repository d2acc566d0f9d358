#pragma once
// Small COM objects the tests use to watch reference counts and calls.
#include <string>
#include <vector>

#include "ole/ole.h"

// An object whose reference count the test can read; it is never deleted by Release, so a test
// can check that every reference was given back (count returns to 1).
class CountedUnknown : public IUnknown {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
  STDMETHOD_(ULONG, Release)() override { return --refs; }
  ULONG refs = 1;
};

inline std::u16string Wide(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

// A BSTR owned by the test.
struct Bstr {
  explicit Bstr(const char* s) {
    std::u16string w = Wide(s);
    b = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  }
  ~Bstr() { SysFreeString(b); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR b;
};

inline std::string Narrow(BSTR b) {
  std::string s;
  for (UINT i = 0; i < SysStringLen(b); ++i) s += static_cast<char>(b[i]);
  return s;
}

// A variant that clears itself.
struct Var : VARIANT {
  Var() { VariantInit(this); }
  ~Var() { VariantClear(this); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  static void I4(VARIANT* v, LONG x) { v->vt = VT_I4; v->lVal = x; }
};
