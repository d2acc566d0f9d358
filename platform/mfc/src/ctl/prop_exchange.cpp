// Property exchange: the PX_ functions and the exchanges of a control's state with a stream, a
// property bag, or the defaults of a new control.
//
// Stream format: one record per exchanged value in exchange order (the version first when the
// control exchanges one): a 16-bit VARTYPE, then the value little-endian (VT_I2/VT_BOOL 2 bytes,
// VT_I4/VT_UI4/VT_R4 4, VT_R8 8, VT_BSTR a 32-bit byte count and UTF-8 text).
#include <cstring>

#include "property_exchanges.h"

namespace mfc::ctl {
namespace {

constexpr DWORD kMaxText = 1u << 24;

size_t SizeOf(VARTYPE vt) {
  switch (vt) {
    case VT_I2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_R4: return 4;
    case VT_R8: return 8;
    default: return 0;
  }
}

// The VARIANT form of a C value of vt's type.
void ToVariant(VARTYPE vt, const void* pv, VARIANT& v) {
  VariantInit(&v);
  v.vt = vt;
  switch (vt) {
    case VT_I2: v.iVal = *static_cast<const short*>(pv); break;
    case VT_BOOL: v.boolVal = *static_cast<const BOOL*>(pv) ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_I4: v.lVal = *static_cast<const LONG*>(pv); break;
    case VT_UI4: v.ulVal = *static_cast<const ULONG*>(pv); break;
    case VT_R4: v.fltVal = *static_cast<const float*>(pv); break;
    case VT_R8: v.dblVal = *static_cast<const double*>(pv); break;
    case VT_BSTR: v.bstrVal = static_cast<const CString*>(pv)->AllocSysString(); break;
    default: v.vt = VT_EMPTY;
  }
}

void FromVariant(VARTYPE vt, const VARIANT& v, void* pv) {
  switch (vt) {
    case VT_I2: *static_cast<short*>(pv) = v.iVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pv) = v.boolVal != 0; break;
    case VT_I4: *static_cast<LONG*>(pv) = v.lVal; break;
    case VT_UI4: *static_cast<ULONG*>(pv) = v.ulVal; break;
    case VT_R4: *static_cast<float*>(pv) = v.fltVal; break;
    case VT_R8: *static_cast<double*>(pv) = v.dblVal; break;
    case VT_BSTR:
      *static_cast<CString*>(pv) = v.bstrVal ? CString(v.bstrVal, int(SysStringLen(v.bstrVal))) : CString();
      break;
    default: break;
  }
}

void CopyValue(VARTYPE vt, const void* from, void* to) {
  if (vt == VT_BSTR) {
    *static_cast<CString*>(to) = *static_cast<const CString*>(from);
    return;
  }
  std::memcpy(to, from, vt == VT_BOOL ? sizeof(BOOL) : SizeOf(vt));
}

bool ReadAll(IStream* s, void* data, ULONG size) {
  ULONG got = 0;
  return SUCCEEDED(s->Read(data, size, &got)) && got == size;
}

bool WriteAll(IStream* s, const void* data, ULONG size) {
  ULONG put = 0;
  return SUCCEEDED(s->Write(data, size, &put)) && put == size;
}

}  // namespace

// ---- Defaults of a new control

ResetExchange::ResetExchange() { m_bLoading = TRUE; }

BOOL ResetExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL) {
  dwVersionLoaded = m_dwVersion = dwVersionDefault;
  return TRUE;
}

BOOL ResetExchange::ExchangeProp(LPCTSTR, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  if (pvDefault) CopyValue(vtProp, pvDefault, pvProp);
  return TRUE;
}

// ---- Streams

StreamExchange::StreamExchange(IStream* stream, BOOL bLoading) : stream_(stream) { m_bLoading = bLoading; }

BOOL StreamExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL) {
  ULONG version = dwVersionDefault;
  if (!ExchangeProp("_Version", VT_UI4, &version, &dwVersionDefault)) return FALSE;
  dwVersionLoaded = m_dwVersion = version;
  return TRUE;
}

BOOL StreamExchange::ExchangeProp(LPCTSTR, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  if (!m_bLoading) {
    if (failed_) return FALSE;
    WORD vt = vtProp;
    bool ok = WriteAll(stream_, &vt, sizeof vt);
    if (vtProp == VT_BSTR) {
      const CString& text = *static_cast<const CString*>(pvProp);
      DWORD size = DWORD(text.GetLength());
      ok = ok && WriteAll(stream_, &size, sizeof size) && WriteAll(stream_, text.GetString(), size);
    } else if (vtProp == VT_BOOL) {
      SHORT flag = *static_cast<const BOOL*>(pvProp) ? VARIANT_TRUE : VARIANT_FALSE;
      ok = ok && WriteAll(stream_, &flag, sizeof flag);
    } else {
      ok = ok && SizeOf(vtProp) && WriteAll(stream_, pvProp, ULONG(SizeOf(vtProp)));
    }
    if (!ok) failed_ = true;
    return ok;
  }
  // Loading: after the first bad record every later property takes its default.
  auto fallBack = [&] {
    failed_ = true;
    if (pvDefault) CopyValue(vtProp, pvDefault, pvProp);
    return FALSE;
  };
  if (failed_) return fallBack();
  WORD vt = 0;
  if (!ReadAll(stream_, &vt, sizeof vt) || vt != vtProp) return fallBack();
  if (vtProp == VT_BSTR) {
    DWORD size = 0;
    if (!ReadAll(stream_, &size, sizeof size) || size > kMaxText) return fallBack();
    std::string text(size, '\0');
    if (size && !ReadAll(stream_, text.data(), size)) return fallBack();
    *static_cast<CString*>(pvProp) = CString(text.data(), int(size));
  } else if (vtProp == VT_BOOL) {
    SHORT flag = 0;
    if (!ReadAll(stream_, &flag, sizeof flag)) return fallBack();
    *static_cast<BOOL*>(pvProp) = flag != 0;
  } else {
    BYTE buffer[8];
    const size_t size = SizeOf(vtProp);
    if (!size || !ReadAll(stream_, buffer, ULONG(size))) return fallBack();
    std::memcpy(pvProp, buffer, size);
  }
  return TRUE;
}

