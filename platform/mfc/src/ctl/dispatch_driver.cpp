// COleDispatchDriver: typed calls into an IDispatch by member id.
#include <cstdarg>
#include <vector>

#include "dispatch_arguments.h"

namespace {

// Reads one argument of type vt from the list into v.
void LoadArgument(VARTYPE vt, va_list& args, VARIANT& v) {
  VariantInit(&v);
  switch (vt) {
    case VT_I2:
      v.vt = VT_I2;
      v.iVal = SHORT(va_arg(args, int));
      break;
    case VT_BOOL:
      v.vt = VT_BOOL;
      v.boolVal = va_arg(args, int) ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_UI1:
      v.vt = VT_UI1;
      v.bVal = BYTE(va_arg(args, int));
      break;
    case VT_I4:
    case VT_ERROR:
      v.vt = vt;
      v.lVal = va_arg(args, LONG);
      break;
    case VT_R4:
      v.vt = VT_R4;
      v.fltVal = FLOAT(va_arg(args, double));
      break;
    case VT_R8:
    case VT_DATE:
      v.vt = vt;
      v.dblVal = va_arg(args, double);
      break;
    case VT_BSTR: {
      LPCSTR text = va_arg(args, LPCSTR);
      v.vt = VT_BSTR;
      v.bstrVal = CString(text ? text : "").AllocSysString();
      break;
    }
    case VT_DISPATCH:
      v.vt = VT_DISPATCH;
      v.pdispVal = va_arg(args, IDispatch*);
      if (v.pdispVal) v.pdispVal->AddRef();
      break;
    case VT_UNKNOWN:
      v.vt = VT_UNKNOWN;
      v.punkVal = va_arg(args, IUnknown*);
      if (v.punkVal) v.punkVal->AddRef();
      break;
    case VT_VARIANT: {
      const VARIANT* src = va_arg(args, const VARIANT*);
      if (src) VariantCopy(&v, src);
      break;
    }
    default:
      AfxThrowOleException(DISP_E_BADVARTYPE);
  }
}

// Stores the call's result in the caller's variable of vtRet's type.
void StoreResult(VARTYPE vtRet, VARIANT& result, void* pvRet) {
  if (vtRet == VT_VARIANT) {
    *static_cast<VARIANT*>(pvRet) = result;
    VariantInit(&result);
    return;
  }
  if (result.vt != vtRet) AfxCheckError(VariantChangeType(&result, &result, 0, vtRet));
  switch (vtRet) {
    case VT_I2: *static_cast<SHORT*>(pvRet) = result.iVal; break;
    case VT_I4:
    case VT_ERROR: *static_cast<LONG*>(pvRet) = result.lVal; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = result.bVal; break;
    case VT_R4: *static_cast<FLOAT*>(pvRet) = result.fltVal; break;
    case VT_R8:
    case VT_DATE: *static_cast<DOUBLE*>(pvRet) = result.dblVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != 0; break;
    case VT_BSTR:
      *static_cast<CString*>(pvRet) =
          result.bstrVal ? CString(result.bstrVal, int(SysStringLen(result.bstrVal))) : CString();
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      *static_cast<IUnknown**>(pvRet) = result.punkVal;  // the reference passes to the caller
      VariantInit(&result);
      break;
    default: AfxThrowOleException(DISP_E_BADVARTYPE);
  }
  VariantClear(&result);
}

}  // namespace

void mfc::ctl::LoadArguments(const char* types, va_list& list, std::vector<VARIANT>& args) {
  const size_t first = args.size();
  try {
    for (const char* t = types ? types : ""; *t; ++t) {
      args.emplace_back();
      LoadArgument(VARTYPE(BYTE(*t)), list, args.back());
    }
  } catch (...) {
    for (size_t i = first; i < args.size(); ++i) VariantClear(&args[i]);
    args.resize(first);
    throw;
  }
}

