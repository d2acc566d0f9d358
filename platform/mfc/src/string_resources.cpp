#include <atomic>

#include "mfc/afx.h"

namespace {

std::atomic<HINSTANCE> g_resourceHandle{nullptr};

}  // namespace

HINSTANCE AfxGetResourceHandle() {
  HINSTANCE h = g_resourceHandle.load();
  return h ? h : GetModuleHandle(NULL);
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceHandle.store(hInstResource); }

template <typename T>
BOOL CStringT<T>::LoadString(UINT nID) {
  return LoadString(AfxGetResourceHandle(), nID);
}

template <typename T>
BOOL CStringT<T>::LoadString(HINSTANCE hInstance, UINT nID) {
  // With no buffer the platform hands out the string in place, whatever its length.
  const WCHAR* text = nullptr;
  int length = LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&text), 0);
  if (!text || length <= 0) {
    Empty();
    return FALSE;
  }
  *this = CStringT(CStringW(text, length));
  return TRUE;
}

template <typename T>
BSTR CStringT<T>::AllocSysString() const {
  CStringW wide(*this);
  BSTR result = SysAllocStringLen(wide.GetString(), wide.GetLength());
  if (!result) AfxThrowMemoryException();
  return result;
}

template BOOL CStringT<char>::LoadString(UINT);
template BOOL CStringT<char>::LoadString(HINSTANCE, UINT);
template BSTR CStringT<char>::AllocSysString() const;
template BOOL CStringT<char16_t>::LoadString(UINT);
template BOOL CStringT<char16_t>::LoadString(HINSTANCE, UINT);
template BSTR CStringT<char16_t>::AllocSysString() const;
