#include <cstring>

#include "mfc/afx.h"

IMPLEMENT_DYNAMIC(COleException, CException)

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (!lpszError || nMaxError == 0) return FALSE;
  CString text;
  text.Format("OLE error 0x%08lX.", static_cast<ULONG>(m_sc));
  int n = text.GetLength() < static_cast<int>(nMaxError) ? text.GetLength() : static_cast<int>(nMaxError) - 1;
  std::memcpy(lpszError, text.GetString(), n);
  lpszError[n] = '\0';
  return TRUE;
}

void AfxThrowOleException(SCODE sc) { throw new COleException(sc); }

void AfxCheckError(SCODE sc) {
  if (!FAILED(sc)) return;
  if (sc == E_OUTOFMEMORY) AfxThrowMemoryException();
  AfxThrowOleException(sc);
}

COleVariant::COleVariant(const VARIANT& varSrc) {
  VariantInit(this);
  AfxCheckError(VariantCopy(this, &varSrc));
}

COleVariant::COleVariant(LPCVARIANT pSrc) {
  VariantInit(this);
  if (pSrc) AfxCheckError(VariantCopy(this, pSrc));
}

COleVariant::COleVariant(const COleVariant& varSrc) : COleVariant(static_cast<const VARIANT&>(varSrc)) {}

COleVariant::COleVariant(LPCTSTR lpszSrc) {
  VariantInit(this);
  SetText(lpszSrc);
}

COleVariant::COleVariant(const CString& strSrc) {
  VariantInit(this);
  SetText(strSrc);
}

COleVariant::COleVariant(BYTE nSrc) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (vtSrc == VT_I2) {
    vt = VT_I2;
    iVal = nSrc;
  } else {
    AfxThrowInvalidArgException();
  }
}

COleVariant::COleVariant(LONG lSrc, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (vtSrc == VT_I4 || vtSrc == VT_ERROR) {
    vt = vtSrc;
    lVal = lSrc;
  } else {
    AfxThrowInvalidArgException();
  }
}

COleVariant::COleVariant(LONGLONG nSrc) {
  VariantInit(this);
  vt = VT_I8;
  llVal = nSrc;
}

COleVariant::COleVariant(ULONGLONG nSrc) {
  VariantInit(this);
  vt = VT_UI8;
  ullVal = nSrc;
}

COleVariant::COleVariant(float fltSrc) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc) {
  VariantInit(this);
  vt = VT_R8;
  dblVal = dblSrc;
}

void COleVariant::SetText(const CString& text) {
  Clear();
  vt = VT_BSTR;
  bstrVal = text.AllocSysString();
}

const COleVariant& COleVariant::operator=(const VARIANT& varSrc) {
  if (static_cast<const VARIANT*>(this) != &varSrc) AfxCheckError(VariantCopy(this, &varSrc));
  return *this;
}

const COleVariant& COleVariant::operator=(LPCVARIANT pSrc) {
  if (!pSrc) AfxThrowInvalidArgException();
  return *this = *pSrc;
}

const COleVariant& COleVariant::operator=(const COleVariant& varSrc) {
  return *this = static_cast<const VARIANT&>(varSrc);
}

const COleVariant& COleVariant::operator=(LPCTSTR lpszSrc) {
  SetText(lpszSrc);
  return *this;
}

const COleVariant& COleVariant::operator=(const CString& strSrc) {
  SetText(strSrc);
  return *this;
}

const COleVariant& COleVariant::operator=(BYTE nSrc) {
  Clear();
  vt = VT_UI1;
  bVal = nSrc;
  return *this;
}

// A short or LONG assigned to a VT_BOOL variant (or a LONG to a VT_ERROR one) keeps that type, as
// the framework does; otherwise the variant takes the number's own type.
const COleVariant& COleVariant::operator=(short nSrc) {
  if (vt == VT_BOOL) {
    boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    Clear();
    vt = VT_I2;
    iVal = nSrc;
  }
  return *this;
}

const COleVariant& COleVariant::operator=(LONG lSrc) {
  if (vt == VT_BOOL) {
    boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (vt == VT_ERROR) {
    lVal = lSrc;
  } else {
    Clear();
    vt = VT_I4;
    lVal = lSrc;
  }
  return *this;
}

const COleVariant& COleVariant::operator=(LONGLONG nSrc) {
  Clear();
  vt = VT_I8;
  llVal = nSrc;
  return *this;
}

const COleVariant& COleVariant::operator=(ULONGLONG nSrc) {
  Clear();
  vt = VT_UI8;
  ullVal = nSrc;
  return *this;
}

const COleVariant& COleVariant::operator=(float fltSrc) {
  Clear();
  vt = VT_R4;
  fltVal = fltSrc;
  return *this;
}

const COleVariant& COleVariant::operator=(double dblSrc) {
  Clear();
  vt = VT_R8;
  dblVal = dblSrc;
  return *this;
}

BOOL COleVariant::operator==(const VARIANT& var) const {
  if (&var == this) return TRUE;
  if (var.vt != vt) return FALSE;
  if (vt & (VT_BYREF | VT_ARRAY)) return byref == var.byref;
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      return TRUE;
    case VT_BOOL:
      return boolVal == var.boolVal;
    case VT_I1:
    case VT_UI1:
      return bVal == var.bVal;
    case VT_I2:
    case VT_UI2:
      return iVal == var.iVal;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
      return lVal == var.lVal;
    case VT_I8:
    case VT_UI8:
    case VT_CY:
      return llVal == var.llVal;
    case VT_R4:
      return fltVal == var.fltVal;
    case VT_R8:
    case VT_DATE:
      return dblVal == var.dblVal;
    case VT_BSTR: {
      UINT n = SysStringByteLen(bstrVal);
      return n == SysStringByteLen(var.bstrVal) && (n == 0 || std::memcmp(bstrVal, var.bstrVal, n) == 0);
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return punkVal == var.punkVal;
    default:
      return FALSE;
  }
}

void COleVariant::Clear() { AfxCheckError(VariantClear(this)); }

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
  if (!pSrc) pSrc = this;
  if (pSrc != this || vartype != vt) AfxCheckError(VariantChangeType(this, pSrc, 0, vartype));
}

void COleVariant::Attach(VARIANT& varSrc) {
  if (&varSrc == this) return;
  Clear();
  std::memcpy(static_cast<VARIANT*>(this), &varSrc, sizeof(VARIANT));
  varSrc.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach() {
  VARIANT result;
  std::memcpy(&result, static_cast<VARIANT*>(this), sizeof(VARIANT));
  vt = VT_EMPTY;
  return result;
}