void AfxInvokeDispatch(LPDISPATCH lpDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                       const BYTE* pbParamInfo, va_list argList) {
  if (!lpDispatch) AfxThrowOleException(E_POINTER);
  std::vector<VARIANT> args;
  const char* types = reinterpret_cast<const char*>(pbParamInfo ? pbParamInfo : reinterpret_cast<const BYTE*>(""));
  va_list list;
  va_copy(list, argList);
  try {
    mfc::ctl::LoadArguments(types, list, args);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
  // The callee takes the arguments last first; a put names its value.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed.data(), nullptr, UINT(reversed.size()), 0};
  if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info = {};
  UINT argErr = 0;
  HRESULT hr = lpDispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, &params, &result, &info, &argErr);
  for (VARIANT& v : args) VariantClear(&v);
  if (FAILED(hr)) {
    VariantClear(&result);
    if (hr == DISP_E_EXCEPTION) {
      CString description =
          info.bstrDescription ? CString(info.bstrDescription, int(SysStringLen(info.bstrDescription))) : CString();
      SysFreeString(info.bstrDescription);
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrHelpFile);
      auto* e = new COleDispatchException(description, info.dwHelpContext, info.wCode);
      e->m_scError = info.scode ? info.scode : DISP_E_EXCEPTION;
      throw e;
    }
    AfxThrowOleException(hr);
  }
  if (vtRet != VT_EMPTY && pvRet) StoreResult(vtRet, result, pvRet);
  VariantClear(&result);
}

COleDispatchDriver::COleDispatchDriver() = default;

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease) {}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& src)
    : m_lpDispatch(src.m_lpDispatch), m_bAutoRelease(TRUE) {
  if (m_lpDispatch) m_lpDispatch->AddRef();
}

COleDispatchDriver::~COleDispatchDriver() { ReleaseDispatch(); }

const COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& src) {
  if (this != &src) {
    if (src.m_lpDispatch) src.m_lpDispatch->AddRef();
    ReleaseDispatch();
    m_lpDispatch = src.m_lpDispatch;
    m_bAutoRelease = TRUE;
  }
  return *this;
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError) {
  ReleaseDispatch();
  ComPtr<IDispatch> created;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, created.putVoid());
  if (FAILED(hr)) {
    if (pError) pError->m_sc = hr;
    return FALSE;
  }
  AttachDispatch(created.Detach(), TRUE);
  return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR lpszProgID, COleException* pError) {
  ReleaseDispatch();
  CLSID clsid;
  char text[64];
  LONG size = sizeof text;
  if (!lpszProgID || RegQueryValueA(HKEY_CLASSES_ROOT, CString(lpszProgID) + "\\CLSID", text, &size) != ERROR_SUCCESS ||
      !GUIDFromStringA(text, &clsid)) {
    if (pError) pError->m_sc = CO_E_CLASSSTRING;
    return FALSE;
  }
  return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease) {
  ReleaseDispatch();
  m_lpDispatch = lpDispatch;
  m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
  LPDISPATCH p = m_lpDispatch;
  m_lpDispatch = nullptr;
  return p;
}

void COleDispatchDriver::ReleaseDispatch() {
  if (m_lpDispatch && m_bAutoRelease) m_lpDispatch->Release();
  m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...) {
  va_list list;
  va_start(list, pbParamInfo);
  try {
    InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList) {
  AfxInvokeDispatch(m_lpDispatch, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
}

static void InvokeList(LPDISPATCH d, DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* types, ...) {
  va_list list;
  va_start(list, types);
  try {
    AfxInvokeDispatch(d, id, flags, vtRet, pvRet, types, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const {
  InvokeList(m_lpDispatch, dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

void COleDispatchDriver::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
  BYTE types[2] = {BYTE(vtProp), 0};
  va_list list;
  va_start(list, vtProp);
  try {
    AfxInvokeDispatch(m_lpDispatch, dwDispID,
                      vtProp == VT_DISPATCH || vtProp == VT_UNKNOWN ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT,
                      VT_EMPTY, nullptr, types, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}
