#pragma once
// Automation support of the framework: COleVariant over the platform's VARIANT, and the exception
// that carries a failed HRESULT.
#include "ole/ole.h"
#include "mfc/afxexcept.h"
#include "mfc/afxstr.h"

typedef const VARIANT* LPCVARIANT;

class COleException : public CException {
  DECLARE_DYNAMIC(COleException)

 public:
  explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;

  SCODE m_sc;
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
// Throws for a failed HRESULT: CMemoryException* for E_OUTOFMEMORY, COleException* otherwise.
void AfxCheckError(SCODE sc);

// A VARIANT that owns its value. Failures of the VARIANT functions throw (AfxCheckError).
class COleVariant : public tagVARIANT {
 public:
  COleVariant() { VariantInit(this); }
  COleVariant(const VARIANT& varSrc);
  COleVariant(LPCVARIANT pSrc);
  COleVariant(const COleVariant& varSrc);
  // Text becomes a VT_BSTR in UTF-16.
  COleVariant(LPCTSTR lpszSrc);
  COleVariant(const CString& strSrc);
  COleVariant(BYTE nSrc);
  // vtSrc VT_I2 or VT_BOOL (any value but 0 is VARIANT_TRUE).
  COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);
  // vtSrc VT_I4, VT_ERROR or VT_BOOL.
  COleVariant(LONG lSrc, VARTYPE vtSrc = VT_I4);
  // VT_I8. A C++ long is 64 bits here and lands here too: pass LONG for VT_I4.
  COleVariant(LONGLONG nSrc);
  COleVariant(ULONGLONG nSrc);
  COleVariant(float fltSrc);
  COleVariant(double dblSrc);
  ~COleVariant() { VariantClear(this); }

  const COleVariant& operator=(const VARIANT& varSrc);
  const COleVariant& operator=(LPCVARIANT pSrc);
  const COleVariant& operator=(const COleVariant& varSrc);
  const COleVariant& operator=(LPCTSTR lpszSrc);
  const COleVariant& operator=(const CString& strSrc);
  const COleVariant& operator=(BYTE nSrc);
  const COleVariant& operator=(short nSrc);
  const COleVariant& operator=(LONG lSrc);
  const COleVariant& operator=(LONGLONG nSrc);
  const COleVariant& operator=(ULONGLONG nSrc);
  const COleVariant& operator=(float fltSrc);
  const COleVariant& operator=(double dblSrc);

  // Same type and same value: strings by their characters, objects and arrays by identity.
  BOOL operator==(const VARIANT& varSrc) const;
  BOOL operator==(LPCVARIANT pSrc) const { return *this == *pSrc; }
  BOOL operator==(const COleVariant& varSrc) const { return *this == static_cast<const VARIANT&>(varSrc); }

  void Clear();
  // Converts pSrc (this variant when NULL) to vartype in place.
  void ChangeType(VARTYPE vartype, LPVARIANT pSrc = NULL);
  // Takes over varSrc's value, leaving varSrc VT_EMPTY.
  void Attach(VARIANT& varSrc);
  // Hands the value over to the caller, leaving this variant VT_EMPTY.
  VARIANT Detach();

  operator LPVARIANT() { return this; }
  operator LPCVARIANT() const { return this; }

 private:
  void SetText(const CString& text);
};
