#pragma once
// Calls through IDispatch::Invoke by member id, as a container makes them.
#include <initializer_list>
#include <vector>

#include "mfc/afxdisp.h"

// A property get (with index arguments); the result's HRESULT.
inline HRESULT GetProp(IDispatch* d, DISPID id, COleVariant& result, std::initializer_list<COleVariant> args = {}) {
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::vector<VARIANT> in(reversed.rbegin(), reversed.rend());
  DISPPARAMS params = {in.data(), nullptr, UINT(in.size()), 0};
  result.Clear();
  return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr);
}

inline HRESULT PutProp(IDispatch* d, DISPID id, const COleVariant& value, EXCEPINFO* info = nullptr) {
  VARIANT arg = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&arg, &named, 1, 1};
  return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, info, nullptr);
}

inline HRESULT CallMethod(IDispatch* d, DISPID id, COleVariant& result, std::initializer_list<COleVariant> args = {}) {
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::vector<VARIANT> in(reversed.rbegin(), reversed.rend());
  DISPPARAMS params = {in.data(), nullptr, UINT(in.size()), 0};
  result.Clear();
  return d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
}

inline CString Text(const VARIANT& v) {
  return v.vt == VT_BSTR ? CString(v.bstrVal) : CString("<not text>");
}