// ---- Property bags

BagExchange::BagExchange(IPropertyBag* bag, IErrorLog* log, BOOL bLoading) : bag_(bag), log_(log) {
  m_bLoading = bLoading;
}

BOOL BagExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL) {
  LONG version = LONG(dwVersionDefault);
  LONG fallback = LONG(dwVersionDefault);
  if (!ExchangeProp("_Version", VT_I4, &version, &fallback)) return FALSE;
  dwVersionLoaded = m_dwVersion = DWORD(version);
  return TRUE;
}

BOOL BagExchange::ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  CStringW name(pszPropName);
  VARIANT v;
  if (!m_bLoading) {
    ToVariant(vtProp, pvProp, v);
    HRESULT hr = bag_->Write(name.GetString(), &v);
    VariantClear(&v);
    return SUCCEEDED(hr);
  }
  VariantInit(&v);
  v.vt = vtProp;
  if (vtProp == VT_BSTR) v.bstrVal = nullptr;
  HRESULT hr = bag_->Read(name.GetString(), &v, log_);
  if (SUCCEEDED(hr) && v.vt != vtProp) hr = VariantChangeType(&v, &v, 0, vtProp);
  if (FAILED(hr)) {
    VariantClear(&v);
    if (pvDefault) CopyValue(vtProp, pvDefault, pvProp);
    return FALSE;
  }
  FromVariant(vtProp, v, pvProp);
  VariantClear(&v);
  return TRUE;
}

}  // namespace mfc::ctl

BOOL CPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL) {
  dwVersionLoaded = m_dwVersion = dwVersionDefault;
  return TRUE;
}

namespace {
template <class T>
BOOL Exchange(CPropExchange* pPX, LPCTSTR name, VARTYPE vt, T& value, const T* def) {
  return pPX->ExchangeProp(name, vt, &value, def);
}
}  // namespace

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR n, BOOL& v) { return Exchange<BOOL>(pPX, n, VT_BOOL, v, nullptr); }
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR n, BOOL& v, BOOL d) { return Exchange(pPX, n, VT_BOOL, v, &d); }
BOOL PX_Short(CPropExchange* pPX, LPCTSTR n, short& v) { return Exchange<short>(pPX, n, VT_I2, v, nullptr); }
BOOL PX_Short(CPropExchange* pPX, LPCTSTR n, short& v, short d) { return Exchange(pPX, n, VT_I2, v, &d); }
BOOL PX_Long(CPropExchange* pPX, LPCTSTR n, LONG& v) { return Exchange<LONG>(pPX, n, VT_I4, v, nullptr); }
BOOL PX_Long(CPropExchange* pPX, LPCTSTR n, LONG& v, LONG d) { return Exchange(pPX, n, VT_I4, v, &d); }
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR n, ULONG& v, ULONG d) { return Exchange(pPX, n, VT_UI4, v, &d); }
BOOL PX_Float(CPropExchange* pPX, LPCTSTR n, float& v) { return Exchange<float>(pPX, n, VT_R4, v, nullptr); }
BOOL PX_Float(CPropExchange* pPX, LPCTSTR n, float& v, float d) { return Exchange(pPX, n, VT_R4, v, &d); }
BOOL PX_Double(CPropExchange* pPX, LPCTSTR n, double& v) { return Exchange<double>(pPX, n, VT_R8, v, nullptr); }
BOOL PX_Double(CPropExchange* pPX, LPCTSTR n, double& v, double d) { return Exchange(pPX, n, VT_R8, v, &d); }
BOOL PX_String(CPropExchange* pPX, LPCTSTR n, CString& v) { return Exchange<CString>(pPX, n, VT_BSTR, v, nullptr); }
BOOL PX_String(CPropExchange* pPX, LPCTSTR n, CString& v, LPCTSTR d) {
  CString def(d ? d : "");
  return Exchange(pPX, n, VT_BSTR, v, &def);
}
BOOL PX_Color(CPropExchange* pPX, LPCTSTR n, OLE_COLOR& v) {
  LONG value = LONG(v);
  BOOL ok = Exchange<LONG>(pPX, n, VT_I4, value, nullptr);
  v = OLE_COLOR(value);
  return ok;
}
BOOL PX_Color(CPropExchange* pPX, LPCTSTR n, OLE_COLOR& v, OLE_COLOR d) {
  LONG value = LONG(v), def = LONG(d);
  BOOL ok = Exchange(pPX, n, VT_I4, value, &def);
  v = OLE_COLOR(value);
  return ok;
}
